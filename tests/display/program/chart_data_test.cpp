// The figures the charts draw: the yield curve against closed forms (a flat
// set, where every rate of the curve is the set's rate) and its failure, the
// subsidy bars from results records.
#include <gtest/gtest.h>

#include <array>

#include "cashflow/cohort.h"
#include "display/program/subsidy_chart.h"
#include "display/program/yield_curve_chart.h"
#include "util/text_error.h"

namespace fv {
namespace {

rate_set titled_set(const char* title, const std::array<double, 9>& rates) {
    rate_set set;
    set.title = title;
    set.rates = rates;
    return set;
}

TEST(YieldCurveChart, AFlatSetGivesAFlatCurve) {
    const rate_set flat = titled_set("Flat five", {5, 5, 5, 5, 5, 5, 5, 5, 5});
    const yield_curve_chart chart = make_yield_curve_chart(flat);
    EXPECT_EQ(chart.title, "Flat five");
    ASSERT_EQ(chart.entered.size(), 9u);
    for (std::size_t j = 0; j < 9; ++j) {
        EXPECT_EQ(chart.entered[j].x, rate_maturity_years[j]);
        EXPECT_EQ(chart.entered[j].y, 5.0);
    }
    // Half-months to six months, then every half-year to 30 years.
    ASSERT_EQ(chart.par_curve.size(), 13u + 59u);
    EXPECT_EQ(chart.par_curve.back().x, 30.0);
    ASSERT_EQ(chart.zero_curve.size(), 721u);
    for (const auto* curve : {&chart.par_curve, &chart.zero_curve})
        for (const chart_point& point : *curve) EXPECT_NEAR(point.y, 5.0, 1e-9) << point.x;
}

TEST(YieldCurveChart, ASlopedSetIsMetAtEveryMaturity) {
    const rate_set sloped = titled_set("sloped", {1.0, 1.5, 2.0, 2.8, 3.3, 4.0, 4.4, 4.8, 5.5});
    const yield_curve_chart chart = make_yield_curve_chart(sloped);
    for (std::size_t j = 0; j < 9; ++j) {
        const double years = rate_maturity_years[j];
        int found = 0;
        for (const chart_point& point : chart.par_curve)
            if (point.x == years) {
                ++found;
                EXPECT_NEAR(point.y, sloped.rates[j], 1e-9) << years;
            }
        EXPECT_EQ(found, 1) << years;
    }
    // The zero-coupon rates of an upward par curve lie above it past two years.
    EXPECT_GT(chart.zero_curve[720].y, chart.par_curve.back().y);
}

TEST(YieldCurveChart, RatesThatBuildNoCurveThrow) {
    const rate_set broken = titled_set("broken", {5, 5, -250, 5, 5, 5, 5, 5, 5});
    EXPECT_THROW(make_yield_curve_chart(broken), text_error);
}

TEST(SubsidyChart, TakesThePercentagesOfTheResultsRecords) {
    credit_program program;
    for (int year : {2001, 2002}) {
        program.cohorts.push_back(std::make_unique<cohort>(&program, year, program_direct_loan));
    }
    cohort_results& first = program.cohorts[0]->results;
    first.financing_percentage = 1.25;
    first.default_percentage = 2.5;
    first.fee_percentage = -0.75;
    first.other_percentage = 0.125;
    first.subsidy_percentage = 3.125;
    first.single_effective_rate = 5.3118;
    // The second cohort's record is as a cohort without disbursements leaves it.
    const std::vector<cohort_subsidy_bar> bars = make_subsidy_chart(program);
    ASSERT_EQ(bars.size(), 2u);
    EXPECT_EQ(bars[0].year, 2001);
    EXPECT_EQ(bars[0].financing, 1.25);
    EXPECT_EQ(bars[0].defaults, 2.5);
    EXPECT_EQ(bars[0].fees, -0.75);
    EXPECT_EQ(bars[0].other, 0.125);
    EXPECT_EQ(bars[0].total, 3.125);
    EXPECT_EQ(bars[0].single_effective_rate, 5.3118);
    EXPECT_EQ(bars[1].total, 0.0);
    EXPECT_FALSE(bars[1].single_effective_rate);
}

}  // namespace
}  // namespace fv
