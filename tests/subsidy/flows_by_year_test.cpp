// A cohort's flows by fiscal year and kind, summed from the engine's
// derivation record: checked against amounts and discount factors worked out
// by hand on a flat 5 percent curve.
#include <gtest/gtest.h>

#include <cmath>

#include "cashflow/range_fixture.h"
#include "rates/rate_set.h"
#include "subsidy/cohort_subsidy.h"
#include "subsidy/flows_by_year.h"
#include "subsidy/input_editing.h"

namespace fv {
namespace {

using namespace fv::testing;

double df(double half_months) { return std::pow(1.025, -half_months / 12.0); }

TEST(FlowsByYear, SumsEachKindByFiscalYearWithItsPresentValue) {
    load_result loaded = load_rows(header() + std::vector<row>{
                                                  {"Timing", "simple"},
                                                  {"Obligations"},
                                                  {"Disbursements", 60, 40},
                                                  {"Principal pmts, scheduled", 50, 30, 20},
                                                  {"Interest pmts, scheduled", 6, 3},
                                              });
    ASSERT_FALSE(loaded.error) << *loaded.error;
    credit_program& program = *loaded.program;
    edit_input(program);
    rate_set flat;
    flat.rates = {5, 5, 5, 5, 5, 5, 5, 5, 5};
    present_value_factors factors;
    factors.set(&flat);
    factors.make();
    cohort& cohort = *program.cohorts.front();
    const cohort_flows flows = flows_by_year(cohort, compute_subsidy_derived(cohort, factors));

    ASSERT_EQ(flows.years.size(), 3u) << dump_messages(program);
    EXPECT_EQ(flows.year, cohort.year);
    const std::size_t disbursed = kind_index(cash_flow_kind::disbursements);
    const std::size_t repaid = kind_index(cash_flow_kind::repayments);
    const std::size_t interest = kind_index(cash_flow_kind::interest);
    // Each disbursement period's share of the principal is discounted from
    // that period's start (50, 18, 12 and 12, 8), yet stays in its own year.
    struct expected_year {
        double disbursed, repaid, repaid_pv, interest;
    };
    const expected_year expected[] = {
        {60, 50, 50 * df(24), 6},
        {40, 30, 18 * df(48) + 12 * df(24), 3},
        {0, 20, 12 * df(72) + 8 * df(48), 0},
    };
    for (std::size_t k = 0; k < 3; ++k) {
        const year_flows& year = flows.years[k];
        EXPECT_EQ(year.year, cohort.year + static_cast<int>(k));
        EXPECT_DOUBLE_EQ(year.amounts[disbursed], expected[k].disbursed) << k;
        EXPECT_DOUBLE_EQ(year.present_values[disbursed], expected[k].disbursed) << k;
        EXPECT_NEAR(year.amounts[repaid], expected[k].repaid, 1e-9) << k;
        EXPECT_NEAR(year.present_values[repaid], expected[k].repaid_pv, 1e-9) << k;
        EXPECT_NEAR(year.amounts[interest], expected[k].interest, 1e-9) << k;
        for (cash_flow_kind other : {cash_flow_kind::fees, cash_flow_kind::defaults, cash_flow_kind::recoveries,
                                     cash_flow_kind::other})
            EXPECT_EQ(year.amounts[kind_index(other)], 0.0);
    }
    // The interest's present values add up to what the engine gave the row.
    double interest_pv = 0.0;
    for (const year_flows& year : flows.years) interest_pv += year.present_values[interest];
    EXPECT_NEAR(interest_pv, line_value(cohort.results, cohort.program_type, line_code::dl_interest), 1e-9);
}

TEST(FlowsByYear, AmountsFallInTheYearTheirPeriodBelongsTo) {
    struct case_ {
        int frequency, start_period;
        bool annual_totals;
        std::size_t index;
        int year;
    };
    const case_ cases[] = {
        {frequency_quarter, 3, false, 0, 2001},  {frequency_quarter, 3, false, 1, 2001},
        {frequency_quarter, 3, false, 2, 2002},  {frequency_monthly, 12, false, 1, 2002},
        {frequency_monthly, 1, false, 24, 2003}, {frequency_annual, 1, false, 3, 2004},
        {frequency_semiannual, 9, false, 2, 2002},  // a period past the year's counts as the first
        {frequency_annual, 1, true, 2, 2003},
    };
    for (const case_& c : cases) {
        cash_flow_row row;
        row.start_year = 2001;
        row.frequency = c.frequency;
        row.start_period = c.start_period;
        row.same_as_disbursement = c.annual_totals;
        EXPECT_EQ(fiscal_year_of_amount(row, c.index), c.year)
            << "frequency " << c.frequency << " period " << c.start_period << " index " << c.index;
    }
}

}  // namespace
}  // namespace fv
