// The consistency pass and the present-value test of a cohort.
#include "subsidy/consistency_checks.h"

#include <cmath>
#include <vector>

#include "cashflow/line_code.h"

namespace fv {

namespace {

constexpr std::size_t years_checked = 100;
constexpr int most_exceptions = 5;
const char* const too_many = "Too many errors of this type:  this test was stopped after 5 exceptions";

bool eased_row(const cash_flow_row& row) { return row.has_annual_totals || row.continuous; }

// A row whose amounts begin before the loans are made; eased rows may begin up to `allowance` grid steps early.
bool starts_too_early(const cohort& cohort, const cash_flow_row& row, int allowance) {
    const bool eased = cohort.disbursement_row != nullptr && eased_row(*cohort.disbursement_row) && eased_row(row);
    return eased ? row.start_offset < -allowance : row.start_offset < 0;
}

void principal_against_disbursements(const cohort& cohort, message_list& messages) {
    const double principal = cohort.total_principal;
    const double disbursements = cohort.total_disbursements;
    // Totals beyond the finite numbers cannot be compared; the calculation names the cohort.
    if (!std::isfinite(principal - disbursements)) return;
    if (disbursements == 0) {
        // No loans to compare with: say so instead of dividing by zero.
        if (principal != 0)
            messages.add(36, format_message("Total disbursements are 0 and total principal payments are %.3lf in "
                                            "cohort %d",
                                            principal, cohort.year));
        return;
    }
    const double x = std::fabs(principal - disbursements) / disbursements;
    if (x > 0.005 && std::isfinite(x * 100))
        messages.add(36, format_message("Total disbursements and total principal payments differ by %.1lf percent "
                                        "in cohort %d",
                                        x * 100, cohort.year));
}

void direct_loan_pass(const cohort& cohort, message_list& messages) {
    principal_against_disbursements(cohort, messages);
    std::vector<double> receipts(years_checked, 0.0);
    std::vector<double> defaults(years_checked, 0.0);
    for (const auto& row : cohort.rows) {
        const line_code type = row->line;
        if (type == line_code::dl_principal || type == line_code::dl_interest || type == line_code::dl_fees) {
            row->add_to_fiscal_year_sums(receipts);
            if (starts_too_early(cohort, *row, 12))
                messages.add(49, format_message("Principal or interest payments in the FY %d cohort occur before "
                                                "loan disbursement",
                                                cohort.year));
        } else if (type == line_code::dl_defaults) {
            row->add_to_fiscal_year_sums(defaults);
            if (starts_too_early(cohort, *row, 12))
                messages.add(49, format_message("Adjustment for defaults in the FY %d cohort occur before loan "
                                                "disbursement",
                                                cohort.year));
        }
    }
    int exceptions = 0;
    for (std::size_t j = 0; j < years_checked; ++j) {
        if (!(-defaults[j] - receipts[j] > 1e-10) || !std::isfinite(defaults[j] + receipts[j])) continue;
        const int fiscal_year = cohort.year + static_cast<int>(j);
        messages.add(48, format_message("For the %d cohort, adjustment for defaults in FY %d exceeds receipts of",
                                        cohort.year, fiscal_year));
        messages.add(48, format_message("    principal, interest, and fees in that year by %.3lf",
                                        -(defaults[j] + receipts[j])));
        if (++exceptions == most_exceptions) {
            messages.add(48, too_many);
            break;
        }
    }
}

void guarantee_pass(const cohort& cohort, message_list& messages) {
    std::vector<double> defaults(years_checked, 0.0);
    std::vector<double> recoveries(years_checked, 0.0);
    for (const auto& row : cohort.rows) {
        if (row->line == line_code::lg_default_payments) {
            row->add_to_fiscal_year_sums(defaults);
            if (starts_too_early(cohort, *row, 12))
                messages.add(49, format_message("Adjustment for defaults in the FY %d cohort occur before loan "
                                                "disbursement",
                                                cohort.year));
        } else if (row->line == line_code::lg_recoveries) {
            row->add_to_fiscal_year_sums(recoveries);
            if (starts_too_early(cohort, *row, 11))
                messages.add(49, format_message("Adjustment for recoveries in the FY %d cohort occur before loan "
                                                "disbursement",
                                                cohort.year));
        }
    }
    double cumulative_defaults = 0.0;
    double cumulative_recoveries = 0.0;
    int exceptions = 0;
    for (std::size_t j = 0; j < years_checked; ++j) {
        cumulative_defaults += defaults[j];
        cumulative_recoveries += recoveries[j];
        if (defaults[j] == 0 && recoveries[j] == 0) continue;
        if (!(-cumulative_recoveries - cumulative_defaults > 1e-10) ||
            !std::isfinite(cumulative_recoveries + cumulative_defaults))
            continue;
        messages.add(48, format_message("For the %d cohort, the cumulative recoveries exceed cumulative defaults in "
                                        "year %d",
                                        cohort.year, cohort.year + static_cast<int>(j)));
        messages.add(48, format_message("    Cumulative defaults (-)   = %.3lf", cumulative_defaults));
        messages.add(48, format_message("    Cumulative recoveries (+) = %.3lf", cumulative_recoveries));
        messages.add(48, format_message("    Difference (rec + def)    = %.3lf",
                                        cumulative_recoveries + cumulative_defaults));
        if (++exceptions == most_exceptions) {
            messages.add(48, too_many);
            break;
        }
    }
}

}  // namespace

void consistency_pass(cohort& cohort, message_list& messages) {
    cohort.total_principal = 0.0;
    cohort.total_disbursements = 0.0;
    for (auto& row : cohort.rows) row->check_signs(messages);
    if (cohort.program_type == program_loan_guarantee)
        guarantee_pass(cohort, messages);
    else
        direct_loan_pass(cohort, messages);
}

void present_value_test(const cohort& cohort, const cohort_results& results, message_list& messages) {
    const double d = results.default_value;
    const double r = results.recovery_value;
    if (!std::isfinite(d + r)) return;  // a cohort that could not be calculated
    const bool exceeds = cohort.program_type == program_loan_guarantee ? d > 0 && d + r < -0.001 : d < 0 && d + r > 0.001;
    if (!exceeds) return;
    messages.add(37, format_message("In cohort %d, the present value of recoveries exceeds the present value of "
                                    "losses due to defaults.",
                                    cohort.year));
    messages.add(37, format_message("    PV of recoveries is %.3lf and PV of defaults is %.3lf", r, d));
}

}  // namespace fv
