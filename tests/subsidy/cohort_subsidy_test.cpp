// Cohort subsidy on a flat rate set against closed forms: an amount t half-months after the
// disbursement date discounts by (1 + r/200)^(-t/12).
#include "subsidy/cohort_subsidy.h"

#include <gtest/gtest.h>

#include <cmath>

#include "cashflow/credit_program.h"
#include "cashflow/value_names.h"

namespace fv {
namespace {

constexpr double r = 6.0;
double df(double half_months) { return std::pow(1.0 + r / 200.0, -half_months / 12.0); }

struct program_builder {
    credit_program program;
    fv::cohort cohort;
    present_value_factors factors;
    rate_set flat;

    explicit program_builder(int program_type) : cohort(&program, 2001, program_type) {
        program.program_type = program_type;
        flat.title = "flat";
        flat.source = rate_source::own;
        flat.rates.fill(r);
        factors.set(&flat);
        factors.make();
    }
    cash_flow_row& row(line_code line, std::vector<double> amounts, int frequency, int point) {
        auto item = std::make_unique<cash_flow_row>(&cohort);
        item->line = line;
        item->frequency = frequency;
        item->point = point;
        item->start_year = 2001;
        item->amounts = std::move(amounts);
        cash_flow_row& added = *item;
        cohort.rows.push_back(std::move(item));
        if (added.is_disbursement()) cohort.disbursement_row = &added;
        added.compute_start_offset();
        return added;
    }
};

TEST(CohortSubsidy, LoanAtTheDiscountRateHasNoFinancingSubsidy) {
    program_builder b(program_direct_loan);
    b.row(line_code::dl_disbursements, {100}, frequency_annual, point_beginning);
    // Annual interest at the annual equivalent of the semiannual discount rate, principal at the end.
    const double j = std::pow(1.0 + r / 200.0, 2) - 1.0;
    b.row(line_code::dl_interest, {100 * j, 100 * j, 100 * j}, frequency_annual, point_end);
    b.row(line_code::dl_principal, {0, 0, 100}, frequency_annual, point_end).drop_leading_zero_amounts();
    compute_subsidy(b.cohort, b.factors);
    EXPECT_NEAR(b.cohort.results.financing_amount, 0.0, 1e-9);
    EXPECT_NEAR(b.cohort.results.subsidy_percentage, 0.0, 1e-9);
}

TEST(CohortSubsidy, ComponentsMatchClosedForms) {
    program_builder b(program_direct_loan);
    b.row(line_code::dl_disbursements, {100}, frequency_annual, point_beginning);
    const cash_flow_row& principal = b.row(line_code::dl_principal, {25, 25, 25, 25}, frequency_annual, point_end);
    const cash_flow_row& interest = b.row(line_code::dl_interest, {2, 1.5, 1, 0.5}, frequency_annual, point_end);
    const cash_flow_row& fees = b.row(line_code::dl_fees, {1}, frequency_annual, point_beginning);
    const cash_flow_row& defaults = b.row(line_code::dl_defaults, {-1, -1, -1, -1, -1, -1, -1, -1}, frequency_quarter, point_middle);
    ASSERT_EQ(principal.start_offset, 24);
    ASSERT_EQ(fees.start_offset, 0);
    ASSERT_EQ(defaults.start_offset, 3);
    (void)interest;
    compute_subsidy(b.cohort, b.factors);

    double pv_principal = 0, pv_interest = 0, pv_defaults = 0;
    const double interest_amounts[] = {2, 1.5, 1, 0.5};
    for (int k = 1; k <= 4; ++k) {
        pv_principal += 25 * df(24.0 * k);
        pv_interest += interest_amounts[k - 1] * df(24.0 * k);
    }
    for (int k = 0; k < 8; ++k) pv_defaults += -1 * df(3.0 + 6.0 * k);
    const double pv_fees = 1.0;  // paid at the disbursement date

    const cohort_results& res = b.cohort.results;
    EXPECT_NEAR(res.financing_amount, 100 - pv_principal - pv_interest, 1e-6);
    EXPECT_NEAR(res.default_amount, -pv_defaults, 1e-6);
    EXPECT_NEAR(res.fee_amount, -pv_fees, 1e-6);
    EXPECT_NEAR(res.other_amount, 0, 1e-12);
    EXPECT_NEAR(res.subsidy_percentage, 100 - pv_principal - pv_interest - pv_defaults - pv_fees, 1e-6);
    EXPECT_NEAR(res.highest_zero_rate, res.lowest_zero_rate, 1.0);  // a flat curve
}

TEST(CohortSubsidy, GuaranteeDefaultsAndFeesAgainstClosedForms) {
    program_builder b(program_loan_guarantee);
    b.row(line_code::lg_disbursements, {100}, frequency_annual, point_beginning);
    b.row(line_code::lg_default_payments, {5, 5}, frequency_semiannual, point_end);
    b.row(line_code::lg_recoveries, {-2}, frequency_annual, point_end);
    b.row(line_code::lg_annual_fees, {0.5, 0.5, 0.5}, frequency_annual, point_middle);
    compute_subsidy(b.cohort, b.factors);
    const double defaults = 5 * df(12) + 5 * df(24) - 2 * df(24);
    const double fees = 0.5 * (df(12) + df(36) + df(60));
    EXPECT_NEAR(b.cohort.results.default_amount, defaults, 1e-6);
    EXPECT_NEAR(b.cohort.results.fee_amount, -fees, 1e-6);
    EXPECT_NEAR(b.cohort.results.subsidy_percentage, defaults - fees, 1e-6);
}

}  // namespace
}  // namespace fv

namespace fv {
namespace {

TEST(CohortSubsidy, DerivationRecordsEachDiscountedRowWithItsFactors) {
    program_builder b(program_direct_loan);
    b.row(line_code::dl_disbursements, {100}, frequency_annual, point_beginning);
    const cash_flow_row& repaid = b.row(line_code::dl_principal, {60, 40}, frequency_annual, point_end);
    const cohort_derivation derivation = compute_subsidy_derived(b.cohort, b.factors);
    const double pv = 60 * df(24) + 40 * df(48);
    // The results are those of compute_subsidy; the disbursement is not discounted, so not derived.
    EXPECT_NEAR(b.cohort.results.financing_amount, 100 - pv, 1e-6);
    EXPECT_EQ(derivation.year, 2001);
    ASSERT_EQ(derivation.rows.size(), 1u);
    const row_derivation& derived = derivation.rows[0];
    EXPECT_EQ(derived.row, &repaid);
    EXPECT_EQ(derived.amounts, (std::vector<double>{60, 40}));
    ASSERT_EQ(derived.factors.size(), 2u);
    EXPECT_NEAR(derived.factors[0], df(24), 1e-12);
    EXPECT_NEAR(derived.factors[1], df(48), 1e-12);
    EXPECT_NEAR(derived.present_value, pv, 1e-9);
}

}  // namespace
}  // namespace fv
