// The vocabulary of the input range: every first-column text of a row is
// recoded into one line_code code (header keyword, cohort start, cash-flow line,
// quarter-factor line, or nothing of interest). A row keeps its code as its
// line type, so the numbers are stored and must never change.
#pragma once

#include "cashflow/value_names.h"

namespace fv {

enum class line_code : int {
    nothing = 0,  // blank, or nothing after a leading "(...)" tag
    account_type = 1,
    amounts = 2,
    cohort = 3,  // cohort start with an explicit year
    comparable_maturity = 4,
    single_effective_rate = 5,
    csv_file = 6,  // "Import file"
    deflators = 7,
    description = 8,
    discount_rates = 9,
    end = 10,
    estimate_type = 11,
    loan_type = 12,
    method = 13,
    name = 14,
    output_file = 15,
    outlays_prior_ba = 16,
    program_type = 17,
    purpose = 18,
    // Quarter-factor lines: four per quarter in this order, quarters 1-4 at
    // 19, 23, 27 and 31.
    q1_inflow = 19,
    q1_inflow_init = 20,
    q1_outflow = 21,
    q1_outflow_init = 22,
    q2_inflow = 23,
    q2_inflow_init = 24,
    q2_outflow = 25,
    q2_outflow_init = 26,
    q3_inflow = 27,
    q3_inflow_init = 28,
    q3_outflow = 29,
    q3_outflow_init = 30,
    q4_inflow = 31,
    q4_inflow_init = 32,
    q4_outflow = 33,
    q4_outflow_init = 34,
    rate_assumption = 35,
    repeat = 36,  // obsolete
    skip = 37,    // obsolete
    timing = 38,
    suppress_warnings = 39,
    sheet_file = 40,
    calculate_ba = 41,
    full_precision = 42,
    budget_year = 43,
    enacted_ba = 44,
    // Direct loans.
    dl_obligations = 45,  // cohort start
    dl_disbursements = 46,
    dl_inflows_other = 47,
    dl_outflows_other = 48,  // non-disbursement outflows
    dl_principal = 49,
    dl_interest = 50,
    dl_fees = 51,
    dl_defaults = 52,
    dl_losses = 53,
    dl_recoveries = 54,
    dl_prepayments = 55,
    // Loan guarantees.
    lg_commitments = 56,  // cohort start
    lg_disbursements = 57,
    lg_pct_guaranteed = 58,
    lg_upfront_fees = 59,
    lg_annual_fees = 60,
    lg_premiums = 61,
    lg_inflows_other = 62,
    lg_default_payments = 63,
    lg_recoveries = 64,
    lg_interest_subsidy = 65,
    lg_outflows_other = 66,
    lg_lost_fees = 67,
    lg_saved_interest = 68,
    lg_misc_recoveries = 69,
    unknown = 70,   // text that matched nothing
    end_marker = 71,  // end marker, never recoded
};

// The stored number of a code.
constexpr int code_number(line_code code) { return static_cast<int>(code); }

// Display name of a code; "Impossible value of enum" for the cohort code and
// for values outside the enumeration.
const char* line_code_name(line_code code);

// Cash-flow lines: direct-loan disbursements through prepayments, guarantee
// disbursements, and guarantee upfront fees through misc. recoveries.
bool is_cash_flow_line(line_code code);
// The disbursement lines of direct loans and of guarantees.
bool is_disbursement_line(line_code code);
// The sixteen quarter-factor lines.
bool is_quarter_factor_line(line_code code);

// Inflow class: under simple timing at the end of each year; old-style
// quarterly rows use the inflow quarter factors.
bool in_inflow_class(line_code code);
// Outflow class: the outflow quarter factors. Guarantee disbursements are in
// neither class.
bool in_outflow_class(line_code code);

}  // namespace fv
