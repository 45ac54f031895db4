// The neutral-rate solver and the zero-subsidy borrower's rate against flat
// curves, where the neutral rate is the curve's own rate per period: a flat
// semiannual rate r discounts index i by (1 + r/200)^(-i/12).
#include <gtest/gtest.h>

#include "rates/message_of.h"

#include <climits>
#include <cmath>
#include <functional>

#include "pv/present_value_factors.h"
#include "pv/neutral_rate.h"
#include "util/text_error.h"

namespace {

fv::rate_set flat(double r) { return fv::rate_set(fv::rate_source::own, "flat", {r, r, r, r, r, r, r, r, r}); }

const fv::rate_set upward(fv::rate_source::actual, "upward", {4.0, 4.5, 5.0, 5.5, 6.0, 6.5, 7.0, 7.5, 8.0});

fv::present_value_factors built(const fv::rate_set& set) {
    fv::present_value_factors pv;
    pv.set(&set);
    pv.make();
    return pv;
}

// The flat curve's rate per period for frequency codes 1-4.
double per_period(double r, int code) {
    static constexpr double periods_a_year[4] = {1, 2, 4, 12};
    return (std::pow(1.0 + r / 200.0, 2.0 / periods_a_year[code - 1]) - 1.0) * 100.0;
}

TEST(NeutralRate, FlatCurveIsItsOwnNeutralRate) {
    const fv::present_value_factors pv = built(flat(6.0));
    for (int code = 1; code <= 4; ++code) {
        const double c = per_period(6.0, code);
        const int n = code == 4 ? 360 : 10 * code;
        for (bool balloon : {false, true}) {
            EXPECT_NEAR(pv.level_payment_value(n, c, balloon, code), 1000.0, 1e-4) << code << balloon;
            EXPECT_NEAR(pv.solve(n, balloon, code), c, 1e-6) << code << balloon;
        }
    }
    // Above the neutral rate the payments are worth more than the loan.
    EXPECT_GT(pv.level_payment_value(30, 7.0, false, 1), 1000.0);
    EXPECT_LT(pv.level_payment_value(30, 5.0, true, 1), 1000.0);
}

TEST(NeutralRate, LevelLoanOnACurveByHand) {
    const fv::present_value_factors pv = built(upward);
    // Three annual payments at 5 percent, discounted on the table by hand.
    const double payment = 1000.0 * 0.05 / (1.0 - std::pow(1.05, -3));
    const double expected = payment * (pv.factor(24) + pv.factor(48) + pv.factor(72));
    EXPECT_NEAR(pv.level_payment_value(3, 5.0, false, 1), expected, 1e-9);
    // Interest only, then the whole balance.
    EXPECT_NEAR(pv.level_payment_value(4, 2.0, true, 3), 20.0 * (pv.factor(6) + pv.factor(12) + pv.factor(18)) + 1020.0 * pv.factor(24),
                1e-9);
    const double c = pv.solve(120, false, 2);
    EXPECT_NEAR(pv.level_payment_value(120, c, false, 2), 1000.0, 1e-3);
}

TEST(NeutralRate, RateZeroIsTheLimitNotANumberOfZeroOverZero) {
    const fv::present_value_factors pv = built(upward);
    double expected = 0.0;
    for (int k = 1; k <= 5; ++k) expected += 200.0 * pv.factor(24 * k);
    EXPECT_NEAR(pv.level_payment_value(5, 0.0, false, 1), expected, 1e-9);
    EXPECT_NEAR(pv.level_payment_value(5, 0.0, true, 1), 1000.0 * pv.factor(120), 1e-9);
}

TEST(NeutralRate, HighRatesAndLongTermsStayFinite) {
    const fv::present_value_factors pv = built(flat(30.0));
    EXPECT_TRUE(std::isfinite(pv.level_payment_value(1200, 120.0, false, 4)));
    const double c = pv.solve(1200, false, 4);
    EXPECT_NEAR(c, per_period(30.0, 4), 1e-6);
}

TEST(NeutralRate, LimitsAndFailures) {
    fv::present_value_factors none;
    EXPECT_EQ(none.level_payment_value(0, 5.0, false, 1), 0.0);
    EXPECT_EQ(none.solve(0, false, 1), 0.0);
    const std::string no_table = "cf_pvfact::nr_helper\tcalled before PV factors were created";
    EXPECT_EQ(message_of([&] { none.level_payment_value(10, 5.0, false, 1); }), no_table);
    EXPECT_EQ(message_of([&] { none.solve(10, false, 1); }), no_table);

    const fv::present_value_factors pv = built(flat(5.0));
    const std::string beyond = "cf_pvfact::nr_helper\tcalled periods beyond 100 years";
    EXPECT_EQ(message_of([&] { pv.level_payment_value(10, -0.5, false, 1); }),
              "cf_pvfact::nr_helper\tcalled with a negative interest rate");
    for (int code : {0, 5, -1}) {
        EXPECT_EQ(message_of([&] { pv.level_payment_value(10, 5.0, false, code); }),
                  "cf_pvfact::nr_helper\tcalled with unknown frequency");
        EXPECT_EQ(message_of([&] { pv.solve(10, false, code); }), "cf_pvfact::nr_helper\tcalled with unknown frequency");
    }
    struct limit {
        int code;
        int most;
    };
    for (const limit l : {limit{1, 100}, limit{2, 200}, limit{3, 400}, limit{4, 1200}}) {
        EXPECT_NO_THROW(pv.level_payment_value(l.most, 5.0, false, l.code)) << l.code;
        EXPECT_EQ(message_of([&] { pv.level_payment_value(l.most + 1, 5.0, false, l.code); }), beyond) << l.code;
        EXPECT_EQ(message_of([&] { pv.solve(l.most + 1, true, l.code); }), beyond) << l.code;
    }

    const std::string unable = "cf_pvfact::solve was unable to find a suitable neutral rate";
    EXPECT_EQ(message_of([&] { pv.solve(-3, false, 1); }), unable);
    // A table whose highest rate is negative leaves nothing to search.
    fv::present_value_factors negative;
    negative.set_single_effective_rate(-1.0);
    negative.make();
    EXPECT_EQ(message_of([&] { negative.solve(10, false, 1); }), unable);
}

TEST(ZeroSubsidyRate, AnnualisesThePeriodRate) {
    EXPECT_EQ(fv::format_zero_subsidy_rate(fv::annualise_period_rate(1.5, 3)), "6.1364");
    EXPECT_NEAR(fv::annualise_period_rate(3.0, 2), 6.09, 1e-12);
    EXPECT_DOUBLE_EQ(fv::annualise_period_rate(4.0, 1), 4.0);
    EXPECT_NEAR(fv::annualise_period_rate(0.5, 4), (std::pow(1.005, 12) - 1) * 100, 1e-12);
    // On a flat curve of 6 percent every loan's zero-subsidy rate is 6.09.
    for (int frequency = 0; frequency < 4; ++frequency)
        for (int principal : {fv::principal_amortized, fv::principal_balloon})
            EXPECT_EQ(fv::format_zero_subsidy_rate(fv::zero_subsidy_rate(flat(6.0), principal, frequency, 30)), "6.0900");
}

TEST(ZeroSubsidyRate, DialogInputs) {
    struct example {
        const char* text;
        int years;
    };
    for (const example e : {example{"30", 30}, example{"  +12 years", 12}, example{"-5", -5}, example{"", 0},
                            example{"abc", 0}, example{"7.9", 7}, example{"99999999999999999999", INT_MAX},
                            example{"-99999999999999999999", -INT_MAX}}) {
        EXPECT_EQ(fv::read_term_years(e.text), e.years) << e.text;
    }
    EXPECT_EQ(message_of([] { fv::zero_subsidy_rate(upward, 0, -1, 30); }), "Please select a frequency");
    EXPECT_EQ(fv::format_zero_subsidy_rate(fv::zero_subsidy_rate(upward, 0, 1, 0)), "0.0000");
    // 40 years monthly is 480 periods; 101 years annual is beyond the table.
    const double monthly = fv::zero_subsidy_rate(upward, 0, 3, 40);
    EXPECT_GT(monthly, 4.0);
    EXPECT_LT(monthly, 9.0);
    EXPECT_EQ(message_of([] { fv::zero_subsidy_rate(upward, 1, 0, 101); }),
              "cf_pvfact::nr_helper\tcalled periods beyond 100 years");
    EXPECT_EQ(message_of([] { fv::zero_subsidy_rate(upward, 1, 3, INT_MAX); }),
              "cf_pvfact::nr_helper\tcalled periods beyond 100 years");
}

}  // namespace
