// Speed of the single-effective-rate search: one cohort of 20 years of
// monthly rows (principal, interest, defaults, recoveries, fees), its subsidy
// on the curve and then its single effective rate. The subsidy here is the
// direct-loan sum of discounted rows, the same work per evaluation as the
// cohort calculation. Reports the subsidy evaluations per cohort.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "pv/single_effective_rate.h"

namespace {

struct cohort_rows {
    std::vector<fv::single_rate_row> rows;  // principal, interest, defaults, recoveries, fees
    std::vector<double> sign;               // + for outflows to the government's cost

    double subsidy(fv::present_value_factors& pv) const {
        double total = 1000.0;  // disbursed at the start, not discounted
        for (std::size_t r = 0; r < rows.size(); ++r)
            total += sign[r] * pv.discount(rows[r].frequency, 2, rows[r].amounts, rows[r].start);
        return 100.0 * total / 1000.0;
    }
};

cohort_rows twenty_years_monthly() {
    const int n = 240;
    const double i = 0.07 / 12;
    const double payment = 1000.0 * i / (1.0 - std::pow(1.0 + i, -n));
    cohort_rows c;
    std::vector<double> principal, interest, defaults, recoveries, fees;
    double balance = 1000.0;
    for (int k = 0; k < n; ++k) {
        const double in = balance * i;
        interest.push_back(in * 0.97);
        principal.push_back((payment - in) * 0.97);
        balance -= payment - in;
        defaults.push_back(-0.0015 * balance);
        recoveries.push_back(0.0008 * balance);
        fees.push_back(0.0002 * balance);
    }
    for (auto* amounts : {&principal, &interest, &defaults, &recoveries, &fees})
        c.rows.push_back({4, 1, std::move(*amounts)});
    c.sign = {-1.0, -1.0, 1.0, -1.0, -1.0};
    return c;
}

void BM_CohortSubsidyAndSingleEffectiveRate(benchmark::State& state) {
    const fv::rate_set set(fv::rate_source::actual, "FY 2019 average", {2.26, 2.33, 2.33, 2.27, 2.25, 2.28, 2.37, 2.47, 2.84});
    const cohort_rows c = twenty_years_monthly();
    const fv::subsidy_evaluator evaluate = [&c](fv::present_value_factors& pv) { return c.subsidy(pv); };
    fv::present_value_factors engine;
    int evaluations = 0;
    double rate = 0.0;
    for (auto _ : state) {
        engine.set(&set);
        engine.make();
        fv::single_rate_cohort cohort;
        cohort.year = 2024;
        cohort.subsidy_percentage = c.subsidy(engine);
        cohort.highest_zero_rate = engine.highest_zero_rate();
        cohort.rows = c.rows;
        const fv::single_rate_outcome out = fv::compute_single_effective_rate(cohort, engine, set, evaluate);
        evaluations = out.evaluations + 1;
        rate = out.rate;
        benchmark::DoNotOptimize(out);
    }
    state.counters["evaluations"] = evaluations;
    state.counters["rate"] = benchmark::Counter(rate);
}
BENCHMARK(BM_CohortSubsidyAndSingleEffectiveRate)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
