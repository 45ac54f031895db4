// Subsidy components from row values, checked against sums worked by hand.
#include "subsidy/subsidy_components.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace fv {
namespace {

cohort_results compute(int program_type, const std::vector<std::pair<int, double>>& values) {
    cohort_results results;
    subsidy_accumulator accumulator(results, program_type);
    // By stored line number, as the rows keep them.
    for (const auto& [line, value] : values) accumulator.add(static_cast<line_code>(line), value);
    accumulator.finish();
    return results;
}

TEST(CohortResults, DirectLoanComponents) {
    // Disbursements 100, principal 90, interest 5, defaults -8, recoveries 3, fees 1.
    const cohort_results r = compute(1, {{46, 100}, {49, 90}, {50, 5}, {52, -8}, {54, 3}, {51, 1}});
    EXPECT_TRUE(r.subsidy_computed);
    EXPECT_DOUBLE_EQ(r.financing_amount, 5);
    EXPECT_DOUBLE_EQ(r.default_amount, 5);
    EXPECT_DOUBLE_EQ(r.fee_amount, -1);
    EXPECT_DOUBLE_EQ(r.other_amount, 0);
    EXPECT_DOUBLE_EQ(r.subsidy_amount, 9);
    EXPECT_DOUBLE_EQ(r.subsidy_percentage, 9);
    EXPECT_DOUBLE_EQ(r.default_value, -8);
    EXPECT_DOUBLE_EQ(r.recovery_value, 3);
    EXPECT_DOUBLE_EQ(line_value(r, program_direct_loan, line_code::dl_principal), 90);
}

TEST(CohortResults, LoanGuaranteeComponents) {
    // Default payments 10, recoveries -4, lost fees -1, saved interest -0.5, annual fees 2; commitments and
    // the guaranteed share enter nothing.
    const cohort_results r =
        compute(2, {{56, 500}, {58, 80}, {57, 100}, {63, 10}, {64, -4}, {67, -1}, {68, -0.5}, {60, 2}});
    EXPECT_DOUBLE_EQ(r.default_amount, 6.5);
    EXPECT_DOUBLE_EQ(r.fee_amount, -2);
    EXPECT_DOUBLE_EQ(r.subsidy_percentage, 4.5);
    EXPECT_DOUBLE_EQ(r.disbursements, 100);
    EXPECT_DOUBLE_EQ(r.default_value, 10 - 1 - 0.5);
    EXPECT_DOUBLE_EQ(r.recovery_value, -4);
    EXPECT_DOUBLE_EQ(line_value(r, program_loan_guarantee, line_code::lg_pct_guaranteed), 80);
}

TEST(CohortResults, ZeroDisbursementsGiveZerosAndNoDivision) {
    const cohort_results r = compute(1, {{46, 0}, {49, 90}});
    EXPECT_FALSE(r.subsidy_computed);
    EXPECT_EQ(r.subsidy_percentage, 0);
    EXPECT_EQ(r.financing_amount, 0);
}

TEST(CohortResults, ComputingTwiceGivesTheSameRecord) {
    cohort_results results;
    for (int run = 0; run < 2; ++run) {
        subsidy_accumulator accumulator(results, program_direct_loan);
        accumulator.add(line_code::dl_disbursements, 100);
        accumulator.add(line_code::dl_principal, 95);
        accumulator.finish();
    }
    EXPECT_DOUBLE_EQ(results.financing_amount, 5);
    EXPECT_DOUBLE_EQ(results.disbursements, 100);
}

}  // namespace
}  // namespace fv
