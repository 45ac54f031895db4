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
line_code only(int program_type, int wanted, line_code code) { return program_type == wanted ? code : line_code::unknown; }
line_code dl(int program_type, line_code code) { return only(program_type, program_direct_loan, code); }
line_code lg(int program_type, line_code code) { return only(program_type, program_loan_guarantee, code); }
// A line both program types have, under different codes.
line_code either(int program_type, line_code guarantee, line_code direct) {
    if (program_type == program_loan_guarantee) return guarantee;
    if (program_type == program_direct_loan) return direct;
    return line_code::unknown;
}

// "Qn-" lines: quarter n's inflow or outflow factors, plain or for the
// initial year. The four codes of a quarter follow each other.
line_code quarter_factor(std::string_view text) {
    if (text.size() < 3 || text[2] != '-') return line_code::unknown;
    const int quarter = text[1] - '0';
    if (quarter < 1 || quarter > 4) return line_code::unknown;
    const int base = code_number(line_code::q1_inflow) + 4 * (quarter - 1);
    const std::string_view rest = text.substr(3);
    // Both initial-year forms go before the plain ones: "INIT-OUTFLOW" also
    // begins with "I" and would otherwise read as plain inflow factors.
    if (starts(rest, "IN-") || starts(rest, "INFLOW-") || starts(rest, "INIT-I")) return static_cast<line_code>(base + 1);
    if (starts(rest, "OUT-") || starts(rest, "OUTFLOW-") || starts(rest, "INIT-O"))
        return static_cast<line_code>(base + 3);
    if (starts(rest, "I")) return static_cast<line_code>(base);
    if (starts(rest, "O")) return static_cast<line_code>(base + 2);
    return line_code::unknown;
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
        if (close == std::string_view::npos) return line_code::nothing;
        at = close + 1;
        skip_blanks();
    }
    if (at >= text.size()) return line_code::nothing;
    const std::string_view t = text.substr(at);

    switch (ascii_upper(t[0])) {
        case 'A':
            if (starts(t, "AC")) return line_code::account_type;
            if (starts(t, "AM")) return line_code::amounts;
            if (starts(t, "AN")) return lg(type, line_code::lg_annual_fees);
            break;
        case 'B': return line_code::budget_year;
        case 'C':
            if (starts(t, "CA")) return line_code::calculate_ba;
            if (starts(t, "COH")) return line_code::cohort;
            if (starts(t, "COMM")) return lg(type, line_code::lg_commitments);
            if (starts(t, "COMPU")) return line_code::single_effective_rate;
            if (starts(t, "COMP")) return line_code::comparable_maturity;
            break;
        case 'D':
            if (starts(t, "DEFL")) return line_code::deflators;
            if (starts(t, "DEF")) return either(type, line_code::lg_default_payments, line_code::dl_defaults);
            if (starts(t, "DES")) return line_code::description;
            if (starts(t, "DISB")) return either(type, line_code::lg_disbursements, line_code::dl_disbursements);
            if (starts(t, "DISC")) return line_code::discount_rates;
            break;
        case 'E':
            if (starts(t, "ENA")) return line_code::enacted_ba;
            if (starts(t, "ES")) return line_code::estimate_type;
            if (starts(t, "END")) return line_code::end;
            break;
        case 'F': return dl(type, line_code::dl_fees);
        case 'I':
            if (starts(t, "IM")) return line_code::csv_file;
            if (starts(t, "INF")) return either(type, line_code::lg_inflows_other, line_code::dl_inflows_other);
            if (starts(t, "INT")) return either(type, line_code::lg_interest_subsidy, line_code::dl_interest);
            break;
        case 'L':
            if (starts(t, "LOA")) return line_code::loan_type;
            if (starts(t, "LOST")) return line_code::lg_lost_fees;
            if (starts(t, "LOS")) return dl(type, line_code::dl_losses);
            break;
        case 'M':
            if (starts(t, "MI")) return lg(type, line_code::lg_misc_recoveries);
            if (starts(t, "ME")) return line_code::method;
            break;
        case 'N': return line_code::name;
        case 'O':
            if (starts(t, "Other l")) return dl(type, line_code::dl_losses);
            if (starts(t, "Other r")) return lg(type, line_code::lg_misc_recoveries);
            if (starts(t, "Other inflows (+)")) return either(type, line_code::lg_inflows_other, line_code::dl_inflows_other);
            if (starts(t, "Other inflows (-)")) return lg(type, line_code::lg_outflows_other);
            if (starts(t, "Other inflows")) return dl(type, line_code::dl_inflows_other);
            if (starts(t, "OB")) return dl(type, line_code::dl_obligations);
            if (starts(t, "Other o") || starts(t, "OUTF"))
                return either(type, line_code::lg_outflows_other, line_code::dl_outflows_other);
            if (starts(t, "OUTL")) return line_code::outlays_prior_ba;
            if (starts(t, "OUTP")) return line_code::output_file;
            break;
        case 'P':
            if (starts(t, "PA")) return either(type, line_code::lg_default_payments, line_code::dl_defaults);
            if (starts(t, "PE")) return lg(type, line_code::lg_pct_guaranteed);
            if (starts(t, "PRO")) return line_code::program_type;
            if (starts(t, "PRE")) return either(type, line_code::lg_premiums, line_code::dl_prepayments);
            if (starts(t, "PRI")) return either(type, line_code::lg_pct_guaranteed, line_code::dl_principal);
            if (starts(t, "PU")) return line_code::purpose;
            break;
        case 'Q': return quarter_factor(t);
        case 'R':
            if (starts(t, "RA")) return line_code::rate_assumption;
            if (starts(t, "REP")) return line_code::repeat;
            if (starts(t, "REC")) return either(type, line_code::lg_recoveries, line_code::dl_recoveries);
            if (starts(t, "RO")) return line_code::full_precision;
            break;
        case 'S':
            if (starts(t, "SAV")) return lg(type, line_code::lg_saved_interest);
            if (starts(t, "SCHED. I")) return dl(type, line_code::dl_interest);
            if (starts(t, "SCHED. P")) return dl(type, line_code::dl_principal);
            if (starts(t, "SCHEDULED I")) return dl(type, line_code::dl_interest);
            if (starts(t, "SCHEDULED P")) return dl(type, line_code::dl_principal);
            if (starts(t, "SH")) return line_code::sheet_file;
            if (starts(t, "SU")) return line_code::suppress_warnings;
            if (starts(t, "SK")) return line_code::skip;
            break;
        case 'T': return line_code::timing;
        case 'U': return lg(type, line_code::lg_upfront_fees);
        default: break;
    }
    return line_code::unknown;
}

}  // namespace fv
