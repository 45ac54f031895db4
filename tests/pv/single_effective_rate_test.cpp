// The single effective rate against closed forms: flat rates discount an
// amount at grid index t by (1 + r/100)^(-t/24), so a bullet repayment has
// an exact rate and any found rate can be checked by recomputing the subsidy
// with std::pow. Also the root search, its bounds and its messages.
#include <gtest/gtest.h>

#include "rates/message_of.h"

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "pv/single_effective_rate.h"
#include "util/text_error.h"

namespace {

using fv::single_rate_row;

fv::rate_set rate_set(const std::array<double, 9>& rates) {
    return fv::rate_set(fv::rate_source::actual, "test curve", rates);
}

const std::array<double, 9> upward = {4.0, 4.5, 5.0, 5.5, 6.0, 6.5, 7.0, 7.5, 8.0};

// A direct loan of 1000 disbursed at the start (not discounted) and repaid by
// the rows; its subsidy percentage is 100 (1000 - PV of repayments) / 1000.
struct loan {
    std::vector<single_rate_row> rows;

    double subsidy(fv::present_value_factors& pv) const {
        double paid = 0.0;
        for (const single_rate_row& row : rows) paid += pv.discount(row.frequency, 3, row.amounts, row.start);
        return 100.0 * (1000.0 - paid) / 1000.0;
    }
    // The same at an annual effective rate, by hand.
    double subsidy_at(double rate) const {
        static constexpr int steps[4] = {24, 12, 6, 2};
        double paid = 0.0;
        for (const single_rate_row& row : rows)
            for (std::size_t k = 0; k < row.amounts.size(); ++k)
                paid += row.amounts[k] *
                        std::pow(1.0 + rate / 100.0, -(row.start + static_cast<double>(k) * steps[row.frequency - 1]) / 24.0);
        return 100.0 * (1000.0 - paid) / 1000.0;
    }
    fv::subsidy_evaluator evaluator() const {
        return [this](fv::present_value_factors& pv) { return subsidy(pv); };
    }
    // The cohort record after a calculation on the curve.
    fv::single_rate_cohort on_curve(const fv::rate_set& set, int year = 2024) const {
        fv::present_value_factors pv;
        pv.set(&set);
        pv.make();
        fv::single_rate_cohort cohort;
        cohort.year = year;
        cohort.subsidy_percentage = subsidy(pv);
        cohort.highest_zero_rate = pv.highest_zero_rate();
        cohort.rows = rows;
        return cohort;
    }
};

loan bullet(double amount, int years) { return loan{{{1, 24 * years, {amount}}}}; }

loan level(double annual_rate, int years) {
    const double i = annual_rate / 100.0;
    const double payment = 1000.0 * i / (1.0 - std::pow(1.0 + i, -years));
    return loan{{{1, 24, std::vector<double>(static_cast<std::size_t>(years), payment)}}};
}

// The zero rate at grid index t as an annual effective rate.
double zero_rate_at(const fv::rate_set& set, int t) {
    fv::present_value_factors pv;
    pv.set(&set);
    pv.make();
    return fv::annual_effective(pv.curve().zero_rates[static_cast<std::size_t>(t)]);
}

TEST(Maturity, WeightedByAmountSizeAndLatestIndex) {
    struct example {
        std::vector<single_rate_row> rows;
        double average;
        double maximum;
    };
    const example examples[] = {
        {{}, 0.0, 0.0},
        {{{1, 24, {0.0, 0.0, 0.0}}}, 0.0, 3.0},                            // zero amounts still reach year 3
        {{{1, 24, {100.0}}, {4, 0, {-100.0, 0.0, 0.0}}}, 0.5, 1.0},        // signs do not cancel
        {{{2, 12, {10.0, 30.0}}}, (12 * 10.0 + 24 * 30.0) / (24 * 40.0), 1.0},
        {{{3, -6, {5.0, 5.0}}, {1, 0, {}}}, -30.0 / 240.0, 0.0},             // before and at the start
    };
    for (const example& e : examples) {
        EXPECT_DOUBLE_EQ(fv::average_maturity(e.rows), e.average);
        EXPECT_DOUBLE_EQ(fv::maximum_maturity(e.rows), e.maximum);
    }
}

TEST(SingleEffectiveRate, FlatRateSetNeedsNoSearch) {
    fv::present_value_factors pv;
    fv::single_rate_cohort cohort = level(7.0, 10).on_curve(rate_set(upward));
    auto never = [](fv::present_value_factors&) -> double {
        ADD_FAILURE() << "evaluated";
        return 0.0;
    };
    const fv::rate_set six = fv::rate_set(fv::rate_source::own, "flat", {6, 6, 6, 6, 6, 6, 6, 6, 6});
    const fv::single_rate_outcome flat = fv::compute_single_effective_rate(cohort, pv, six, never);
    EXPECT_NEAR(flat.rate, 6.09, 1e-12);
    EXPECT_TRUE(flat.messages.empty());
    // Not asked to compute: the stored rate stays.
    cohort.compute = false;
    cohort.single_effective_rate = 4.25;
    EXPECT_EQ(fv::compute_single_effective_rate(cohort, pv, rate_set(upward), never).rate, 4.25);
}

TEST(SingleEffectiveRate, FourEqualQuotesAreNotAFlatCurve) {
    // 13-week, 5-, 10- and 30-year rates equal, the others not.
    const fv::rate_set set = rate_set({6.0, 5.0, 5.0, 5.5, 5.8, 6.0, 6.3, 6.0, 6.0});
    const loan l = bullet(1800.0, 10);
    fv::present_value_factors pv;
    const fv::single_rate_outcome out = fv::compute_single_effective_rate(l.on_curve(set), pv, set, l.evaluator());
    EXPECT_GT(out.evaluations, 0);
    EXPECT_NEAR(out.rate, zero_rate_at(set, 240), 1e-6);
    EXPECT_GT(std::fabs(out.rate - 6.09), 0.01);
}

TEST(SingleEffectiveRate, MatchesTheClosedFormOnACurve) {
    const fv::rate_set set = rate_set(upward);
    // A bullet repayment at year T: the rate is the curve's zero rate at T.
    for (int years : {3, 10, 25}) {
        const loan l = bullet(1500.0, years);
        fv::present_value_factors pv;
        const fv::single_rate_outcome out = fv::compute_single_effective_rate(l.on_curve(set), pv, set, l.evaluator());
        EXPECT_NEAR(out.rate, zero_rate_at(set, 24 * years), 1e-6) << years;
        EXPECT_TRUE(out.messages.empty());
        EXPECT_LE(out.evaluations, 200);
    }
    // Level loans, annual and monthly, at and away from market rates: the
    // subsidy recomputed by hand at the found rate is the curve's subsidy.
    std::vector<loan> loans = {level(3.0, 10), level(7.0, 30), level(12.0, 5)};
    loans.push_back(loan{{{4, 2, std::vector<double>(240, 10.5)}}});
    loans.push_back(loan{{{3, 3, std::vector<double>(80, 20.0)}, {1, 48, {300.0, 0.0, 150.0}}}});
    for (const loan& l : loans) {
        fv::present_value_factors pv;
        const fv::single_rate_cohort cohort = l.on_curve(set);
        const fv::single_rate_outcome out = fv::compute_single_effective_rate(cohort, pv, set, l.evaluator());
        EXPECT_NEAR(l.subsidy_at(out.rate), cohort.subsidy_percentage, 1e-6);
        EXPECT_GT(out.rate, 3.0);
        EXPECT_LT(out.rate, 8.5);
        EXPECT_TRUE(out.messages.empty());
        EXPECT_LE(out.evaluations, 200);
    }
}

TEST(SingleEffectiveRate, SameRateAloneOrAfterAnotherCohort) {
    const fv::rate_set set = rate_set(upward);
    const loan first = level(7.0, 30);
    const loan second = bullet(1500.0, 10);
    fv::present_value_factors alone;
    const double rate_alone = fv::compute_single_effective_rate(second.on_curve(set), alone, set, second.evaluator()).rate;
    fv::present_value_factors shared;
    fv::compute_single_effective_rate(first.on_curve(set), shared, set, first.evaluator());
    EXPECT_TRUE(shared.uses_single_rate());  // left working from a single rate
    EXPECT_EQ(fv::compute_single_effective_rate(second.on_curve(set), shared, set, second.evaluator()).rate, rate_alone);
}

TEST(SingleEffectiveRate, ZeroFlowsGiveTheMaturityMessages) {
    const fv::rate_set set = rate_set(upward);
    const std::vector<fv::single_rate_message> expected = {
        {57, "Single effective rate was not calculated because the average maturity"},
        {57, "   of the cash flow observations is zero or negative."}};
    const loan cases[] = {loan{{{1, 24, {0.0, 0.0}}, {4, 0, {0.0}}}}, loan{}, loan{{{1, 0, {500.0}}}},
                          loan{{{1, -24, {500.0}}}}};
    for (const loan& l : cases) {
        fv::present_value_factors pv;
        fv::single_rate_cohort cohort = l.on_curve(set);
        const fv::single_rate_outcome out = fv::compute_single_effective_rate(cohort, pv, set, l.evaluator());
        EXPECT_EQ(out.rate, 0.0);
        EXPECT_EQ(out.messages, expected);
        EXPECT_EQ(out.evaluations, 0);
    }
}

TEST(SingleEffectiveRate, InsensitiveCohortGetsTheRateAtItsAverageMaturity) {
    const fv::rate_set set = rate_set(upward);
    fv::single_rate_cohort cohort;
    cohort.subsidy_percentage = 2.5;
    cohort.highest_zero_rate = 8.0;
    cohort.rows = {{1, 60, {100.0}}};  // 2.5 years: halfway between the 2- and 3-year quotes
    fv::present_value_factors pv;
    const fv::single_rate_outcome out =
        fv::compute_single_effective_rate(cohort, pv, set, [](fv::present_value_factors&) { return 2.5 + 0.001; });
    EXPECT_DOUBLE_EQ(out.rate, (1.02875 * 1.02875 - 1) * 100);
    EXPECT_TRUE(out.messages.empty());
    EXPECT_EQ(out.evaluations, 5);
}

TEST(SingleEffectiveRate, UnreachableTargetGivesTheMiddleRateAndNearestMessages) {
    const fv::rate_set set = rate_set(upward);
    const loan l = bullet(2000.0, 10);
    fv::single_rate_cohort cohort = l.on_curve(set, 2031);
    cohort.subsidy_percentage = -150.0;  // would need a negative rate
    fv::present_value_factors pv;
    const fv::single_rate_outcome out = fv::compute_single_effective_rate(cohort, pv, set, l.evaluator());
    const double middle = fv::annual_effective(7.5);  // the 10-year quote
    EXPECT_DOUBLE_EQ(out.rate, middle);
    const double nearest = l.subsidy_at(middle);
    ASSERT_EQ(out.messages.size(), 4u);
    EXPECT_EQ(out.messages, fv::nearest_rate_messages(2031, -150.0, nearest));
    EXPECT_EQ(out.messages[0].text,
              "For the FY 2031 cohort, an exact single effective rate could not be computed.  Nearest used");
    EXPECT_EQ(out.messages[1].text, "     Target subsidy was.... -150.000 percent");
    char line[100];
    std::snprintf(line, sizeof line, "     Difference is......... %7.3lf percent", -150.0 - nearest);
    EXPECT_EQ(out.messages[3].text, line);
}

TEST(SingleEffectiveRate, RootsOutsideTheBoundsTakeTheBound) {
    const fv::rate_set set = rate_set(upward);
    const loan l = bullet(2000.0, 10);
    fv::present_value_factors curve;
    curve.set(&set);
    curve.make();
    const auto [low_index, high_index] = curve.range_of_zero_rates(240);
    const double low = fv::annual_effective(curve.curve().zero_rates[static_cast<std::size_t>(low_index)]);
    const double high = fv::annual_effective(curve.curve().zero_rates[static_cast<std::size_t>(high_index)]);
    // The subsidy rises with the rate: a target above the subsidy at H has its
    // root above H. Above H a miss of 0.003 is reported, below L it is not.
    struct example {
        double offset_at_high;
        double offset_at_low;
        bool reported;
    };
    for (const example e : {example{0.003, 0.0, true}, example{0.0008, 0.0, false}, example{0.0, -0.003, false},
                            example{0.0, -0.007, true}}) {
        fv::single_rate_cohort cohort = l.on_curve(set);
        const bool above = e.offset_at_high != 0.0;
        cohort.subsidy_percentage = above ? l.subsidy_at(high) + e.offset_at_high : l.subsidy_at(low) + e.offset_at_low;
        fv::present_value_factors pv;
        const fv::single_rate_outcome out = fv::compute_single_effective_rate(cohort, pv, set, l.evaluator());
        EXPECT_NEAR(out.rate, above ? high : low, 1e-12);
        EXPECT_EQ(out.messages.size(), e.reported ? 4u : 0u) << e.offset_at_high << " " << e.offset_at_low;
        if (e.reported) {
            EXPECT_EQ(out.messages, fv::nearest_rate_messages(2024, cohort.subsidy_percentage,
                                                              l.subsidy_at(above ? high : low)));
        }
    }
}

TEST(SingleEffectiveRate, NeedsASubsidyFromTheCurveFirst) {
    const fv::rate_set set = rate_set(upward);
    const loan l = level(7.0, 10);
    fv::single_rate_cohort cohort = l.on_curve(set);
    cohort.highest_zero_rate = fv::not_available;
    fv::present_value_factors pv;
    EXPECT_EQ(message_of([&] { fv::compute_single_effective_rate(cohort, pv, set, l.evaluator()); }),
              "cf_cohort::get_ser called before a subsidy was calculated");
}

// A subsidy of (r - 5)^2 at rate r: two roots for a target of 4.
double parabola(fv::present_value_factors& pv) {
    const double r = (pv.single_rate_factor() - 1.0) * 100.0;
    return (r - 5.0) * (r - 5.0);
}

TEST(RootSearch, BisectFindsKnownRoots) {
    fv::single_rate_search rising([](fv::present_value_factors& pv) { return (pv.single_rate_factor() - 1.0) * 100.0; });
    EXPECT_NEAR(rising.bisect(0.01, 20.0, 7.3), 7.3, 1e-12);
    EXPECT_LT(rising.evaluations(), 70);
    fv::single_rate_search falling([](fv::present_value_factors& pv) { return 1.0 / pv.single_rate_factor(); });
    EXPECT_NEAR(falling.bisect(0.01, 20.0, 1.0 / 1.125), 12.5, 1e-12);
    EXPECT_EQ(falling.bisect(3.0, 3.0, 0.5), 3.0);
    fv::single_rate_search constant([](fv::present_value_factors&) { return 1.0; });
    EXPECT_EQ(constant.bisect(2.0, 4.0, 7.0), 3.0);
    EXPECT_EQ(constant.evaluations(), 2);
}

TEST(RootSearch, SplitsWhereTheSubsidyTurnsAndListsUpperRootsFirst) {
    fv::single_rate_search search(parabola);
    const std::vector<double> roots = search.find_roots(0.01, 20.0, 4.0);
    ASSERT_EQ(roots.size(), 2u);
    EXPECT_NEAR(roots[0], 7.0, 1e-9);
    EXPECT_NEAR(roots[1], 3.0, 1e-9);
    EXPECT_TRUE(search.find_roots(0.01, 20.0, -1.0).empty());
    // Samples of a monotone stretch (rates 8 to 12) are the differences of
    // consecutive values: 16 - 9, 25 - 16, 36 - 25, 49 - 36.
    search.find_roots(8.0, 12.0, 50.0);
    EXPECT_EQ(search.samples()[0], 0.0);
    for (int i = 1; i < 5; ++i) EXPECT_NEAR(search.samples()[static_cast<std::size_t>(i)], 5.0 + 2 * i, 1e-9) << i;
    // A flat stretch clears them.
    fv::single_rate_search flat([](fv::present_value_factors&) { return 3.0; });
    EXPECT_EQ(flat.find_roots(0.01, 20.0, 3.0).size(), 1u);
    EXPECT_EQ(flat.samples(), (std::array<double, 5>{}));
    EXPECT_TRUE(flat.find_roots(0.01, 20.0, 3.5).empty());
}

TEST(RootSearch, ComputeSingleEffectiveRateTakesTheRootNearestTheMiddleRate) {
    const fv::rate_set set = rate_set(upward);
    fv::single_rate_cohort cohort;
    cohort.subsidy_percentage = 4.0;
    cohort.highest_zero_rate = 8.0;
    cohort.rows = {{1, 240, {100.0}}};  // 10 years: the middle rate is about 7.64
    fv::present_value_factors pv;
    const fv::single_rate_outcome out = fv::compute_single_effective_rate(cohort, pv, set, parabola);
    EXPECT_NEAR(out.rate, 7.0, 1e-9);
    EXPECT_TRUE(out.messages.empty());
}

TEST(RootSearch, ASubsidyThatIsNotANumberEndsTheSearch) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    fv::single_rate_search half([nan](fv::present_value_factors& pv) { return pv.single_rate_factor() > 1.1 ? nan : pv.single_rate_factor(); });
    const double x = half.bisect(0.01, 20.0, 1.15);
    EXPECT_GE(x, 0.01);
    EXPECT_LE(x, 20.0);
    EXPECT_LT(half.evaluations(), 10);
    fv::single_rate_search odd(parabola);
    EXPECT_TRUE(odd.find_roots(nan, 20.0, 4.0).empty());
    EXPECT_TRUE(odd.find_roots(-std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(), 4.0)
                    .size() <= 2);

    const fv::rate_set set = rate_set(upward);
    fv::single_rate_cohort cohort = level(7.0, 10).on_curve(set);
    fv::present_value_factors pv;
    const fv::single_rate_outcome out = fv::compute_single_effective_rate(cohort, pv, set, [nan](fv::present_value_factors&) { return nan; });
    EXPECT_TRUE(std::isfinite(out.rate));
    EXPECT_EQ(out.messages.size(), 4u);  // not passed off as an exact rate
    EXPECT_LT(out.evaluations, 20);
}

TEST(DirectDiscounting, RunningProductKeepsTheSearchesAccuracy) {
    const std::vector<double> amounts(1200, 125.0);
    for (double rate : {0.01, 5.0, 20.0}) {
        for (int start : {-24, 0, 7}) {
            fv::present_value_factors pv;
            pv.set_on_the_fly(true);
            pv.set_single_effective_rate(rate);
            double expected = 0.0;
            for (int k = 0; k < 1200; ++k) expected += 125.0 * std::pow(1.0 + rate / 100.0, -(start + 2.0 * k) / 24.0);
            const double direct = pv.discount_at_single_rate(4, 1, amounts, start);
            EXPECT_NEAR(direct, expected, 1e-12 * expected) << rate << " " << start;
            EXPECT_EQ(pv.discount(4, 1, amounts, start), direct);
            EXPECT_FALSE(pv.has_table());
        }
    }
}

TEST(DirectDiscounting, RefusesWithoutItsSettingsInOrder) {
    const std::vector<double> one = {1.0};
    fv::present_value_factors pv;
    EXPECT_EQ(message_of([&] { pv.discount_at_single_rate(1, 1, one, 0); }), "cf_pvfact::dwork_fast called when use_ser wasn't set");
    pv.set_single_effective_rate(fv::not_available * 100 - 100);
    EXPECT_EQ(message_of([&] { pv.discount_at_single_rate(1, 1, one, 0); }),
              "cf_pvfact::dwork_fast called when on_the_fly wasn't set");
    pv.set_on_the_fly(true);
    EXPECT_EQ(message_of([&] { pv.discount_at_single_rate(1, 1, one, 0); }),
              "cf_pvfact::dwork_fast called when single effective rate wasn't set");
    pv.set_single_effective_rate(10.0);
    EXPECT_DOUBLE_EQ(pv.discount_at_single_rate(1, 3, std::vector<double>{110.0, 121.0}, 24), 200.0);
    EXPECT_EQ(pv.discount_at_single_rate(1, 3, {}, 24), 0.0);
}

}  // namespace
