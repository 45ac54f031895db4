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
    const std::vector<double>& amounts = row.valued_amounts();
    if (amounts.empty()) return 0.0;
    if (row.is_disbursement()) return std::accumulate(row.amounts.begin(), row.amounts.end(), 0.0);
    const int frequency = row.valued_frequency();
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

// With `row_values`, each row's value as row_value would give it.
void compute(cohort& cohort, present_value_factors& factors, std::vector<row_derivation>* derivation,
             const std::vector<double>* row_values = nullptr) {
    cohort_results& results = cohort.results;
    results.year = cohort.year;
    results.total_principal = cohort.total_principal;
    results.total_disbursements = cohort.total_disbursements;
    subsidy_accumulator accumulator(results, cohort.program_type);
    // A trial of the single-effective-rate search may overflow at an extreme
    // rate; the search deals with that. On the curve itself it is a failure.
    const bool trial = factors.uses_single_rate();
    for (std::size_t n = 0; n < cohort.rows.size(); ++n) {
        const cash_flow_row& row = *cohort.rows[n];
        const double value = row_values != nullptr ? (*row_values)[n] : row_value(row, factors, derivation);
        if (!trial) require_finite_row_value(cohort, row, value);
        accumulator.add(row.line, value);
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

batched_subsidy::batched_subsidy(const cohort& cohort) {
    for (const auto& row : cohort.rows) {
        if (row->parts.empty()) valued_rows_.push_back(row.get());
        for (const auto& part : row->parts) valued_rows_.push_back(part.get());
    }
    std::vector<discount_request> requests(valued_rows_.size());
    for (std::size_t n = 0; n < valued_rows_.size(); ++n) {
        const cash_flow_row& row = *valued_rows_[n];
        const std::vector<double>& amounts = row.valued_amounts();
        // Without amounts or a frequency a row is worth nothing; a disbursement row is its sum, whatever the rate.
        if (amounts.empty()) continue;
        if (row.is_disbursement())
            sums_.emplace_back(n, std::accumulate(row.amounts.begin(), row.amounts.end(), 0.0));
        else if (row.valued_frequency() != 0)
            requests[n] = {row.valued_frequency(), row.point, amounts, row.start_offset};
    }
    batch_ = discount_batch(requests);
    leaf_values_.resize(valued_rows_.size());
    row_values_.reserve(cohort.rows.size());
}

void batched_subsidy::compute(cohort& cohort, present_value_factors& factors) {
    if (!factors.discount_all(batch_, leaf_values_)) {
        fv::compute(cohort, factors, nullptr);
        return;
    }
    for (const auto& [n, sum] : sums_) leaf_values_[n] = sum;
    // A row with parts sums them from 0 as row_value does; a row without is its own value.
    row_values_.clear();
    std::size_t next = 0;
    for (const auto& row : cohort.rows) {
        if (row->parts.empty()) {
            row_values_.push_back(leaf_values_[next++]);
            continue;
        }
        double sum = 0.0;
        for (std::size_t k = 0; k < row->parts.size(); ++k) sum += leaf_values_[next++];
        row_values_.push_back(sum);
    }
    fv::compute(cohort, factors, nullptr, &row_values_);
}

}  // namespace fv
