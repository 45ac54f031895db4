// Display names of the line-type codes and the sets of codes that share a
// role (cash-flow lines, inflows, outflows).
#include "cashflow/line_code.h"

#include <array>

namespace fv {

namespace {

constexpr const char* impossible = "Impossible value of enum";

constexpr std::array<const char*, CR_SPEC_MAX + 1> names = {
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

}  // namespace

const char* line_code_name(int code) {
    if (code < 0 || code > CR_SPEC_MAX) return impossible;
    return names[static_cast<std::size_t>(code)];
}

bool is_cash_flow_line(int code) {
    return (code >= CR_DL_DISBURSEMENTS && code <= CR_DL_PREPAYMENTS) || code == CR_LG_DISBURSEMENTS ||
           (code >= CR_LG_UPFRONT_FEES && code <= CR_LG_MISC_RECOVERIES);
}

bool is_disbursement_line(int code) { return code == CR_DL_DISBURSEMENTS || code == CR_LG_DISBURSEMENTS; }

bool is_quarter_factor_line(int code) { return code >= CR_Q1_INFLOW && code <= CR_Q4_OUTFLOW_INIT; }

bool in_inflow_class(int code) {
    switch (code) {
        case CR_DL_INFLOWS_OTHER:
        case CR_DL_PRINCIPAL:
        case CR_DL_INTEREST:
        case CR_DL_FEES:
        case CR_DL_DEFAULTS:
        case CR_DL_LOSSES:
        case CR_DL_RECOVERIES:
        case CR_DL_PREPAYMENTS:
        case CR_LG_UPFRONT_FEES:
        case CR_LG_ANNUAL_FEES:
        case CR_LG_PREMIUMS:
        case CR_LG_INFLOWS_OTHER: return true;
        default: return false;
    }
}

bool in_outflow_class(int code) {
    switch (code) {
        case CR_DL_DISBURSEMENTS:
        case CR_DL_OUTFLOWS_OTHER:
        case CR_LG_DEFAULT_PAYMENTS:
        case CR_LG_RECOVERIES:
        case CR_LG_INTEREST_SUBSIDY:
        case CR_LG_OUTFLOWS_OTHER:
        case CR_LG_LOST_FEES:
        case CR_LG_SAVED_INTEREST:
        case CR_LG_MISC_RECOVERIES: return true;
        default: return false;
    }
}

}  // namespace fv
