// The whole chain without a user interface: workbook, range parser, input editing, factors and
// subsidy, checked against closed forms on a flat rate set.
#include <gtest/gtest.h>

#include <cmath>

#include "cashflow/range_fixture.h"
#include "rates/rate_set.h"
#include "subsidy/cohort_single_effective_rate.h"
#include "subsidy/cohort_subsidy.h"
#include "subsidy/input_editing.h"
#include "util/text_error.h"

namespace fv {
namespace {

using namespace fv::testing;

constexpr double r = 5.0;
double df(double half_months) { return std::pow(1.0 + r / 200.0, -half_months / 12.0); }

struct flat_factors {
    rate_set flat{rate_source::own, "flat", {r, r, r, r, r, r, r, r, r}};
    present_value_factors factors;
    flat_factors() {
        factors.set(&flat);
        factors.make();
    }
};

credit_program& calculate(load_result& loaded, flat_factors& f) {
    EXPECT_FALSE(loaded.error) << *loaded.error;
    credit_program& program = *loaded.program;
    edit_input(program);
    for (auto& cohort : program.cohorts) compute_subsidy(*cohort, f.factors);
    return program;
}

TEST(CalculationChain, SingleDisbursementUnderSimpleTiming) {
    load_result loaded = load_rows(header() + std::vector<row>{
                                                  {"Timing", "simple"},
                                                  {"Obligations"},
                                                  {"Disbursements", 100},
                                                  {"Principal pmts, scheduled", 60, 40},
                                              });
    flat_factors f;
    const credit_program& program = calculate(loaded, f);
    const cohort_results& res = program.cohorts.front()->results;
    // Principal is an inflow: the end of each year, one and two years after the disbursement.
    EXPECT_NEAR(res.financing_amount, 100 - 60 * df(24) - 40 * df(48), 1e-6) << dump_messages(program);
    EXPECT_NEAR(res.subsidy_percentage, 100 - 60 * df(24) - 40 * df(48), 1e-6);
}

TEST(CalculationChain, ContinuousTimingPutsEveryAmountMidYear) {
    load_result loaded = load_rows(header() + std::vector<row>{
                                                  {"Obligations"},
                                                  {"Disbursements", 100},
                                                  {"Principal pmts, scheduled", 60, 40},
                                              });
    flat_factors f;
    const credit_program& program = calculate(loaded, f);
    // The first payment falls with the disbursement, the second a year later.
    EXPECT_NEAR(program.cohorts.front()->results.financing_amount, 100 - 60 - 40 * df(24), 1e-6);
}

TEST(CalculationChain, TwoDisbursementPeriodsDiscountEachPartFromItsOwnPeriod) {
    load_result loaded = load_rows(header() + std::vector<row>{
                                                  {"Timing", "simple"},
                                                  {"Obligations"},
                                                  {"Disbursements", 60, 40},
                                                  {"Principal pmts, scheduled", 50, 30, 20},
                                              });
    flat_factors f;
    const credit_program& program = calculate(loaded, f);
    const cohort_results& res = program.cohorts.front()->results;
    // Construction rule: 50, 18, 12 for period 1 and 12, 8 for period 2 (from its own start).
    const double pv = 50 * df(24) + 18 * df(48) + 12 * df(72) + 12 * df(24) + 8 * df(48);
    EXPECT_NEAR(res.financing_amount, 100 - pv, 1e-6) << dump_messages(program);
    EXPECT_EQ(program.cohorts.front()->rows.back()->distribution_method, 3);
}

TEST(CalculationChain, SingleEffectiveRateReproducesTheCurveSubsidy) {
    load_result loaded = load_rows(header() + std::vector<row>{
                                                  {"Timing", "simple"},
                                                  {"Obligations"},
                                                  {"Disbursements", 60, 40},
                                                  {"Principal pmts, scheduled", 10, 20, 30, 25, 15},
                                                  {"Interest pmts, scheduled", 4, 4, 3, 2, 1},
                                              });
    ASSERT_FALSE(loaded.error) << *loaded.error;
    credit_program& program = *loaded.program;
    edit_input(program);
    cohort& cohort = *program.cohorts.front();

    // On a flat curve the rate is the annual equivalent of the semiannual rate.
    flat_factors flat;
    compute_subsidy(cohort, flat.factors);
    compute_single_effective_rate(cohort, flat.factors, flat.flat, program.messages());
    EXPECT_NEAR(cohort.results.single_effective_rate, (std::pow(1 + r / 200, 2) - 1) * 100, 1e-9);

    // On a sloped curve, discounting everything at the rate found gives the curve's subsidy again.
    const rate_set sloped{rate_source::own, "sloped", {1.0, 1.5, 2.0, 2.8, 3.3, 4.0, 4.4, 4.8, 5.5}};
    present_value_factors curve;
    curve.set(&sloped);
    curve.make();
    compute_subsidy(cohort, curve);
    const double target = cohort.results.subsidy_percentage;
    compute_single_effective_rate(cohort, curve, sloped, program.messages());
    const double rate = cohort.results.single_effective_rate;
    ASSERT_NE(rate, not_available) << dump_messages(program);
    EXPECT_GT(rate, 1.0);
    EXPECT_LT(rate, 5.7);
    present_value_factors at_rate;
    at_rate.set_single_effective_rate(rate);
    at_rate.make();
    compute_subsidy(cohort, at_rate);
    EXPECT_NEAR(cohort.results.subsidy_percentage, target, 1e-4);
}

TEST(CalculationChain, LevelPaymentLoansOverSeveralCohortsMatchTheirClosedForms) {
    struct loan_case {
        const char* frequency;
        int periods_a_year;
        const char* point;
        int point_offset;   // half-months from the start of a period to the point
        double loan_rate;   // percent a year; 0 means the discount rate's equivalent
    };
    const loan_case cases[] = {
        {"annual", 1, "beginning", 0, 0},   {"annual", 1, "middle", 12, 0},   {"annual", 1, "end", 24, 0},
        {"quarterly", 4, "beginning", 0, 0}, {"quarterly", 4, "middle", 3, 0}, {"quarterly", 4, "end", 6, 0},
        {"annual", 1, "end", 24, 8.0},       {"quarterly", 4, "middle", 3, 8.0}, {"quarterly", 4, "end", 6, 2.5},
    };
    const int periods = 8;
    std::vector<row> rows = header() + std::vector<row>{{"Timing", "simple"}};
    std::vector<double> expected_financing;
    for (const loan_case& c : cases) {
        // The period rate: the loan's own, or the one that matches the semiannual discount rate exactly.
        const double j = c.loan_rate > 0 ? c.loan_rate / 100 / c.periods_a_year
                                         : std::pow(1 + r / 200, 2.0 / c.periods_a_year) - 1;
        const double payment = 100 * j / (1 - std::pow(1 + j, -periods));
        row principal{std::string("Principal pmts, scheduled [") + c.frequency + ", " + c.point + "]"};
        row interest{std::string("Interest pmts, scheduled [") + c.frequency + ", " + c.point + "]"};
        double balance = 100, pv = 0;
        const int step = 24 / c.periods_a_year;
        for (int k = 0; k < periods; ++k) {
            const double paid_interest = balance * j;
            principal.push_back(payment - paid_interest);
            interest.push_back(paid_interest);
            balance -= payment - paid_interest;
            pv += payment * df(c.point_offset + step * k);
        }
        expected_financing.push_back(100 - pv);
        rows.push_back({"Obligations"});
        rows.push_back({"Disbursements", 100});
        rows.push_back(principal);
        rows.push_back(interest);
    }
    load_result loaded = load_rows(rows);
    flat_factors f;
    const credit_program& program = calculate(loaded, f);
    ASSERT_EQ(program.cohorts.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const cohort_results& res = program.cohorts[i]->results;
        EXPECT_NEAR(res.financing_amount, expected_financing[i], 1e-6) << "case " << i;
        EXPECT_NEAR(res.subsidy_percentage, expected_financing[i], 1e-6) << "case " << i;
    }
    // Repaid at the discount rate, at the end of each period: no subsidy at all.
    EXPECT_NEAR(expected_financing[2], 0.0, 1e-9);
    EXPECT_NEAR(expected_financing[5], 0.0, 1e-9);
}

// Amounts near the largest double add up to infinity. Such a cohort is a
// failed calculation naming the cohort, and the row when one row is to blame;
// its results record then says "not computed" instead of holding infinities.
TEST(CalculationChain, FiguresThatAreNotFiniteFailTheCohort) {
    const struct {
        const char* what;
        std::vector<row> rows;
        const char* message;
    } cases[] = {
        {"a row's sum",
         {{"Disbursements", 1e308, 1e308}, {"Principal pmts, scheduled", 100, 100}},
         "Cohort 2000 cannot be calculated: the value of the row \"Disbursements\" (cell A:A6) is not a finite "
         "number."},
        {"a discounted row",
         {{"Disbursements", 100}, {"Defaults", -1e308, -1e308, -1e308}},
         "Cohort 2000 cannot be calculated: the value of the row \"Defaults\" (cell A:A7) is not a finite number."},
        {"the percentages",
         {{"Disbursements", 1e307, 1e307, 1e307}, {"Principal pmts, scheduled", 1e307, 1e307, 1e307, 1e307}},
         "Cohort 2000 cannot be calculated: its subsidy is not a finite number."},
    };
    for (const auto& c : cases) {
        // Three header rows, then Timing and Obligations: the cash-flow rows start at row 6.
        std::vector<row> rows = header() + std::vector<row>{{"Timing", "simple"}, {"Obligations"}};
        rows.insert(rows.end(), c.rows.begin(), c.rows.end());
        load_result loaded = load_rows(rows);
        ASSERT_FALSE(loaded.error) << *loaded.error;
        edit_input(*loaded.program);
        // The warnings of the input editing never print a number that is not one.
        for (const auto& message : loaded.program->messages().list())
            EXPECT_EQ(message.text.find("inf"), std::string::npos) << message.text;
        flat_factors f;
        cohort& cohort = *loaded.program->cohorts.front();
        try {
            compute_subsidy(cohort, f.factors);
            ADD_FAILURE() << c.what << ": no failure";
        } catch (const text_error& failure) {
            EXPECT_EQ(failure.text().substr(0, failure.text().find('\n')), c.message) << c.what;
        }
        EXPECT_FALSE(cohort.results.subsidy_computed) << c.what;
        EXPECT_EQ(cohort.results.subsidy_percentage, not_available) << c.what;
    }
}

}  // namespace
}  // namespace fv
