// Present values of rows and the cohort's subsidy.
#include "subsidy/cohort_subsidy.h"

#include <numeric>

#include "cashflow/value_names.h"
#include "subsidy/subsidy_components.h"

namespace fv {

double do_npv(const cf_item& row, cf_pvfact& factors) {
    if (!row.parts.empty()) {
        double sum = 0.0;
        for (const auto& part : row.parts) sum += do_npv(*part, factors);
        return sum;
    }
    const std::vector<double>& amounts = row.same_as_disbursement ? row.c_amt : row.amt;
    if (amounts.empty()) return 0.0;
    if (row.is_disbursement()) return std::accumulate(row.amt.begin(), row.amt.end(), 0.0);
    const int frequency = row.same_as_disbursement ? frequency_annual : row.frequency;
    if (frequency == 0) return 0.0;
    return factors.discount(frequency, row.point, amounts, row.start_offset);
}

void compute_subsidy(cf_cohort& cohort, cf_pvfact& factors) {
    cohort_results& results = cohort.results;
    results.year = cohort.year;
    results.total_principal = cohort.total_principal;
    results.total_disbursements = cohort.total_disbursements;
    subsidy_accumulator accumulator(results, cohort.program_type);
    for (const auto& row : cohort.rows) accumulator.add(row->lint_type, do_npv(*row, factors));
    accumulator.finish();
    if (factors.use_ser()) return;
    if (factors.has_table()) {
        results.highest_zero_rate = factors.highest_zero_rate();
        results.lowest_zero_rate = factors.lowest_zero_rate();
    } else {
        results.highest_zero_rate = results.lowest_zero_rate = not_available;
    }
}

}  // namespace fv
