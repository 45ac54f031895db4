// Pro-rata factors under both loan rules, the grids of unequal frequencies, and rev-spendout.
#include "cashflow/pro_rata_matrix.h"

#include <gtest/gtest.h>

#include <cstring>

#include "cashflow/value_names.h"
#include "util/text_error.h"

namespace fv {
namespace {

void expect_amounts(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-12) << "at " << i;
}

TEST(ProRataMatrix, SixtyFortyUnderBothRules) {
    const std::vector<double> principal = {50, 30, 20};
    const pro_rata_matrix construction({60, 40}, 3, frequency_annual, frequency_annual, loan_rule::construction);
    expect_amounts(construction.apply(principal), {50, 18, 12, 0, 12, 8});
    const pro_rata_matrix like_loans({60, 40}, 3, frequency_annual, frequency_annual, loan_rule::multiple_like_loans);
    expect_amounts(like_loans.apply(principal), {50, 18, 0, 0, 12, 20});
}

// The factors by their definition, one column at a time: each period that covers
// a column gets its disbursement over the sum of those covering it.
std::vector<double> factors_by_definition(const std::vector<double>& grid, int columns, loan_rule rule) {
    const int rows = static_cast<int>(grid.size());
    const auto covers = [&](int i, int j) {
        if (!(grid[static_cast<std::size_t>(i)] > 0) && !(rule == loan_rule::multiple_like_loans && rows >= columns))
            return false;
        if (rule == loan_rule::construction) return j >= i;
        if (rows < columns) {
            int last_positive = 0;
            for (int k = 0; k < rows; ++k)
                if (grid[static_cast<std::size_t>(k)] > 0) last_positive = k;
            const int life = columns - rows + 1 + (rows - 1 - last_positive);
            return j >= i && j < i + life;
        }
        int coverer = 0;  // the nearest earlier positive period covers a column
        for (int k = 0; k <= j; ++k)
            if (grid[static_cast<std::size_t>(k)] > 0) coverer = k;
        return i == coverer;
    };
    std::vector<double> factors(static_cast<std::size_t>(rows * columns), 0.0);
    for (int j = 0; j < columns; ++j) {
        double sum = 0.0;
        for (int i = 0; i < rows; ++i)
            if (covers(i, j)) sum += grid[static_cast<std::size_t>(i)];
        if (!(sum > 0)) continue;
        for (int i = 0; i < rows; ++i)
            if (covers(i, j)) factors[static_cast<std::size_t>(i * columns + j)] = grid[static_cast<std::size_t>(i)] / sum;
    }
    return factors;
}

TEST(ProRataMatrix, FactorsHaveTheBitsOfTheirDefinition) {
    // Grids with gaps and uneven amounts, fewer and more periods than columns, under both rules.
    unsigned seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % 1000;
    };
    for (int round = 0; round < 200; ++round) {
        const int rows = 1 + static_cast<int>(next() % 14);
        const int columns = 1 + static_cast<int>(next() % 40);
        std::vector<double> grid(static_cast<std::size_t>(rows));
        for (double& amount : grid) amount = next() % 3 == 0 ? 0.0 : 0.01 * static_cast<double>(next() + 1);
        grid[0] = 1.0 + 0.37 * static_cast<double>(next());
        for (const loan_rule rule : {loan_rule::construction, loan_rule::multiple_like_loans}) {
            const std::vector<double> got = pro_rata_matrix::grid_factors(grid, columns, rule);
            const std::vector<double> want =
                rows == 1 ? std::vector<double>(static_cast<std::size_t>(columns), 1.0) : factors_by_definition(grid, columns, rule);
            ASSERT_EQ(got.size(), want.size()) << round;
            EXPECT_EQ(std::memcmp(got.data(), want.data(), got.size() * sizeof(double)), 0) << "round " << round;
        }
    }
}

TEST(ProRataMatrix, SingleAmountGoesToTheFirstPeriod) {
    const pro_rata_matrix matrix({60, 40, 10}, 1, frequency_annual, frequency_annual, loan_rule::construction);
    expect_amounts(matrix.apply({9}), {9, 0, 0});
}

TEST(ProRataMatrix, LikeLoansWithMoreDisbursementsThanColumnsTakeTheNearestEarlierPeriod) {
    // Columns 0-2 against positions 0-3; position 1 is empty, so column 1 belongs to position 0.
    expect_amounts(pro_rata_matrix::grid_factors({10, 0, 30, 5}, 3, loan_rule::multiple_like_loans),
                   {1, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0});
}

TEST(ProRataMatrix, TrailingEmptyDisbursementsLengthenTheLoans) {
    // Last positive position 0 of three: every loan lives all four columns.
    expect_amounts(pro_rata_matrix::grid_factors({10, 0, 0}, 4, loan_rule::multiple_like_loans),
                   {1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0});
}

TEST(ProRataMatrix, QuarterlyRowOverAnnualDisbursementsSpreadsThemOntoTheQuarters) {
    // Annual 60, 40 against eight quarters (construction): the second year's quarters split 60/40.
    const pro_rata_matrix matrix({60, 40}, 8, frequency_annual, frequency_quarter, loan_rule::construction);
    ASSERT_EQ(matrix.rows(), 2);
    ASSERT_EQ(matrix.columns(), 8);
    for (int j = 0; j < 4; ++j) EXPECT_DOUBLE_EQ(matrix.factor(0, j), 1.0);
    for (int j = 4; j < 8; ++j) {
        EXPECT_DOUBLE_EQ(matrix.factor(0, j), 0.6);
        EXPECT_DOUBLE_EQ(matrix.factor(1, j), 0.4);
    }
}

TEST(ProRataMatrix, AnnualRowOverQuarterlyDisbursementsKeepsEveryFourthColumn) {
    // Quarterly 10, 10, 10, 10, 10 against annual 100, 100: column 1 (grid column 4) is shared by all five.
    const pro_rata_matrix matrix({10, 10, 10, 10, 10}, 2, frequency_quarter, frequency_annual, loan_rule::construction);
    ASSERT_EQ(matrix.rows(), 5);
    ASSERT_EQ(matrix.columns(), 2);
    expect_amounts(matrix.apply({100, 100}), {100, 20, 0, 20, 0, 20, 0, 20, 0, 20});
}

TEST(ProRataMatrix, FirstDisbursementMustBeAboveZeroAndCollapsesCheckTheirBounds) {
    try {
        pro_rata_matrix({0, 40}, 3, frequency_annual, frequency_annual, loan_rule::construction);
        FAIL();
    } catch (const text_error& e) {
        EXPECT_EQ(e.text(), "dy_factors called with no data in first disbursement period");
    }
    pro_rata_matrix matrix({60, 40}, 3, frequency_annual, frequency_annual, loan_rule::construction);
    try {
        matrix.collapse_columns(4);
        FAIL();
    } catch (const text_error& e) {
        EXPECT_EQ(e.text(), "cf_matrix::collapse_columns called with amount greater than number of columns");
    }
    pro_rata_matrix empty({}, 3, frequency_annual, frequency_annual, loan_rule::construction);
    try {
        empty.collapse_rows(2);
        FAIL();
    } catch (const text_error& e) {
        EXPECT_EQ(e.text(), "cf_matrix::collapse_rows called when empty (rows=0)");
    }
}

TEST(RevSpendout, RecoversTheCommonPattern) {
    // 100, 50 followed by the pattern 0.1, 0.2, 0.7.
    expect_amounts(rev_spendout({100, 50}, {10, 25, 80, 35}), {10, 20, 70, 0, 0, 5, 10, 35});
}

TEST(RevSpendout, DoesNotApplyWhenTheRowIsNoConvolution) {
    const struct {
        std::vector<double> disbursements, row;
    } cases[] = {
        {{100, 50}, {10, 25, 80, 36}},  // one amount off
        {{100}, {10, 20}},               // a single disbursement
        {{100, 50, 25}, {10, 20}},       // fewer amounts than disbursements
        {{0, 50}, {10, 20, 30}},         // nothing to divide by
    };
    for (const auto& c : cases) EXPECT_TRUE(rev_spendout(c.disbursements, c.row).empty());
}

TEST(RevSpendout, LastDisbursementOfZeroIsDecidedByThePeriodSums) {
    // 100, 50, 0 with pattern 0.5, 0.5: the backward solution cannot divide, the sums still check.
    expect_amounts(rev_spendout({100, 50, 0}, {50, 75, 25, 0}),
                   {50, 50, 0, 0, 0, 25, 25, 0, 0, 0, 0, 0});
}

}  // namespace
}  // namespace fv
