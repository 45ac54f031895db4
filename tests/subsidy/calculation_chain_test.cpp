// The whole chain without a user interface: workbook, range parser, input editing, factors and
// subsidy, checked against closed forms on a flat rate set.
#include <gtest/gtest.h>

#include <cmath>

#include "cashflow/range_fixture.h"
#include "rates/cr_rate_item.h"
#include "subsidy/cohort_ser.h"
#include "subsidy/cohort_subsidy.h"
#include "subsidy/input_editing.h"

namespace fv {
namespace {

using namespace fv::testing;

constexpr double r = 5.0;
double df(double half_months) { return std::pow(1.0 + r / 200.0, -half_months / 12.0); }

struct flat_factors {
    cr_rate_item flat{source_client, "flat", {r, r, r, r, r, r, r, r, r}};
    cf_pvfact factors;
    flat_factors() {
        factors.set(&flat);
        factors.make();
    }
};

cf_pgm& calculate(load_result& loaded, flat_factors& f) {
    EXPECT_FALSE(loaded.error) << *loaded.error;
    cf_pgm& program = *loaded.program;
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
    const cf_pgm& program = calculate(loaded, f);
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
    const cf_pgm& program = calculate(loaded, f);
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
    const cf_pgm& program = calculate(loaded, f);
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
    cf_pgm& program = *loaded.program;
    edit_input(program);
    cf_cohort& cohort = *program.cohorts.front();

    // On a flat curve the rate is the annual equivalent of the semiannual rate.
    flat_factors flat;
    compute_subsidy(cohort, flat.factors);
    get_ser(cohort, flat.factors, flat.flat, program.messages());
    EXPECT_NEAR(cohort.results.single_effective_rate, (std::pow(1 + r / 200, 2) - 1) * 100, 1e-9);

    // On a sloped curve, discounting everything at the rate found gives the curve's subsidy again.
    const cr_rate_item sloped{source_client, "sloped", {1.0, 1.5, 2.0, 2.8, 3.3, 4.0, 4.4, 4.8, 5.5}};
    cf_pvfact curve;
    curve.set(&sloped);
    curve.make();
    compute_subsidy(cohort, curve);
    const double target = cohort.results.subsidy_percentage;
    get_ser(cohort, curve, sloped, program.messages());
    const double rate = cohort.results.single_effective_rate;
    ASSERT_NE(rate, not_available) << dump_messages(program);
    EXPECT_GT(rate, 1.0);
    EXPECT_LT(rate, 5.7);
    cf_pvfact at_rate;
    at_rate.set_single_effective_rate(rate);
    at_rate.make();
    compute_subsidy(cohort, at_rate);
    EXPECT_NEAR(cohort.results.subsidy_percentage, target, 1e-4);
}

}  // namespace
}  // namespace fv
