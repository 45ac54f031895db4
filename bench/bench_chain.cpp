// Speed of the real calculation chain for one cohort: 20 years of monthly
// rows (principal, interest, fees, defaults, recoveries) parsed from a
// workbook and edited, then per iteration the cohort's subsidy on the curve,
// its single effective rate, and the subsidy again on the rebuilt curve.
#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <string>
#include <vector>

#include "cashflow/credit_program.h"
#include "subsidy/cohort_single_effective_rate.h"
#include "subsidy/cohort_subsidy.h"
#include "subsidy/flows_by_year.h"
#include "subsidy/input_editing.h"
#include "workbook/memory_workbook.h"

namespace {

std::unique_ptr<fv::credit_program> twenty_year_monthly_program() {
    auto book = std::make_unique<fv::memory_workbook>("bench.wk1");
    int row = 0;
    const auto labels = [&](std::initializer_list<const char*> texts) {
        int column = 0;
        for (const char* text : texts) book->set_label(0, row, column++, text);
        ++row;
    };
    labels({"Name", "Bench"});
    labels({"Program type", "direct"});
    labels({"Budget year"});
    book->set_number(0, row - 1, 1, 2024);
    labels({"Obligations"});
    labels({"Disbursements"});
    book->set_number(0, row - 1, 1, 1000);

    const int n = 240;
    const double i = 0.07 / 12;
    const double payment = 1000.0 * i / (1.0 - std::pow(1.0 + i, -n));
    const char* names[] = {"Principal pmts, scheduled [monthly, middle]", "Interest pmts, scheduled [monthly, middle]",
                           "Fees and other income [monthly, middle]", "Defaults [monthly, middle]",
                           "Recoveries [monthly, middle]"};
    for (int r = 0; r < 5; ++r) book->set_label(0, row + r, 0, names[r]);
    double balance = 1000.0;
    for (int k = 0; k < n; ++k) {
        const double interest = balance * i;
        const double values[] = {(payment - interest) * 0.97, interest * 0.97, 0.0002 * balance, 0.0015 * balance,
                                 -0.0008 * balance};
        for (int r = 0; r < 5; ++r) book->set_number(0, row + r, k + 1, values[r]);
        balance -= payment - interest;
    }
    row += 5;
    fv::range_bounds bounds;
    bounds.sheet1 = bounds.sheet2 = 1;
    bounds.row1 = bounds.column1 = 1;
    bounds.row2 = row;
    bounds.column2 = n + 1;
    book->add_named_range("TRQ", bounds);
    auto file = fv::open_memory_workbook(std::move(book));
    auto program = std::make_unique<fv::credit_program>(std::time_t{0});
    program->load(*file, "TRQ");
    fv::edit_input(*program);
    return program;
}

void BM_CohortThroughSubsidyAndSingleEffectiveRate(benchmark::State& state) {
    const fv::rate_set set(fv::rate_source::actual, "FY 2019 average", {2.26, 2.33, 2.33, 2.27, 2.25, 2.28, 2.37, 2.47, 2.84});
    auto program = twenty_year_monthly_program();
    fv::cohort& cohort = *program->cohorts.front();
    fv::present_value_factors engine;
    for (auto _ : state) {
        engine.set(&set);
        engine.make();
        fv::compute_subsidy(cohort, engine);
        fv::compute_single_effective_rate(cohort, engine, set, program->messages());
        engine.set(&set);
        engine.make();
        fv::compute_subsidy(cohort, engine);
        benchmark::DoNotOptimize(cohort.results);
    }
    state.counters["rate"] = benchmark::Counter(cohort.results.single_effective_rate);
    state.counters["subsidy"] = benchmark::Counter(cohort.results.subsidy_percentage);
}
BENCHMARK(BM_CohortThroughSubsidyAndSingleEffectiveRate)->Unit(benchmark::kMillisecond);

// The last pass of a calculation on the curve: the subsidy alone (range 0),
// or with the derivation record summed into the charts' flows by year (1),
// which is what a calculation now keeps.
void BM_LastPassWithChartFigures(benchmark::State& state) {
    fv::rate_set set;
    set.rates = {2.26, 2.33, 2.33, 2.27, 2.25, 2.28, 2.37, 2.47, 2.84};
    auto program = twenty_year_monthly_program();
    fv::cohort& cohort = *program->cohorts.front();
    fv::present_value_factors engine;
    engine.set(&set);
    engine.make();
    const bool keep_flows = state.range(0) != 0;
    for (auto _ : state) {
        if (keep_flows) {
            fv::cohort_flows flows = fv::flows_by_year(cohort, fv::compute_subsidy_derived(cohort, engine));
            benchmark::DoNotOptimize(flows);
        } else {
            fv::compute_subsidy(cohort, engine);
        }
        benchmark::DoNotOptimize(cohort.results);
    }
}
BENCHMARK(BM_LastPassWithChartFigures)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
