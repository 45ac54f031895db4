// The subsidy-by-cohort chart's figures from the results records.
#include "display/program/subsidy_chart.h"

namespace fv {

namespace {

double shown(double percentage) { return percentage == not_available ? 0.0 : percentage; }

}  // namespace

std::vector<cohort_subsidy_bar> make_subsidy_chart(const credit_program& program) {
    std::vector<cohort_subsidy_bar> bars;
    for (const auto& cohort : program.cohorts) {
        const cohort_results& r = cohort->results;
        cohort_subsidy_bar& bar = bars.emplace_back();
        bar.year = cohort->year;
        bar.financing = shown(r.financing_percentage);
        bar.defaults = shown(r.default_percentage);
        bar.fees = shown(r.fee_percentage);
        bar.other = shown(r.other_percentage);
        bar.total = shown(r.subsidy_percentage);
        if (r.single_effective_rate != not_available) bar.single_effective_rate = r.single_effective_rate;
    }
    return bars;
}

}  // namespace fv
