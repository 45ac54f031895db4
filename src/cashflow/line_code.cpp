// Display names of the line-type codes and the sets of codes that share a
// role (cash-flow lines, inflows, outflows).
#include "cashflow/line_code.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace fv {

namespace {

constexpr const char* impossible = "Impossible value of enum";

constexpr std::array<const char*, code_number(line_code::end_marker) + 1> names = {
    "Nothing to recode",
    "Account type",
    "Amounts",
    impossible,  // a cohort line has no name of its own
    "Comparable maturity",
    "Compute single effective rate",
    "CSV output file name",
    "Deflators",
    "Program description",
    "Discount rates",
    "Last row to consider",
    "Estimate type",
    "Construction/Multiple like-loan",
    "Choose / Force pro-rata method",
    "Program name",
    "Output file name",
    "Outlays from prior BA",
    "Program type",
    "Program purpose",
    "Inflow factors (Oct-Dec quarter)",
    "1st yr In factors (Oct-Dec qtr)",
    "Outfl. factors (Oct-Dec quarter)",
    "1st yr Out factors (Oct-Dec qtr)",
    "Inflow factors (Jan-Mar quarter)",
    "1st yr In factors (Jan-Mar qtr)",
    "Outfl. factors (Jan-Mar quarter)",
    "1st yr Out factors (Jan-Mar qtr)",
    "Inflow factors (Apr-Jun quarter)",
    "1st yr In factors (Apr-Jun qtr)",
    "Outfl. factors (Apr-Jun quarter)",
    "1st yr Out factors (Apr-Jun qtr)",
    "Inflow factors (Jul-Sep quarter)",
    "1st yr In factors (Jul-Sep qtr)",
    "Outfl. factors (Jul-Sep quarter)",
    "1st yr Out factors (Jul-Sep qtr)",
    "Interest rate assumptions",
    "Ditto previous year data",
    "Skip a year (make it all zeroes)",
    "Timing of inflows or outflows",
    "Suppress warning messages",
    "Spreadsheet output file",
    "Calculate BA and loan levels",
    "Calculate with full precision",
    "Budget year",
    "Enacted Budget Authority",
    "Obligations",
    "Disbursements",
    "Inflows (other)",
    "Outflows (non-disbursements)",
    "Principal pmts, scheduled",
    "Interest pmts, scheduled",
    "Fees and other income",
    "Defaults",
    "Losses (non-default)",
    "Recoveries",
    "Prepayments, net",
    "Commitments",
    "Disbursements",
    "Pct. guaranteed",
    "Upfront fees",
    "Annual fees",
    "Premiums",
    "Inflows (other)",
    "Default payments",
    "Recoveries on defaults",
    "Interest subsidy pmts",
    "Outflows (other)",
    "Lost fees",
    "Saved interest",
    "Misc. recoveries",
    "Unknown line type",
    "CR_SPEC_MAX",
};

constexpr line_code inflow_lines[] = {
    line_code::dl_inflows_other, line_code::dl_principal,   line_code::dl_interest,     line_code::dl_fees,
    line_code::dl_defaults,      line_code::dl_losses,      line_code::dl_recoveries,   line_code::dl_prepayments,
    line_code::lg_upfront_fees,  line_code::lg_annual_fees, line_code::lg_premiums,     line_code::lg_inflows_other,
};

constexpr line_code outflow_lines[] = {
    line_code::dl_disbursements,     line_code::dl_outflows_other, line_code::lg_default_payments,
    line_code::lg_recoveries,        line_code::lg_interest_subsidy, line_code::lg_outflows_other,
    line_code::lg_lost_fees,         line_code::lg_saved_interest, line_code::lg_misc_recoveries,
};

bool between(line_code code, line_code first, line_code last) {
    return code_number(code) >= code_number(first) && code_number(code) <= code_number(last);
}

}  // namespace

const char* line_code_name(line_code code) {
    const int number = code_number(code);
    if (number < 0 || number > code_number(line_code::end_marker)) return impossible;
    return names[static_cast<std::size_t>(number)];
}

bool is_cash_flow_line(line_code code) {
    return between(code, line_code::dl_disbursements, line_code::dl_prepayments) ||
           code == line_code::lg_disbursements || between(code, line_code::lg_upfront_fees, line_code::lg_misc_recoveries);
}

bool is_disbursement_line(line_code code) {
    return code == line_code::dl_disbursements || code == line_code::lg_disbursements;
}

bool is_quarter_factor_line(line_code code) { return between(code, line_code::q1_inflow, line_code::q4_outflow_init); }

bool in_inflow_class(line_code code) { return std::ranges::find(inflow_lines, code) != std::end(inflow_lines); }

bool in_outflow_class(line_code code) { return std::ranges::find(outflow_lines, code) != std::end(outflow_lines); }

}  // namespace fv
