// What the yield-curve chart draws for a rate set: the nine entered rates as
// points and the curve the factor engine builds from them, up to 30 years.
// The curve is the par yield (the coupon of a bond priced at par on the
// built discount factors) at every half-year, so it passes through the
// entered rates; up to six months, where a par bond pays only at maturity,
// it is the zero-coupon rate on the half-month grid. The zero-coupon rates the
// discounting uses are given too.
#pragma once

#include <string>
#include <vector>

#include "rates/rate_set.h"

namespace fv {

struct chart_point {
    double x = 0.0;  // years
    double y = 0.0;  // percent
};

struct yield_curve_chart {
    std::string title;
    std::vector<chart_point> entered;  // the given rates at their maturities
    std::vector<chart_point> par_curve;
    std::vector<chart_point> zero_curve;
};

// The maturity in years of each of a set's nine rates.
inline constexpr double rate_maturity_years[9] = {0.25, 0.5, 1, 2, 3, 5, 7, 10, 30};

// Builds the curve as a calculation would; throws the engine's text_error
// when the rates build none.
yield_curve_chart make_yield_curve_chart(const rate_set& set);

}  // namespace fv
