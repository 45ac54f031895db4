// The checks and arithmetic behind the own-rate dialogs.
#include <gtest/gtest.h>

#include <cmath>

#include "rates/own_rates.h"
#include "util/decimal_round.h"

namespace {

std::array<double, 9> all(double r) {
    std::array<double, 9> rates;
    rates.fill(r);
    return rates;
}

TEST(OwnCurveEntry, RatesAreCheckedInOrderBeforeTheTitle) {
    struct entry_case {
        std::array<double, 9> rates;
        std::string title;
        std::string message;
    };
    std::array<double, 9> one_zero = all(5);
    one_zero[4] = 0;
    std::array<double, 9> negative_then_large = all(5);
    negative_then_large[2] = -1;
    negative_then_large[3] = 100;
    std::array<double, 9> large = all(5);
    large[8] = 99.5;
    const entry_case cases[] = {
        {all(5), "Sixteen chars ok", ""},
        {one_zero, "", "Interest rates must be non-zero values."},
        {negative_then_large, "t", "Interest rates must be positive values."},
        {large, "t", "Interest rates must be less than 99.0 percent."},
        {all(0.0001), "t", ""},
        {all(99), "t", ""},
        {all(5), "Seventeen chars!!", "Title must be 16 characters or less"},
        {all(5), "", "Title must be at least 1 character long"},
        {all(5), "a \"b\"", "Rate scenario titles cannot contain a double quote (\"), two slashes (//), a line break or another control "
         "character"},
        {all(NAN), "t", "Interest rates must be less than 99.0 percent."},
    };
    for (const auto& c : cases) EXPECT_EQ(fv::check_yield_curve_entry(c.rates, c.title), c.message) << c.title;
}

TEST(FlatRateEntry, ChecksAndConversion) {
    EXPECT_EQ(fv::check_flat_rate_entry(-0.5, ""), "Interest rate must be a positive value.");
    EXPECT_EQ(fv::check_flat_rate_entry(0.00001, "t"), "Interest rate must be a non-zero value.");
    EXPECT_EQ(fv::check_flat_rate_entry(99.01, "t"), "Interest rate must be less than 99.0 percent.");
    EXPECT_EQ(fv::check_flat_rate_entry(5, "Sixteen chars ok"), "");
    EXPECT_EQ(fv::check_flat_rate_entry(5, "Seventeen chars!!"), "Title must be 16 characters or less");
    EXPECT_EQ(fv::check_flat_rate_entry(5, ""), "Title must be at least 1 character long");
    // The dialogs give UTF-8: sixteen characters of more than sixteen bytes.
    EXPECT_EQ(fv::check_flat_rate_entry(5, "Pr\xc3\xa9visions \xc3\xa9t\xc3\xa9 6"), "");
    EXPECT_EQ(fv::check_yield_curve_entry(all(5), "Pr\xc3\xa9visions \xc3\xa9t\xc3\xa9 67"),
              "Title must be 16 characters or less");

    // An effective annual 6.09 is 6.00 bond-equivalent, to two places.
    EXPECT_EQ(fv::round_decimal(fv::to_bond_equivalent(6.09), 2), 6.0);
    EXPECT_DOUBLE_EQ(fv::to_bond_equivalent(6.09), (std::sqrt(1.0609) - 1) * 200);
    // Back again with the alert's formula.
    const double b = fv::to_bond_equivalent(7.5);
    EXPECT_NEAR(((1 + b / 200) * (1 + b / 200) - 1) * 100, 7.5, 1e-12);
    EXPECT_TRUE(fv::flat_kind_converts(fv::flat_similar_maturity));
    EXPECT_TRUE(fv::flat_kind_converts(fv::flat_effective_annual));
    EXPECT_FALSE(fv::flat_kind_converts(fv::flat_bond_equivalent));
    EXPECT_EQ(fv::flat_rate_value(6.09, fv::flat_bond_equivalent), 6.09);
    EXPECT_EQ(fv::flat_rate_value(6.09, fv::flat_effective_annual), fv::to_bond_equivalent(6.09));  // unrounded
}

TEST(OwnCurveInterpolation, RequiredRatesAndTheirChecks) {
    const std::string required = "Interpolation requires, at a minimum, a 13-week rate and a 10 year rate.";
    std::array<double, 9> rates = all(0);
    EXPECT_EQ(fv::interpolate_own_curve(rates).message, required);
    rates[0] = 5;
    EXPECT_EQ(fv::interpolate_own_curve(rates).message, required + "\n\nPlease enter the 10 year rate");
    rates = all(0);
    rates[7] = 5;
    EXPECT_EQ(fv::interpolate_own_curve(rates).message, required + "\n\nPlease enter the 13-week rate");
    const std::pair<std::pair<double, double>, std::string> cases[] = {
        {{-1, 5}, "Interest rates must be positive values.  Please reenter the 13-week rate."},
        {{0.005, 5}, "Interest rates must be at least one basis point.  Please reenter the 13-week rate."},
        {{100, 5}, "Interest rates must be less than 99.0 percent.  Please reenter the 13-week rate."},
        {{5, -1}, "Interest rates must be positive values.  Please reenter the 10-year rate."},
        {{5, 0.009}, "Interest rates must be at least one basis point.  Please reenter the 10-year rate."},
        {{5, 99.5}, "Interest rates must be less than 99.0 percent.  Please reenter the 10-year rate."},
    };
    for (const auto& [pair, message] : cases) {
        rates = all(0);
        rates[0] = pair.first;
        rates[7] = pair.second;
        EXPECT_EQ(fv::interpolate_own_curve(rates).message, message);
    }
}

TEST(OwnCurveInterpolation, FillsAndRoundsToFourPlaces) {
    std::array<double, 9> rates = all(0);
    rates[0] = 0.01;  // exactly one basis point: given
    rates[5] = 0.01;  // one basis point elsewhere counts as missing
    rates[7] = 4.123456;
    const auto result = fv::interpolate_own_curve(rates);
    EXPECT_EQ(result.message, "");
    EXPECT_TRUE(result.filled);
    EXPECT_EQ(result.rates[0], 0.01);
    EXPECT_EQ(result.rates[7], 4.1235);  // entered rates are rounded too
    for (double r : result.rates) EXPECT_NEAR(r * 1e4, std::round(r * 1e4), 1e-6) << r;
    EXPECT_GT(result.rates[5], 0.01);
    EXPECT_LT(result.rates[5], 4.1235);
    EXPECT_GT(result.rates[8], 4.1235);
}

TEST(OwnCurveInterpolation, FlatEntryFillsFlat) {
    std::array<double, 9> rates = all(0);
    rates[0] = rates[7] = 5.5;
    const auto result = fv::interpolate_own_curve(rates);
    EXPECT_EQ(result.message, "");
    for (double r : result.rates) EXPECT_EQ(r, 5.5);
}

TEST(OwnCurveInterpolation, AFilledRateOutOfRangeIsNamed) {
    std::array<double, 9> rates = all(0);
    rates[0] = 15;
    rates[7] = 2;  // falls so fast that the 30-year par yield comes out negative
    const auto result = fv::interpolate_own_curve(rates);
    EXPECT_EQ(result.message,
              "The 30-year rate could not be interpolated, perhaps due\nto severe flucations in the rates "
              "specified.\nPlease enter a 30-year rate and, if you wish, try again");
    rates[8] = 3;  // given: kept, and the rest fills
    EXPECT_EQ(fv::interpolate_own_curve(rates).message, "");
}

TEST(OwnCurveInterpolation, RatesNoCurveFitsNameTheRateToEnter) {
    // A 52-week rate of 500 between 5 percent rates: no forward rate prices
    // the bonds, and the first rate left out is the one to enter.
    std::array<double, 9> rates = all(0);
    rates[0] = 5;
    rates[2] = 500;
    rates[7] = 5;
    EXPECT_EQ(fv::interpolate_own_curve(rates).message,
              "The 26-week rate could not be interpolated, perhaps due\nto severe flucations in the rates "
              "specified.\nPlease enter a 26-week rate and, if you wish, try again");
    // With every rate entered nothing needs filling: they are shown rounded.
    rates = all(0.02);
    rates[7] = 99;
    const auto result = fv::interpolate_own_curve(rates);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(result.rates, rates);
}

}  // namespace
