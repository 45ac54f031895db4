// Speed of the factor engine: building one table from a rate set (and from a
// single effective rate), and discounting rows of amounts.
#include <benchmark/benchmark.h>

#include <vector>

#include "pv/present_value_factors.h"

namespace {

fv::rate_set typical_set() {
    return fv::rate_set(fv::rate_source::actual, "FY 2019 average", {2.26, 2.33, 2.33, 2.27, 2.25, 2.28, 2.37, 2.47, 2.84});
}

void BM_BuildFactorTable(benchmark::State& state) {
    const fv::rate_set set = typical_set();
    for (auto _ : state) {
        fv::present_value_factors pv;
        pv.set(&set);
        pv.make();
        benchmark::DoNotOptimize(pv.factor(2400));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuildFactorTable);

void BM_BuildSingleRateTable(benchmark::State& state) {
    fv::present_value_factors pv;
    for (auto _ : state) {
        pv.set_single_effective_rate(5.0);
        pv.make();
        benchmark::DoNotOptimize(pv.factor(2400));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuildSingleRateTable);

// A row of monthly amounts over the given number of years; items are amounts.
void BM_DiscountMonthly(benchmark::State& state) {
    const fv::rate_set set = typical_set();
    fv::present_value_factors pv;
    pv.set(&set);
    pv.make();
    const std::vector<double> amounts(static_cast<std::size_t>(state.range(0)) * 12, 123.45);
    for (auto _ : state) benchmark::DoNotOptimize(pv.discount(4, 3, amounts, -12));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(amounts.size()));
}
BENCHMARK(BM_DiscountMonthly)->Arg(1)->Arg(30)->Arg(99);

void BM_DiscountAnnualDirect(benchmark::State& state) {
    fv::present_value_factors pv;
    pv.set_single_effective_rate(5.0);
    pv.set_on_the_fly(true);
    const std::vector<double> amounts(30, 1000.0);
    for (auto _ : state) benchmark::DoNotOptimize(pv.discount(1, 3, amounts, 0));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(amounts.size()));
}
BENCHMARK(BM_DiscountAnnualDirect);

}  // namespace

BENCHMARK_MAIN();
