// Factor tables against closed forms, the short end, the limits of the grid
// and the failures of a build.
#include <gtest/gtest.h>

#include "rates/message_of.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "pv/present_value_factors.h"
#include "pv/discount_batch.h"
#include "util/text_error.h"

namespace {

fv::rate_set flat(double r) {
    fv::rate_set item;
    item.title = "flat";
    item.source = fv::rate_source::own;
    item.rates.fill(r);
    return item;
}

fv::rate_set curve_of(const std::array<double, 9>& rates) {
    fv::rate_set item;
    item.title = "curve";
    item.source = fv::rate_source::actual;
    item.rates = rates;
    return item;
}

TEST(FactorTable, FlatCurveHasAnalyticFactorsEverywhere) {
    for (double r : {0.5, 6.0, 12.0}) {
        const fv::rate_set set = flat(r);
        fv::present_value_factors pv;
        pv.set(&set);
        pv.make();
        ASSERT_TRUE(pv.has_table());
        for (int i = 0; i <= fv::grid_last; ++i)
            ASSERT_NEAR(pv.factor(i), std::pow(1 + r / 200, -i / 12.0), 2e-7 * pv.factor(i) + 1e-12) << r << " at " << i;
        for (int k = 12; k <= 720; k += 12) EXPECT_NEAR(pv.curve().zero_rates[k], r, 1e-5) << k;
        // The short end is exactly flat.
        for (int k = 0; k <= 6; ++k) EXPECT_EQ(pv.curve().zero_rates[k], r) << k;
        EXPECT_NEAR(pv.highest_zero_rate(), r, 1e-5);
        EXPECT_NEAR(pv.lowest_zero_rate(), r, 1e-5);
    }
    // Six percent: 1.03 to the power -2k at every year end.
    const fv::rate_set six = flat(6.0);
    fv::present_value_factors pv;
    pv.set(&six);
    pv.make();
    for (int k = 0; k <= 100; ++k) EXPECT_NEAR(pv.factor(24 * k), std::pow(1.03, -2 * k), 1e-8) << k;
}

TEST(FactorTable, ShortEndRegressionIsFlooredAtOneBasisPoint) {
    const fv::rate_set set = curve_of({0.2, 0.5, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0});
    fv::present_value_factors pv;
    pv.set(&set);
    pv.make();
    const auto& zero = pv.curve().zero_rates;
    EXPECT_LT(0.2 * 1.0078 - 0.57439, 0.01);
    EXPECT_EQ(zero[0], 0.01);
    EXPECT_EQ(zero[1], 0.01);  // 0.2 * 0.96868 - 0.26107 is below the floor too
    EXPECT_DOUBLE_EQ(zero[2], 0.2 * 0.94362 - 0.07258);
    EXPECT_EQ(zero[6], 0.2);
    EXPECT_DOUBLE_EQ(pv.factor(3), std::pow(1 + zero[3] * 0.005, -3 / 12.0));
    EXPECT_EQ(pv.factor(0), 1.0);
    EXPECT_DOUBLE_EQ(pv.factor(12), 1 / (1 + 0.5 * 0.005));
    EXPECT_EQ(pv.lowest_zero_rate(), 0.01);
    EXPECT_EQ(pv.range_of_zero_rates(2400).first, 0);
    EXPECT_GT(pv.range_of_zero_rates(2400).second, 240);
    EXPECT_EQ(pv.range_of_zero_rates(6).second, 6);
}

TEST(FactorTable, OneYearIsTheParBondOfTheFiftyTwoWeekRate) {
    const fv::rate_set set = curve_of({4.0, 4.5, 5.0, 5.5, 6.0, 6.5, 7.0, 7.5, 8.0});
    fv::present_value_factors pv;
    pv.set(&set);
    pv.make();
    // A two-coupon bond at 5 percent prices at par.
    EXPECT_NEAR(2.5 * pv.factor(12) + 102.5 * pv.factor(24), 100.0, 1e-10);
    // Every quoted maturity is priced at par by its own coupon.
    const int knots[] = {48, 72, 120, 168, 240, 720};
    const double coupons[] = {5.5, 6.0, 6.5, 7.0, 7.5, 8.0};
    for (int j = 0; j < 6; ++j) {
        double annuity = 0;
        for (int k = 12; k <= knots[j]; k += 12) annuity += pv.factor(k);
        EXPECT_NEAR(100 * pv.factor(knots[j]) + coupons[j] / 2 * annuity, 100.0, 2e-4) << knots[j];
    }
    // Beyond 30 years the last forward rate holds.
    const double f = pv.curve().forward_rates[720];
    EXPECT_NEAR(pv.factor(2400) / pv.factor(1200), std::pow(1 + f / 200, -100.0), 1e-12);
}

TEST(FactorTable, ZeroRatesBetweenKnotsAreLinearInLogTime) {
    // 26 and 52 weeks fix the knots at 12 and 24 in closed form: zero(12) is
    // the 26-week rate and zero(24) that of the two-coupon par bond.
    const fv::rate_set set = curve_of({3.0, 4.0, 5.0, 5.5, 6.0, 6.5, 7.0, 7.5, 8.0});
    fv::present_value_factors pv;
    pv.set(&set);
    pv.make();
    const double df12 = 1 / 1.02;
    const double x = 102.5 / (100 - 2.5 * df12);
    const double zero24 = (std::sqrt(x) - 1) * 200;
    const auto& zero = pv.curve().zero_rates;
    EXPECT_NEAR(zero[24], zero24, 1e-12);
    for (int i : {13, 18, 23}) {
        const double expected = 4.0 + (zero24 - 4.0) * (std::log(i + 1.0) - std::log(13.0)) / (std::log(25.0) - std::log(13.0));
        EXPECT_NEAR(zero[static_cast<std::size_t>(i)], expected, 1e-12) << i;
        EXPECT_NEAR(pv.factor(i), std::pow(1 + expected / 200, -i / 12.0), 1e-12) << i;
    }
    // Between 13 weeks (index 6, the 13-week rate) and 26 weeks.
    const double expected9 = 3.0 + (4.0 - 3.0) * (std::log(10.0) - std::log(7.0)) / (std::log(13.0) - std::log(7.0));
    EXPECT_NEAR(zero[9], expected9, 1e-12);
}

TEST(FactorTable, SingleEffectiveRateTable) {
    fv::present_value_factors pv;
    pv.set_single_effective_rate(7.0);
    EXPECT_TRUE(pv.uses_single_rate());
    EXPECT_FALSE(pv.source().has_value());
    EXPECT_EQ(pv.title(), "SER from source spreadsheet");
    EXPECT_EQ(pv.highest_zero_rate(), 7.0);
    EXPECT_EQ(pv.lowest_zero_rate(), 7.0);
    EXPECT_DOUBLE_EQ(pv.single_rate_factor(), 1.07);
    pv.make();
    for (int i = 0; i <= fv::grid_last; ++i)
        ASSERT_NEAR(pv.factor(i), std::pow(1.07, -i / 24.0), 1e-12 * pv.factor(i) + 1e-15) << i;
    // Computed directly, the same amounts give the same value.
    const std::vector<double> amounts = {100, -50, 25, 1000};
    const double from_table = pv.discount(2, 1, amounts, -6);
    pv.set_on_the_fly(true);
    pv.make();  // nothing to build on the fly, and the table stays
    EXPECT_EQ(pv.annual_beginning_table()[1], pv.factor(24));
    EXPECT_NEAR(pv.discount(2, 1, amounts, -6), from_table, 1e-9);
    EXPECT_NEAR(pv.discount(2, 1, amounts, -6),
                100 * std::pow(1.07, 0.25) - 50 * std::pow(1.07, -0.25) + 25 * std::pow(1.07, -0.75) +
                    1000 * std::pow(1.07, -1.25),
                1e-9);
}

TEST(Discount, RowsTogetherGiveEachRowsBits) {
    // Rows of unequal lengths, some sharing their start and frequency, some
    // reaching before the start, some worth nothing: groups of eight whose
    // rows go on past the group's shortest, and rows left over.
    std::vector<std::vector<double>> amounts;
    for (int n = 0; n < 83; ++n) {
        std::vector<double> row;
        for (int k = 0; k < (n == 3 ? 0 : 5 + 37 * n % 23); ++k) row.push_back((n + 1) * 10.0 + k * 0.37 - (k % 5));
        amounts.push_back(row);
    }
    std::vector<fv::discount_request> rows;
    for (std::size_t n = 0; n < amounts.size(); ++n) {
        const int start = n % 3 == 0 ? static_cast<int>(n * 13) - 40 : static_cast<int>(n % 5) * 6;
        rows.push_back({n == 7 ? 5 : 1 + static_cast<int>(n % 4), 2, amounts[n], start});
    }
    const fv::discount_batch batch(rows);
    fv::present_value_factors pv;
    std::vector<double> values(rows.size());
    EXPECT_FALSE(pv.discount_all(batch, values));  // no rate, no table yet
    const auto each_row_alone = [&](const std::string& what) {
        ASSERT_TRUE(pv.discount_all(batch, values)) << what;
        for (std::size_t n = 0; n < rows.size(); ++n) {
            const double alone = pv.discount(rows[n].frequency, rows[n].point, amounts[n], rows[n].start);
            EXPECT_EQ(std::memcmp(&values[n], &alone, sizeof alone), 0) << what << " row " << n;
        }
    };
    for (const double rate : {0.5, 6.25, 19.75}) {
        pv.set_single_effective_rate(rate);
        pv.set_on_the_fly(true);
        each_row_alone("on the fly at " + std::to_string(rate));
        pv.set_on_the_fly(false);
        pv.make();
        each_row_alone("on a table at " + std::to_string(rate));
    }
    const fv::rate_set set = curve_of({4.0, 4.5, 5.0, 5.5, 6.0, 6.5, 7.0, 7.5, 8.0});
    pv.set(&set);
    EXPECT_FALSE(pv.discount_all(batch, values));  // the table is built on first use
    pv.make();
    each_row_alone("on the curve");
    // A row discount would refuse leaves the rows to it: one past the grid's
    // end, one without a timing point.
    const std::vector<double> far(3, 1.0);
    rows.push_back({1, 2, far, 2390});
    EXPECT_FALSE(pv.discount_all(fv::discount_batch(rows), values));
    rows.back().start = 0;
    rows[5].point = 0;
    EXPECT_FALSE(pv.discount_all(fv::discount_batch(rows), values));
}

TEST(FactorTable, SettingASingleRateReplacesTheCurvesTable) {
    const fv::rate_set set = flat(5.0);
    fv::present_value_factors pv;
    pv.set(&set);
    const std::vector<double> one = {1.0};
    const double on_curve = pv.discount(1, 1, one, 24);
    EXPECT_NEAR(on_curve, 1 / 1.025 / 1.025, 1e-8);
    pv.set_single_effective_rate(10.0);
    EXPECT_NEAR(pv.discount(1, 1, one, 24), 1 / 1.1, 1e-12);
    pv.set(&set);
    EXPECT_FALSE(pv.uses_single_rate());
    EXPECT_EQ(pv.discount(1, 1, one, 24), on_curve);
}

TEST(Discount, GridLimitsAndCarryingForward) {
    const fv::rate_set set = curve_of({4.0, 4.5, 5.0, 5.5, 6.0, 6.5, 7.0, 7.5, 8.0});
    fv::present_value_factors pv;
    pv.set(&set);
    const std::vector<double> one = {1.0};
    const double last = pv.discount(4, 3, one, 2400);  // builds on first use
    EXPECT_EQ(last, pv.factor(2400));
    EXPECT_EQ(message_of([&] { pv.discount(4, 3, one, 2401); }),
              "Monthly cash flow extend more than 100 years past the start of the cohort");
    EXPECT_EQ(message_of([&] { pv.discount(4, 3, one, -2401); }),
              "Monthly cash flow extend more than 100 years past the start of the cohort");
    const std::vector<double> months(1200, 1.0);
    double expected = 0;
    for (int k = 0; k < 1200; ++k) expected += pv.factor(2 * k);
    EXPECT_DOUBLE_EQ(pv.discount(4, 1, months, 0), expected);
    EXPECT_NO_THROW(pv.discount(1, 1, std::vector<double>(101, 1.0), 0));
    EXPECT_EQ(message_of([&] { pv.discount(1, 1, std::vector<double>(102, 1.0), 0); }),
              "Annual cash flow extend more than 100 years past the start of the cohort");
    EXPECT_EQ(message_of([&] { pv.discount(2, 1, std::vector<double>(202, 1.0), 0); }),
              "Semiannual cash flow extend more than 100 years past the start of the cohort");
    EXPECT_EQ(message_of([&] { pv.discount(3, 1, std::vector<double>(2, 1.0), 2395); }),
              "Quarterly cash flow extend more than 100 years past the start of the cohort");
    // Half a year before the start grows by the 26-week rate.
    EXPECT_DOUBLE_EQ(pv.discount(2, 1, std::vector<double>{100.0}, -12), 100 * (1 + 4.5 / 200));
    // Amounts straddling the start.
    EXPECT_DOUBLE_EQ(pv.discount(3, 2, std::vector<double>{10, 20, 30}, -6),
                     10 / pv.factor(6) + 20 * pv.factor(0) + 30 * pv.factor(6));
}

TEST(Discount, CodesAndEmptyRows) {
    fv::present_value_factors pv;
    EXPECT_EQ(pv.discount(0, 0, {}, 0), 0.0);
    const std::vector<double> one = {1.0};
    EXPECT_EQ(message_of([&] { pv.discount(0, 1, one, 0); }), "cf_pvfact::discount called with unknown frequency");
    EXPECT_EQ(message_of([&] { pv.discount(1, 0, one, 0); }),
              "cf_pvfact::discount called with unknown within-period point");
    EXPECT_EQ(pv.discount(5, 1, one, 0), 0.0);
    EXPECT_EQ(pv.discount(-1, 1, one, 0), 0.0);
    // Nothing to discount with: a clear message rather than a table of zeros.
    fv::present_value_factors single_rate;
    single_rate.set_single_effective_rate(fv::not_available * 100 - 100);  // factor 1e30: not set
    EXPECT_EQ(message_of([&] { single_rate.discount(1, 1, one, 0); }),
              "cf_pvfact::discount called before the single effective rate was set");
    single_rate.set_on_the_fly(true);
    EXPECT_EQ(message_of([&] { single_rate.discount(1, 1, one, 0); }),
              "cf_pvfact::dwork_fast called when single effective rate wasn't set");
}

TEST(Tables, TwelveTablesAtTheirPoints) {
    fv::present_value_factors pv;
    const char* names[] = {"mb", "mm", "me", "qb", "qm", "qe", "sb", "sm", "se", "ab", "am", "ae"};
    for (int id = 0; id < 12; ++id) {
        EXPECT_EQ(message_of([&] { pv.build_table(static_cast<fv::present_value_factors::table_id>(id)); }),
                  std::string("cf_pvfact::make_pv_") + names[id] + " called with a null pvfact pointer");
    }
    EXPECT_EQ(message_of([&] { pv.set(nullptr); }), "cf_pvfact::set called with a null cr_rate_item pointer");
    const fv::rate_set set = curve_of({4.0, 4.5, 5.0, 5.5, 6.0, 6.5, 7.0, 7.5, 8.0});
    pv.set(&set);
    pv.make();
    struct shape {
        const std::vector<double>& table;
        std::size_t entries;
        int step;
        int offset;
    };
    const shape shapes[] = {
        {pv.monthly_beginning_table(), 1200, 2, 0},  {pv.monthly_middle_table(), 1200, 2, 1},  {pv.monthly_end_table(), 1200, 2, 2},
        {pv.quarterly_beginning_table(), 400, 6, 0},   {pv.quarterly_middle_table(), 400, 6, 3},   {pv.quarterly_end_table(), 400, 6, 6},
        {pv.semiannual_beginning_table(), 200, 12, 0},  {pv.semiannual_middle_table(), 200, 12, 6},  {pv.semiannual_end_table(), 200, 12, 12},
        {pv.annual_beginning_table(), 100, 24, 0},  {pv.annual_middle_table(), 100, 24, 12}, {pv.annual_end_table(), 100, 24, 24},
    };
    for (const auto& s : shapes) {
        ASSERT_EQ(s.table.size(), s.entries);
        for (std::size_t k = 0; k < s.entries; k += 7) EXPECT_EQ(s.table[k], pv.factor(s.step * static_cast<int>(k) + s.offset));
        EXPECT_EQ(s.table.back(), pv.factor(s.step * static_cast<int>(s.entries - 1) + s.offset));
    }
    pv.set(&set);  // a new set discards them
    EXPECT_TRUE(pv.table(fv::present_value_factors::ae).empty());
}

TEST(Build, FailuresNameTheirCause) {
    struct failure_case {
        std::array<double, 9> rates;
        std::string message;
    };
    const failure_case cases[] = {
        {{-200, 5, 5, 5, 5, 5, 5, 5, 5}, "3-month rate is below -199.0 percent"},
        {{5, 5, 5, 5, 5, 5, 5, 5, -250}, "30-year rate is below -199.0 percent"},
        // Ten years at 5 percent already price a 20 percent 30-year bond above
        // par: the bracket runs to its upper end (and once overflowed).
        {{5, 5, 5, 5, 5, 5, 5, 5, 20}, "Change between 10-year and 30-year rates is too extreme to derive forward rates"},
        {{5, 5, 5, 150, 5, 5, 5, 5, 5}, "Change between 1-year and 2-year rates is too extreme to derive forward rates"},
        {{5, 5, 5, 5, 5, 5, 5, 95, 5}, "Change between 7-year and 10-year rates is too extreme to derive forward rates"},
        // The bracket's lower end.
        {{5, 5, 5, -199, 5, 5, 5, 5, 5}, "Change between 1-year and 2-year rates is too extreme to derive forward rates"},
        // The 30-year bond can be priced, but its forward rate is so high that
        // the factors underflow before 100 years and their rates overflow.
        {{5, 5, 5, 5, 5, 5, 5, 5, 12.8}, "Change between 10-year and 30-year rates is too extreme to derive forward rates"},
    };
    for (const auto& c : cases) {
        const fv::rate_set set = curve_of(c.rates);
        fv::present_value_factors pv;
        pv.set(&set);
        EXPECT_EQ(message_of([&] { pv.make(); }), c.message);
        EXPECT_FALSE(pv.has_table());
    }
}

TEST(Build, FactorAboveOneNamesTheFirstIndex) {
    const fv::rate_set set = curve_of({1.0, -3.0, -3.0, -3.0, -3.0, -3.0, -3.0, -3.0, -3.0});
    fv::present_value_factors pv;
    pv.set(&set);
    const std::string message = message_of([&] { pv.make(); });
    ASSERT_EQ(message.rfind("class pvfact:  the present value factor in period ", 0), 0u) << message;
    const int index = std::stoi(message.substr(std::string("class pvfact:  the present value factor in period ").size()));
    EXPECT_EQ(message, "class pvfact:  the present value factor in period " + std::to_string(index) +
                           " is greater than 1.0");
    EXPECT_GT(pv.factor(index), 1.0);
    for (int i = 0; i < index; ++i) EXPECT_LE(pv.factor(i), 1.0) << i;
}

}  // namespace
