// Feeding a cohort's rows and subsidy to the single-effective-rate search.
#include "subsidy/cohort_single_effective_rate.h"

#include "pv/factor_grid.h"
#include "pv/single_effective_rate.h"

namespace fv {

void compute_single_effective_rate(cohort& cohort, present_value_factors& engine, const rate_set& rate_set, message_list& messages) {
    batched_subsidy subsidy(cohort);
    compute_single_effective_rate(cohort, engine, rate_set, messages, subsidy);
}

void compute_single_effective_rate(cohort& cohort, present_value_factors& engine, const rate_set& rate_set,
                                   message_list& messages, batched_subsidy& subsidy) {
    cohort_results& results = cohort.results;
    single_rate_cohort input;
    input.year = cohort.year;
    input.compute = results.rate_computed;
    input.single_effective_rate = results.single_effective_rate;
    input.subsidy_percentage = results.subsidy_percentage;
    input.highest_zero_rate = results.highest_zero_rate;
    // The rows the trials discount, in the cohort's order: those the search weighs by maturity.
    for (const discount_request& row : subsidy.discounted_rows())
        if (!row.amounts.empty() && grid_step(row.frequency) != 0)
            input.rows.push_back({row.frequency, row.start, {row.amounts.begin(), row.amounts.end()}});

    // Trial subsidies must not show a rate from an earlier search.
    results.single_effective_rate = not_available;
    const single_rate_outcome outcome =
        compute_single_effective_rate(input, engine, rate_set, [&cohort, &subsidy](present_value_factors& trial) {
            subsidy.compute(cohort, trial);
            return cohort.results.subsidy_percentage;
        });
    results.single_effective_rate = outcome.rate;
    for (const single_rate_message& message : outcome.messages) messages.add(static_cast<unsigned>(message.number), message.text);
}

void mark_single_effective_rate_not_computed(cohort& cohort) {
    cohort.results.single_effective_rate = not_available;
    cohort.results.rate_computed = true;
}

}  // namespace fv
