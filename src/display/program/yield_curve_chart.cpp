// The yield-curve chart's points, read off the factor engine's own curve.
#include "display/program/yield_curve_chart.h"

#include "pv/factor_grid.h"
#include "pv/present_value_factors.h"

namespace fv {

namespace {

constexpr int half_year = grid_step(2);
constexpr int thirty_years = 720;
constexpr double grid_points_per_year = grid_step(1);

double years_at(int index) { return index / grid_points_per_year; }

}  // namespace

yield_curve_chart make_yield_curve_chart(const rate_set& set) {
    present_value_factors factors;
    factors.set(&set);
    factors.make();
    const yield_curve& curve = factors.curve();

    yield_curve_chart chart;
    chart.title = set.title;
    for (std::size_t j = 0; j < set.rates.size(); ++j)
        if (set.rates[j] >= given_rate_floor) chart.entered.push_back({rate_maturity_years[j], set.rates[j]});
    for (int i = 0; i <= half_year; ++i) chart.par_curve.push_back({years_at(i), curve.zero_rates[static_cast<std::size_t>(i)]});
    for (int n = 2 * half_year; n <= thirty_years; n += half_year) chart.par_curve.push_back({years_at(n), curve.par_yield(n)});
    for (int i = 0; i <= thirty_years; ++i) chart.zero_curve.push_back({years_at(i), curve.zero_rates[static_cast<std::size_t>(i)]});
    return chart;
}

}  // namespace fv
