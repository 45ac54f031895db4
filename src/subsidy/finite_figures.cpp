// The finite-figures checks of a cohort's calculation.
#include "subsidy/finite_figures.h"

#include <cmath>

#include "cashflow/cash_flow_row.h"
#include "cashflow/message_list.h"
#include "util/text_error.h"

namespace fv {

namespace {

const char* const consequence =
    "\nIts amounts are too large to calculate with, so its subsidy was not computed.";

// What the displays and outputs would otherwise pick up from a half-finished record.
void mark_not_computed(cohort_results& results) {
    results.subsidy_computed = false;
    for (double* figure : {&results.subsidy_amount, &results.subsidy_percentage, &results.financing_amount,
                           &results.financing_percentage, &results.default_amount, &results.default_percentage,
                           &results.fee_amount, &results.fee_percentage, &results.other_amount,
                           &results.other_percentage, &results.disbursements})
        *figure = not_available;
    results.line_values.fill(0.0);
    results.default_value = results.recovery_value = 0.0;
}

}  // namespace

std::string non_finite_row_message(const cohort& cohort, const cash_flow_row& row) {
    return format_message("Cohort %d cannot be calculated: the value of the row \"%s\" (cell %s) is not a finite "
                          "number.",
                          cohort.year, row.label.c_str(), row.cell.c_str()) +
           consequence;
}

std::string non_finite_cohort_message(const cohort& cohort) {
    return format_message("Cohort %d cannot be calculated: its subsidy is not a finite number.", cohort.year) +
           consequence;
}

void require_finite_row_value(cohort& cohort, const cash_flow_row& row, double value) {
    if (std::isfinite(value)) return;
    mark_not_computed(cohort.results);
    throw text_error(non_finite_row_message(cohort, row));
}

void require_finite_results(cohort& cohort) {
    const cohort_results& r = cohort.results;
    bool finite = true;
    for (double figure : {r.subsidy_amount, r.subsidy_percentage, r.financing_amount, r.financing_percentage,
                          r.default_amount, r.default_percentage, r.fee_amount, r.fee_percentage, r.other_amount,
                          r.other_percentage, r.disbursements, r.default_value, r.recovery_value})
        finite = finite && std::isfinite(figure);
    for (double value : r.line_values) finite = finite && std::isfinite(value);
    if (finite) return;
    mark_not_computed(cohort.results);
    throw text_error(non_finite_cohort_message(cohort));
}

}  // namespace fv
