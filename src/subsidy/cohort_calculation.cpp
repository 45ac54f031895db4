// Cohorts handed out to a few threads one at a time; what each produced is
// gathered in cohort order afterwards.
#include "subsidy/cohort_calculation.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <exception>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "pv/present_value_factors.h"
#include "subsidy/cohort_single_effective_rate.h"
#include "subsidy/cohort_subsidy.h"

namespace fv {

namespace {

constexpr unsigned most_threads = 64;

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

void compute_one(cohort& cohort, present_value_factors& engine, const rate_set& rate_set,
                 bool with_single_effective_rate, bool with_flows, cohort_outcome& outcome) {
    try {
        if (with_single_effective_rate) {
            // Each cohort searches from the curve itself, so it gets the rate it would get alone.
            engine.set(&rate_set);
            engine.make();
            compute_subsidy(cohort, engine);
            compute_single_effective_rate(cohort, engine, rate_set, outcome.messages);
            // The search leaves a trial's subsidy and the engine at a flat rate.
            engine.set(&rate_set);
            engine.make();
            compute_on_curve(cohort, engine, with_flows, outcome);
        } else {
            mark_single_effective_rate_not_computed(cohort);
            compute_on_curve(cohort, engine, with_flows, outcome);
        }
    } catch (...) {
        outcome.failure = std::current_exception();
    }
}

}  // namespace

unsigned calculation_threads() {
    if (const char* text = std::getenv("FERRAVANE_THREADS")) {
        char* end = nullptr;
        const long number = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && number >= 1 && number <= most_threads) return static_cast<unsigned>(number);
    }
    return std::clamp(std::thread::hardware_concurrency(), 1u, most_threads);
}

void compute_cohorts(credit_program& program, const rate_set& rate_set, bool with_single_effective_rate,
                     unsigned threads, const cohort_progress& progress, std::vector<cohort_flows>* flows) {
    const std::size_t count = program.cohorts.size();
    std::vector<cohort_outcome> outcomes(count);
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    std::atomic<bool> stopped{false};
    std::mutex lock;  // guards engine_failure and the end of the work
    std::condition_variable finished;
    std::size_t workers_left = 0;
    std::exception_ptr engine_failure;  // an engine that could not be built
    const auto work = [&] {
        try {
            present_value_factors engine;
            engine.set(&rate_set);
            engine.make();
            for (std::size_t n = next++; n < count && !stopped; n = next++) {
                compute_one(*program.cohorts[n], engine, rate_set, with_single_effective_rate, flows != nullptr,
                            outcomes[n]);
                ++done;
            }
        } catch (...) {
            const std::lock_guard<std::mutex> hold(lock);
            if (!engine_failure) engine_failure = std::current_exception();
        }
        const std::lock_guard<std::mutex> hold(lock);
        --workers_left;
        finished.notify_all();
    };

    if (progress && !progress(0, count)) throw calculation_cancelled();
    // Without a watcher the calling thread is one of the workers.
    const std::size_t wanted = std::min<std::size_t>(std::max(threads, 1u), std::max<std::size_t>(count, 1));
    const std::size_t helpers = progress ? wanted : wanted - 1;
    std::vector<std::jthread> pool;
    pool.reserve(helpers);
    for (std::size_t n = 0; n < helpers; ++n) {
        try {
            {
                const std::lock_guard<std::mutex> hold(lock);
                ++workers_left;
            }
            pool.emplace_back(work);
        } catch (const std::system_error&) {
            // No more threads to be had: those started (or this one) do the work.
            const std::lock_guard<std::mutex> hold(lock);
            --workers_left;
            break;
        }
    }
    if (!progress || pool.empty()) {
        {
            const std::lock_guard<std::mutex> hold(lock);
            ++workers_left;
        }
        work();
    }
    if (progress) {
        std::unique_lock<std::mutex> hold(lock);
        while (!finished.wait_for(hold, std::chrono::milliseconds(50), [&] { return workers_left == 0; })) {
            hold.unlock();
            if (!stopped && !progress(done, count)) stopped = true;
            hold.lock();
        }
    }
    pool.clear();  // joins
    if (engine_failure) std::rethrow_exception(engine_failure);
    if (stopped) throw calculation_cancelled();
    if (progress) progress(count, count);

    for (cohort_outcome& outcome : outcomes) {
        for (const message& message : outcome.messages.list()) program.add(message.number, message.text);
        if (outcome.failure) std::rethrow_exception(outcome.failure);
        if (flows != nullptr) flows->push_back(std::move(outcome.flows));
    }
}

}  // namespace fv
