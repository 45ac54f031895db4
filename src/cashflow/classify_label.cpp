// Recognizer of first-column texts. Each first letter has a short list of
// prefixes tried in order; the first that matches decides, and a line that
// belongs to the other program type (or to none given yet) is unknown.
#include "cashflow/classify_label.h"

#include "util/ascii.h"

namespace fv {

namespace {

// Whether text begins with prefix, compared without regard to case over the
// whole prefix (a shorter text never matches).
bool starts(std::string_view text, std::string_view prefix) { return starts_with_ignoring_case(text, prefix); }

// A line that exists for one program type only.
line_code only(int program_type, int wanted, line_code code) { return program_type == wanted ? code : CR_UNKNOWN; }
line_code dl(int program_type, line_code code) { return only(program_type, 1, code); }
line_code lg(int program_type, line_code code) { return only(program_type, 2, code); }
// A line both program types have, under different codes.
line_code either(int program_type, line_code guarantee, line_code direct) {
    if (program_type == 2) return guarantee;
    if (program_type == 1) return direct;
    return CR_UNKNOWN;
}

// "Qn-" lines: quarter n's inflow or outflow factors, plain or for the
// initial year. The four codes of a quarter follow each other.
line_code quarter_factor(std::string_view text) {
    if (text.size() < 3 || text[2] != '-') return CR_UNKNOWN;
    const int quarter = text[1] - '0';
    if (quarter < 1 || quarter > 4) return CR_UNKNOWN;
    const int base = CR_Q1_INFLOW + 4 * (quarter - 1);
    const std::string_view rest = text.substr(3);
    // Both initial-year forms go before the plain ones: "INIT-OUTFLOW" also
    // begins with "I" and would otherwise read as plain inflow factors.
    if (starts(rest, "IN-") || starts(rest, "INFLOW-") || starts(rest, "INIT-I")) return static_cast<line_code>(base + 1);
    if (starts(rest, "OUT-") || starts(rest, "OUTFLOW-") || starts(rest, "INIT-O"))
        return static_cast<line_code>(base + 3);
    if (starts(rest, "I")) return static_cast<line_code>(base);
    if (starts(rest, "O")) return static_cast<line_code>(base + 2);
    return CR_UNKNOWN;
}

}  // namespace

line_code classify_label(std::string_view text, int type) {
    std::size_t at = 0;
    auto skip_blanks = [&] {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    };
    skip_blanks();
    if (at < text.size() && text[at] == '(') {
        const std::size_t close = text.find(')', at);
        if (close == std::string_view::npos) return CR_NOTHING;
        at = close + 1;
        skip_blanks();
    }
    if (at >= text.size()) return CR_NOTHING;
    const std::string_view t = text.substr(at);

    switch (ascii_upper(t[0])) {
        case 'A':
            if (starts(t, "AC")) return CR_ACCOUNT_TYPE;
            if (starts(t, "AM")) return CR_AMOUNTS;
            if (starts(t, "AN")) return lg(type, CR_LG_ANNUAL_FEES);
            break;
        case 'B': return CR_BUDGET_YEAR;
        case 'C':
            if (starts(t, "CA")) return CR_CALCULATE_BA;
            if (starts(t, "COH")) return CR_COHORT;
            if (starts(t, "COMM")) return lg(type, CR_LG_COMMITMENTS);
            if (starts(t, "COMPU")) return CR_SINGLE_EFFECTIVE_RATE;
            if (starts(t, "COMP")) return CR_COMPARABLE_MATURITY;
            break;
        case 'D':
            if (starts(t, "DEFL")) return CR_DEFLATORS;
            if (starts(t, "DEF")) return either(type, CR_LG_DEFAULT_PAYMENTS, CR_DL_DEFAULTS);
            if (starts(t, "DES")) return CR_DESCRIPTION;
            if (starts(t, "DISB")) return either(type, CR_LG_DISBURSEMENTS, CR_DL_DISBURSEMENTS);
            if (starts(t, "DISC")) return CR_DISCOUNT_RATES;
            break;
        case 'E':
            if (starts(t, "ENA")) return CR_ENACTED_BA;
            if (starts(t, "ES")) return CR_ESTIMATE_TYPE;
            if (starts(t, "END")) return CR_END;
            break;
        case 'F': return dl(type, CR_DL_FEES);
        case 'I':
            if (starts(t, "IM")) return CR_CSV_FILE;
            if (starts(t, "INF")) return either(type, CR_LG_INFLOWS_OTHER, CR_DL_INFLOWS_OTHER);
            if (starts(t, "INT")) return either(type, CR_LG_INTEREST_SUBSIDY, CR_DL_INTEREST);
            break;
        case 'L':
            if (starts(t, "LOA")) return CR_LOAN_TYPE;
            if (starts(t, "LOST")) return CR_LG_LOST_FEES;
            if (starts(t, "LOS")) return dl(type, CR_DL_LOSSES);
            break;
        case 'M':
            if (starts(t, "MI")) return lg(type, CR_LG_MISC_RECOVERIES);
            if (starts(t, "ME")) return CR_METHOD;
            break;
        case 'N': return CR_NAME;
        case 'O':
            if (starts(t, "Other l")) return dl(type, CR_DL_LOSSES);
            if (starts(t, "Other r")) return lg(type, CR_LG_MISC_RECOVERIES);
            if (starts(t, "Other inflows (+)")) return either(type, CR_LG_INFLOWS_OTHER, CR_DL_INFLOWS_OTHER);
            if (starts(t, "Other inflows (-)")) return lg(type, CR_LG_OUTFLOWS_OTHER);
            if (starts(t, "Other inflows")) return dl(type, CR_DL_INFLOWS_OTHER);
            if (starts(t, "OB")) return dl(type, CR_DL_OBLIGATIONS);
            if (starts(t, "Other o") || starts(t, "OUTF"))
                return either(type, CR_LG_OUTFLOWS_OTHER, CR_DL_OUTFLOWS_OTHER);
            if (starts(t, "OUTL")) return CR_OUTLAYS_PRIOR_BA;
            if (starts(t, "OUTP")) return CR_OUTPUT_FILE;
            break;
        case 'P':
            if (starts(t, "PA")) return either(type, CR_LG_DEFAULT_PAYMENTS, CR_DL_DEFAULTS);
            if (starts(t, "PE")) return lg(type, CR_LG_PCT_GUARANTEED);
            if (starts(t, "PRO")) return CR_PROGRAM_TYPE;
            if (starts(t, "PRE")) return either(type, CR_LG_PREMIUMS, CR_DL_PREPAYMENTS);
            if (starts(t, "PRI")) return either(type, CR_LG_PCT_GUARANTEED, CR_DL_PRINCIPAL);
            if (starts(t, "PU")) return CR_PURPOSE;
            break;
        case 'Q': return quarter_factor(t);
        case 'R':
            if (starts(t, "RA")) return CR_RATE_ASSUMPTION;
            if (starts(t, "REP")) return CR_REPEAT;
            if (starts(t, "REC")) return either(type, CR_LG_RECOVERIES, CR_DL_RECOVERIES);
            if (starts(t, "RO")) return CR_FULL_PRECISION;
            break;
        case 'S':
            if (starts(t, "SAV")) return lg(type, CR_LG_SAVED_INTEREST);
            if (starts(t, "SCHED. I")) return dl(type, CR_DL_INTEREST);
            if (starts(t, "SCHED. P")) return dl(type, CR_DL_PRINCIPAL);
            if (starts(t, "SCHEDULED I")) return dl(type, CR_DL_INTEREST);
            if (starts(t, "SCHEDULED P")) return dl(type, CR_DL_PRINCIPAL);
            if (starts(t, "SH")) return CR_SHEET_FILE;
            if (starts(t, "SU")) return CR_SUPPRESS_WARNINGS;
            if (starts(t, "SK")) return CR_SKIP;
            break;
        case 'T': return CR_TIMING;
        case 'U': return lg(type, CR_LG_UPFRONT_FEES);
        default: break;
    }
    return CR_UNKNOWN;
}

}  // namespace fv
