// Which kind each cash-flow line is: the direct-loan and guarantee lines by
// what the money is, not by the subsidy component it enters.
#include "cashflow/cash_flow_kind.h"

namespace fv {

std::optional<cash_flow_kind> kind_of_line(line_code line) {
    switch (line) {
        case line_code::dl_disbursements:
        case line_code::lg_disbursements:
            return cash_flow_kind::disbursements;
        case line_code::dl_principal:
        case line_code::dl_prepayments:
            return cash_flow_kind::repayments;
        case line_code::dl_interest:
        case line_code::lg_interest_subsidy:
        case line_code::lg_saved_interest:
            return cash_flow_kind::interest;
        case line_code::dl_fees:
        case line_code::lg_upfront_fees:
        case line_code::lg_annual_fees:
        case line_code::lg_premiums:
        case line_code::lg_lost_fees:
            return cash_flow_kind::fees;
        case line_code::dl_defaults:
        case line_code::dl_losses:
        case line_code::lg_default_payments:
            return cash_flow_kind::defaults;
        case line_code::dl_recoveries:
        case line_code::lg_recoveries:
        case line_code::lg_misc_recoveries:
            return cash_flow_kind::recoveries;
        case line_code::dl_inflows_other:
        case line_code::dl_outflows_other:
        case line_code::lg_inflows_other:
        case line_code::lg_outflows_other:
            return cash_flow_kind::other;
        case line_code::nothing:
        case line_code::account_type:
        case line_code::amounts:
        case line_code::cohort:
        case line_code::comparable_maturity:
        case line_code::single_effective_rate:
        case line_code::csv_file:
        case line_code::deflators:
        case line_code::description:
        case line_code::discount_rates:
        case line_code::end:
        case line_code::estimate_type:
        case line_code::loan_type:
        case line_code::method:
        case line_code::name:
        case line_code::output_file:
        case line_code::outlays_prior_ba:
        case line_code::program_type:
        case line_code::purpose:
        case line_code::q1_inflow:
        case line_code::q1_inflow_init:
        case line_code::q1_outflow:
        case line_code::q1_outflow_init:
        case line_code::q2_inflow:
        case line_code::q2_inflow_init:
        case line_code::q2_outflow:
        case line_code::q2_outflow_init:
        case line_code::q3_inflow:
        case line_code::q3_inflow_init:
        case line_code::q3_outflow:
        case line_code::q3_outflow_init:
        case line_code::q4_inflow:
        case line_code::q4_inflow_init:
        case line_code::q4_outflow:
        case line_code::q4_outflow_init:
        case line_code::rate_assumption:
        case line_code::repeat:
        case line_code::skip:
        case line_code::timing:
        case line_code::suppress_warnings:
        case line_code::sheet_file:
        case line_code::calculate_ba:
        case line_code::full_precision:
        case line_code::budget_year:
        case line_code::enacted_ba:
        case line_code::dl_obligations:
        case line_code::lg_commitments:
        case line_code::lg_pct_guaranteed:
        case line_code::unknown:
        case line_code::end_marker:
            return std::nullopt;
    }
    return std::nullopt;
}

const char* cash_flow_kind_name(cash_flow_kind kind) {
    switch (kind) {
        case cash_flow_kind::disbursements: return "Disbursements";
        case cash_flow_kind::repayments: return "Repayments";
        case cash_flow_kind::interest: return "Interest";
        case cash_flow_kind::fees: return "Fees";
        case cash_flow_kind::defaults: return "Defaults";
        case cash_flow_kind::recoveries: return "Recoveries";
        case cash_flow_kind::other: return "Other";
    }
    return "Other";
}

}  // namespace fv
