// The vocabulary of the input range: every first-column text of a row is
// recoded into one line_code code (header keyword, cohort start, cash-flow line,
// quarter-factor line, or nothing of interest). A row keeps its code as its
// line type, so the numbers are stored and must never change.
#pragma once

#include "cashflow/value_names.h"

namespace fv {

enum line_code : int {
    CR_NOTHING = 0,  // blank, or nothing after a leading "(...)" tag
    CR_ACCOUNT_TYPE = 1,
    CR_AMOUNTS = 2,
    CR_COHORT = 3,  // cohort start with an explicit year
    CR_COMPARABLE_MATURITY = 4,
    CR_SINGLE_EFFECTIVE_RATE = 5,
    CR_CSV_FILE = 6,  // "Import file"
    CR_DEFLATORS = 7,
    CR_DESCRIPTION = 8,
    CR_DISCOUNT_RATES = 9,
    CR_END = 10,
    CR_ESTIMATE_TYPE = 11,
    CR_LOAN_TYPE = 12,
    CR_METHOD = 13,
    CR_NAME = 14,
    CR_OUTPUT_FILE = 15,
    CR_OUTLAYS_PRIOR_BA = 16,
    CR_PROGRAM_TYPE = 17,
    CR_PURPOSE = 18,
    // Quarter-factor lines: four per quarter in this order, quarters 1-4 at
    // 19, 23, 27 and 31.
    CR_Q1_INFLOW = 19,
    CR_Q1_INFLOW_INIT = 20,
    CR_Q1_OUTFLOW = 21,
    CR_Q1_OUTFLOW_INIT = 22,
    CR_Q2_INFLOW = 23,
    CR_Q2_INFLOW_INIT = 24,
    CR_Q2_OUTFLOW = 25,
    CR_Q2_OUTFLOW_INIT = 26,
    CR_Q3_INFLOW = 27,
    CR_Q3_INFLOW_INIT = 28,
    CR_Q3_OUTFLOW = 29,
    CR_Q3_OUTFLOW_INIT = 30,
    CR_Q4_INFLOW = 31,
    CR_Q4_INFLOW_INIT = 32,
    CR_Q4_OUTFLOW = 33,
    CR_Q4_OUTFLOW_INIT = 34,
    CR_RATE_ASSUMPTION = 35,
    CR_REPEAT = 36,  // obsolete
    CR_SKIP = 37,    // obsolete
    CR_TIMING = 38,
    CR_SUPPRESS_WARNINGS = 39,
    CR_SHEET_FILE = 40,
    CR_CALCULATE_BA = 41,
    CR_FULL_PRECISION = 42,
    CR_BUDGET_YEAR = 43,
    CR_ENACTED_BA = 44,
    // Direct loans.
    CR_DL_OBLIGATIONS = 45,  // cohort start
    CR_DL_DISBURSEMENTS = 46,
    CR_DL_INFLOWS_OTHER = 47,
    CR_DL_OUTFLOWS_OTHER = 48,  // non-disbursement outflows
    CR_DL_PRINCIPAL = 49,
    CR_DL_INTEREST = 50,
    CR_DL_FEES = 51,
    CR_DL_DEFAULTS = 52,
    CR_DL_LOSSES = 53,
    CR_DL_RECOVERIES = 54,
    CR_DL_PREPAYMENTS = 55,
    // Loan guarantees.
    CR_LG_COMMITMENTS = 56,  // cohort start
    CR_LG_DISBURSEMENTS = 57,
    CR_LG_PCT_GUARANTEED = 58,
    CR_LG_UPFRONT_FEES = 59,
    CR_LG_ANNUAL_FEES = 60,
    CR_LG_PREMIUMS = 61,
    CR_LG_INFLOWS_OTHER = 62,
    CR_LG_DEFAULT_PAYMENTS = 63,
    CR_LG_RECOVERIES = 64,
    CR_LG_INTEREST_SUBSIDY = 65,
    CR_LG_OUTFLOWS_OTHER = 66,
    CR_LG_LOST_FEES = 67,
    CR_LG_SAVED_INTEREST = 68,
    CR_LG_MISC_RECOVERIES = 69,
    CR_UNKNOWN = 70,   // text that matched nothing
    CR_SPEC_MAX = 71,  // end marker, never recoded
};

// Display name of a code; "Impossible value of enum" for 3 and for values
// outside 0-71.
const char* line_code_name(int code);

// Cash-flow lines: 46-55 (direct loans), 57 and 59-69 (guarantees).
bool is_cash_flow_line(int code);
// The disbursement lines 46 and 57.
bool is_disbursement_line(int code);
// Quarter-factor lines 19-34.
bool is_quarter_factor_line(int code);

// Inflow class: under simple timing at the end of each year; old-style
// quarterly rows use the inflow quarter factors.
bool in_inflow_class(int code);
// Outflow class: the outflow quarter factors. Code 57 is in neither class.
bool in_outflow_class(int code);

}  // namespace fv
