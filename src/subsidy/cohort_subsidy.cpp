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

// The rows row_value discounts or sums itself: a row's parts, or the row.
std::vector<const cash_flow_row*> valued_rows(const cohort& cohort) {
    std::vector<const cash_flow_row*> rows;
    for (const auto& row : cohort.rows) {
        if (row->parts.empty()) rows.push_back(row.get());
        for (const auto& part : row->parts) rows.push_back(part.get());
    }
    return rows;
}

// A trial's row values, each the same bits row_value gives: the rows to
// discount go to the engine together, which overlaps their work. False when
// the engine cannot take them so.
bool trial_row_values(const cohort& cohort, const present_value_factors& factors, std::vector<double>& values) {
    const std::vector<const cash_flow_row*> rows = valued_rows(cohort);
    std::vector<discount_request> requests(rows.size());
    for (std::size_t n = 0; n < rows.size(); ++n) {
        const cash_flow_row& row = *rows[n];
        const std::vector<double>& amounts = row.same_as_disbursement ? row.annual_totals : row.amounts;
        const int frequency = row.same_as_disbursement ? frequency_annual : row.frequency;
        // Without amounts or a frequency a row is worth nothing; a disbursement row is summed below.
        if (amounts.empty() || row.is_disbursement() || frequency == 0) continue;
        requests[n] = {frequency, row.point, amounts, row.start_offset};
    }
    std::vector<double> leaf_values(rows.size());
    if (!factors.discount_all_at_single_rate(requests, leaf_values)) return false;
    for (std::size_t n = 0; n < rows.size(); ++n) {
        const cash_flow_row& row = *rows[n];
        const bool empty = (row.same_as_disbursement ? row.annual_totals : row.amounts).empty();
        if (row.is_disbursement() && !empty) leaf_values[n] = std::accumulate(row.amounts.begin(), row.amounts.end(), 0.0);
    }
    values.clear();
    std::size_t next = 0;
    for (const auto& row : cohort.rows) {
        if (row->parts.empty()) {
            values.push_back(leaf_values[next++]);
            continue;
        }
        double sum = 0.0;
        for (std::size_t k = 0; k < row->parts.size(); ++k) sum += leaf_values[next++];
        values.push_back(sum);
    }
    return true;
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
    std::vector<double> trial_values;
    const bool batched = trial && derivation == nullptr && trial_row_values(cohort, factors, trial_values);
    for (std::size_t n = 0; n < cohort.rows.size(); ++n) {
        const cash_flow_row& row = *cohort.rows[n];
        const double value = batched ? trial_values[n] : row_value(row, factors, derivation);
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

}  // namespace fv
