// Present values of rows and the cohort's subsidy.
#include "subsidy/cohort_subsidy.h"

#include <numeric>

#include "cashflow/value_names.h"
#include "subsidy/finite_figures.h"
#include "subsidy/subsidy_components.h"

namespace fv {

namespace {

// With a derivation, each discounted row (each part of a row with parts)
// adds how it came to its value.
double row_value(const cash_flow_row& row, present_value_factors& factors, std::vector<row_derivation>* derivation) {
    if (!row.parts.empty()) {
        double sum = 0.0;
        for (const auto& part : row.parts) sum += row_value(*part, factors, derivation);
        return sum;
    }
    const std::vector<double>& amounts = row.same_as_disbursement ? row.annual_totals : row.amounts;
    if (amounts.empty()) return 0.0;
    if (row.is_disbursement()) return std::accumulate(row.amounts.begin(), row.amounts.end(), 0.0);
    const int frequency = row.same_as_disbursement ? frequency_annual : row.frequency;
    const double value = frequency == 0 ? 0.0 : factors.discount(frequency, row.point, amounts, row.start_offset);
    if (derivation != nullptr) {
        row_derivation& derived = derivation->emplace_back();
        derived.row = &row;
        derived.present_value = value;
        if (frequency != 0) {
            derived.amounts = amounts;
            derived.factors = factors.amount_factors(frequency, row.point, amounts.size(), row.start_offset);
            if (derived.factors.empty()) derived.amounts.clear();
        }
    }
    return value;
}

void compute(cohort& cohort, present_value_factors& factors, std::vector<row_derivation>* derivation) {
    cohort_results& results = cohort.results;
    results.year = cohort.year;
    results.total_principal = cohort.total_principal;
    results.total_disbursements = cohort.total_disbursements;
    subsidy_accumulator accumulator(results, cohort.program_type);
    // A trial of the single-effective-rate search may overflow at an extreme
    // rate; the search deals with that. On the curve itself it is a failure.
    const bool trial = factors.uses_single_rate();
    for (const auto& row : cohort.rows) {
        const double value = row_value(*row, factors, derivation);
        if (!trial) require_finite_row_value(cohort, *row, value);
        accumulator.add(row->line, value);
    }
    accumulator.finish();
    if (trial) return;
    require_finite_results(cohort);
    if (factors.has_table()) {
        results.highest_zero_rate = factors.highest_zero_rate();
        results.lowest_zero_rate = factors.lowest_zero_rate();
    } else {
        results.highest_zero_rate = results.lowest_zero_rate = not_available;
    }
}

}  // namespace

double row_present_value(const cash_flow_row& row, present_value_factors& factors) {
    return row_value(row, factors, nullptr);
}

void compute_subsidy(cohort& cohort, present_value_factors& factors) { compute(cohort, factors, nullptr); }

cohort_derivation compute_subsidy_derived(cohort& cohort, present_value_factors& factors) {
    cohort_derivation derivation;
    derivation.year = cohort.year;
    compute(cohort, factors, &derivation.rows);
    return derivation;
}

}  // namespace fv
