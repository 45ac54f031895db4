// Cohorts handed out to a few threads; what each produced is gathered in
// cohort order afterwards.
#include "subsidy/cohort_calculation.h"

#include <exception>
#include <memory>
#include <vector>

#include "pv/present_value_factors.h"
#include "subsidy/cohort_single_effective_rate.h"
#include "subsidy/cohort_subsidy.h"
#include "subsidy/input_editing.h"

namespace fv {

namespace {

// What one cohort's calculation left to add to the program: its messages and
// flows, or its failure.
struct cohort_outcome {
    message_list messages;
    cohort_flows flows;
    std::exception_ptr failure;
};

// The last pass on the curve: with flows wanted, through the derivation record they are summed from.
void compute_on_curve(cohort& cohort, present_value_factors& engine, bool with_flows, cohort_outcome& outcome) {
    if (with_flows)
        outcome.flows = flows_by_year(cohort, compute_subsidy_derived(cohort, engine));
    else
        compute_subsidy(cohort, engine);
}

void compute_on_rows(cohort& cohort, present_value_factors& engine, const rate_set& rate_set,
                     bool with_single_effective_rate, bool with_flows, cohort_outcome& outcome) {
    if (with_single_effective_rate) {
        // Each cohort searches from the curve itself, so it gets the rate it would get alone.
        engine.set(&rate_set);
        engine.make();
        batched_subsidy subsidy(cohort);
        subsidy.compute(cohort, engine);
        const cohort_results on_curve = cohort.results;
        compute_single_effective_rate(cohort, engine, rate_set, outcome.messages, subsidy);
        // The search leaves a trial's subsidy and the engine at a flat rate:
        // the subsidy on the curve is the one before it, with the rate found.
        if (!with_flows) {
            const double rate = cohort.results.single_effective_rate;
            cohort.results = on_curve;
            cohort.results.single_effective_rate = rate;
            return;
        }
        engine.set(&rate_set);
        engine.make();
        compute_on_curve(cohort, engine, with_flows, outcome);
    } else {
        mark_single_effective_rate_not_computed(cohort);
        compute_on_curve(cohort, engine, with_flows, outcome);
    }
}

void compute_one(cohort& cohort, present_value_factors& engine, const rate_set& rate_set,
                 bool with_single_effective_rate, bool with_flows, cohort_outcome& outcome) {
    try {
        // A cohort without its parts is computed on an edited copy that has them, freed at once.
        if (const std::unique_ptr<fv::cohort> edited = cohort_with_parts(cohort)) {
            compute_on_rows(*edited, engine, rate_set, with_single_effective_rate, with_flows, outcome);
            cohort.results = edited->results;
        } else {
            compute_on_rows(cohort, engine, rate_set, with_single_effective_rate, with_flows, outcome);
        }
    } catch (...) {
        outcome.failure = std::current_exception();
    }
}

}  // namespace

void compute_cohorts(credit_program& program, const rate_set& rate_set, bool with_single_effective_rate,
                     unsigned threads, const cohort_progress& progress, std::vector<cohort_flows>* flows) {
    const std::size_t count = program.cohorts.size();
    std::vector<cohort_outcome> outcomes(count);
    const auto make_worker = [&]() -> item_worker {
        // Each thread its own engine, built once from the rate set.
        auto engine = std::make_shared<present_value_factors>();
        engine->set(&rate_set);
        engine->make();
        return [&, engine](std::size_t n) {
            compute_one(*program.cohorts[n], *engine, rate_set, with_single_effective_rate, flows != nullptr,
                        outcomes[n]);
        };
    };
    if (!do_items(count, threads, make_worker, progress)) throw calculation_cancelled();

    for (cohort_outcome& outcome : outcomes) {
        for (const message& message : outcome.messages.list()) program.add(message.number, message.text);
        if (outcome.failure) std::rethrow_exception(outcome.failure);
        if (flows != nullptr) flows->push_back(std::move(outcome.flows));
    }
}

}  // namespace fv
