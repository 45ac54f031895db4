// The yield curve against closed forms: flat curves, straight-line reading of
// the quotes, the filling-in of missing quotes and the solver's limits.
#include <gtest/gtest.h>

#include "rates/message_of.h"

#include <cmath>
#include <limits>

#include "rates/yield_curve.h"
#include "util/text_error.h"

namespace {

std::array<double, 9> all(double r) {
    std::array<double, 9> rates;
    rates.fill(r);
    return rates;
}

TEST(LogTime, IsTheLogOfIndexPlusOne) {
    EXPECT_EQ(fv::log_time(0), 0.0);
    EXPECT_DOUBLE_EQ(fv::log_time(11), std::log(12.0));
    EXPECT_DOUBLE_EQ(fv::log_time(2400), std::log(2401.0));
}

TEST(Midpoint, HalvesExponentsFirstThenBisects) {
    EXPECT_EQ(fv::fp_midpoint(1.0, 3.0), 2.0);
    EXPECT_EQ(fv::fp_midpoint(-3.0, -2.0), -2.5);
    // Far apart: the exponent is halved and the larger magnitude lends sign
    // and fraction.
    const double m = fv::fp_midpoint(-199.0, 9.99999999e307);
    EXPECT_GT(m, 1e150);
    EXPECT_LT(m, 1e160);
    EXPECT_LT(fv::fp_midpoint(-199.0, 1e-10), 0.0);
    // Near the largest doubles the midpoint stays finite.
    const double big = fv::fp_midpoint(9.0e307, 9.99999999e307);
    EXPECT_TRUE(std::isfinite(big));
    EXPECT_DOUBLE_EQ(big, 9.499999995e307);
    const double top = std::numeric_limits<double>::max();
    EXPECT_TRUE(std::isfinite(fv::fp_midpoint(top, std::nextafter(top, 0.0))));
}

TEST(YieldCurve, FlatCurveFillsToItsOwnRateEverywhere) {
    for (double r : {0.05, 3.0, 6.0, 14.5}) {
        std::array<double, 9> rates = all(fv::missing_rate);
        rates[0] = rates[7] = r;
        fv::yield_curve curve;
        curve.set_rates(rates);
        curve.fill_missing();
        for (double filled : curve.rates()) EXPECT_NEAR(filled, r, 1e-5) << r;
        for (int k = 12; k <= 720; k += 12) {
            EXPECT_NEAR(curve.forward_rates[k], r, 1e-4) << r << " at " << k;
            EXPECT_NEAR(curve.discount_factors[k], std::pow(1 + r / 200, -k / 12.0), 1e-7) << r << " at " << k;
        }
    }
}

TEST(YieldCurve, SolvingAFlatCurveGivesFlatForwardAndZeroRates) {
    const double r = 6.0;
    fv::yield_curve curve;
    curve.set_rates(all(r));
    curve.load_points();
    curve.discount_factors[0] = 1.0;
    curve.discount_factors[12] = 1 / (1 + r / 200);
    curve.forward_rates[12] = r;
    curve.solve(12, 24);
    curve.solve(24, 48);
    curve.solve(48, 120);
    curve.solve(120, 720);
    for (int k = 24; k <= 720; k += 12) {
        EXPECT_NEAR(curve.forward_rates[k], r, 1e-4) << k;
        EXPECT_NEAR(curve.zero_rates[k], r, 1e-5) << k;
        EXPECT_NEAR(curve.discount_factors[k], std::pow(1.03, -k / 12.0), 1e-8) << k;
    }
    EXPECT_NEAR(curve.par_yield(240), r, 1e-5);
}

TEST(YieldCurve, FillingFromTheTwoRequiredRatesStaysBetweenThem) {
    std::array<double, 9> rates = all(fv::missing_rate);
    rates[0] = 4.0;
    rates[7] = 6.0;
    fv::yield_curve curve;
    curve.set_rates(rates);
    curve.fill_missing();
    const auto& filled = curve.rates();
    EXPECT_EQ(filled[0], 4.0);
    EXPECT_EQ(filled[7], 6.0);
    for (int j = 1; j < 7; ++j) {
        EXPECT_GT(filled[j], 4.0) << j;
        EXPECT_LT(filled[j], 6.0) << j;
        EXPECT_GE(filled[j], filled[j - 1]) << j;
    }
    // 30 years: forwards continue along the log-time line through 12 and 240.
    const double f12 = curve.forward_rates[12];
    const double f240 = curve.forward_rates[240];
    const double expected =
        f240 + (f240 - f12) * (std::log(721.0) - std::log(241.0)) / (std::log(241.0) - std::log(13.0));
    EXPECT_NEAR(curve.forward_rates[720], expected, 1e-12);
    EXPECT_GT(filled[8], 6.0);
}

TEST(YieldCurve, GivenRatesAreKeptAndMissingOnesFilled) {
    std::array<double, 9> rates = {5.0, fv::missing_rate, 5.4, fv::missing_rate, fv::missing_rate,
                                   6.0, fv::missing_rate, 6.3, 7.0};
    fv::yield_curve curve;
    curve.set_rates(rates);
    curve.fill_missing();
    const auto& filled = curve.rates();
    EXPECT_EQ(filled[2], 5.4);
    EXPECT_EQ(filled[5], 6.0);
    EXPECT_EQ(filled[8], 7.0);  // a given 30-year rate is kept, not fitted
    EXPECT_GT(filled[1], 5.0);
    EXPECT_LT(filled[1], 5.4);
    EXPECT_GT(filled[3], 5.4);
    EXPECT_LT(filled[4], 6.0);
    EXPECT_GT(filled[6], 6.0);
    EXPECT_LT(filled[6], 6.3);
    // The filled quotes are the par yields of the fitted curve.
    EXPECT_NEAR(curve.par_yield(48), filled[3], 1e-12);
    EXPECT_NEAR(curve.par_yield(240), 6.3, 1e-4);
}

TEST(YieldCurve, SteeplyFallingCurveFloorsTheThirtyYearForward) {
    std::array<double, 9> rates = all(fv::missing_rate);
    rates[0] = 15.0;
    rates[7] = 2.0;
    fv::yield_curve curve;
    curve.set_rates(rates);
    curve.fill_missing();
    EXPECT_EQ(curve.forward_rates[720], 0.01);
    EXPECT_LT(curve.rates()[8], 2.0);
}

TEST(YieldCurve, FillNeedsTheThirteenWeekAndTenYearRates) {
    fv::yield_curve curve;
    std::array<double, 9> rates = all(fv::missing_rate);
    rates[7] = 5.0;
    curve.set_rates(rates);
    EXPECT_EQ(message_of([&] { curve.fill_missing(); }), "13-week rate is less than -199 percent");
    rates[0] = 5.0;
    rates[7] = fv::missing_rate;
    curve.set_rates(rates);
    EXPECT_EQ(message_of([&] { curve.fill_missing(); }), "10-year rate is less than -199 percent");
}

TEST(YieldCurve, CheckRatesNamesTheFirstRateBelowTheFloor) {
    const char* const expected[9] = {
        "3-month rate is below -199.0 percent", "6-month rate is below -199.0 percent",
        "12-month rate is below -199.0 percent", "2-year rate is below -199.0 percent",
        "3-year rate is below -199.0 percent",  "5-year rate is below -199.0 percent",
        "7-year rate is below -199.0 percent",  "10-year rate is below -199.0 percent",
        "30-year rate is below -199.0 percent",
    };
    for (int j = 0; j < 9; ++j) {
        std::array<double, 9> rates = all(5.0);
        rates[j] = -199.5;
        if (j < 8) rates[8] = -300;  // a later failure is not reported
        fv::yield_curve curve;
        curve.set_rates(rates);
        EXPECT_EQ(message_of([&] { curve.check_rates(); }), expected[j]);
    }
    fv::yield_curve curve;
    curve.set_rates(all(-199.0));
    EXPECT_EQ(message_of([&] { curve.check_rates(); }), "");
}

TEST(YieldCurve, InterpolateRateReadsStraightLines) {
    fv::yield_curve curve;
    curve.set_rates({4.0, 5.0, 6.0, 6.5, 7.0, 7.5, 8.0, 9.0, 10.0});
    EXPECT_EQ(curve.interpolate_rate(0.75), 5.5);
    EXPECT_EQ(curve.interpolate_rate(40), 10.0);
    EXPECT_EQ(curve.interpolate_rate(30), 10.0);
    EXPECT_EQ(curve.interpolate_rate(0.1), 4.0);
    EXPECT_EQ(curve.interpolate_rate(0.25), 4.0);
    EXPECT_EQ(curve.interpolate_rate(4), 7.25);
    EXPECT_EQ(curve.interpolate_rate(20), 9.5);
}

TEST(YieldCurve, AnUnreachableParYieldFailsInsteadOfOverflowing) {
    // Ten years at 5 percent already price a 30-year bond with a 20 percent
    // coupon above par: no forward rate can bring it back, and the bracket
    // runs to its upper end.
    fv::yield_curve curve;
    curve.set_rates(all(5.0));
    curve.load_points();
    curve.input_points[720] = 20.0;
    curve.discount_factors[0] = 1.0;
    for (int k = 12; k <= 240; k += 12) {
        curve.discount_factors[k] = std::pow(1.025, -k / 12.0);
        curve.forward_rates[k] = 5.0;
    }
    EXPECT_EQ(message_of([&] { curve.solve(240, 720); }),
              "yld_curve::solve was unable to find a suitable forward rate");
}

}  // namespace
