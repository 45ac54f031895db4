// Dividing rows of more than 60 amounts.
#include "cashflow/wide_rows.h"

#include <gtest/gtest.h>

#include <numeric>

#include "cashflow/value_names.h"

namespace fv {
namespace {

std::unique_ptr<cash_flow_row> row_of(cohort& cohort, int count, int frequency) {
    auto row = std::make_unique<cash_flow_row>(&cohort);
    row->line = line_code::dl_principal;
    row->frequency = frequency;
    row->start_year = 2001;
    row->start_offset = 6;
    row->amounts.resize(static_cast<std::size_t>(count));
    std::iota(row->amounts.begin(), row->amounts.end(), 1.0);
    return row;
}

TEST(WideRows, A150AmountRowBecomesRowsOf60And60And30) {
    cohort cohort(nullptr, 2001, 1);
    cohort.rows.push_back(row_of(cohort, 150, frequency_quarter));
    cohort.rows.push_back(row_of(cohort, 10, frequency_annual));
    EXPECT_TRUE(divide_wide_rows(cohort));
    ASSERT_EQ(cohort.rows.size(), 4u);
    const int sizes[] = {60, 60, 30, 10};
    const int years[] = {2001, 2016, 2031, 2001};
    const int offsets[] = {6, 366, 726, 6};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(cohort.rows[i]->amounts.size(), static_cast<std::size_t>(sizes[i])) << i;
        EXPECT_EQ(cohort.rows[i]->start_year, years[i]) << i;
        EXPECT_EQ(cohort.rows[i]->start_offset, offsets[i]) << i;
    }
    EXPECT_EQ(cohort.rows[1]->amounts.front(), 61);
    EXPECT_EQ(cohort.rows[2]->amounts.back(), 150);
}

TEST(WideRows, PartsAreDividedInOrderWithStandIns) {
    cohort cohort(nullptr, 2001, 1);
    auto row = row_of(cohort, 72, frequency_monthly);
    row->parts.push_back(row_of(cohort, 72, frequency_monthly));
    row->parts.push_back(row_of(cohort, 12, frequency_monthly));  // short part
    row->parts.push_back(row_of(cohort, 61, frequency_monthly));
    cohort.rows.push_back(std::move(row));
    EXPECT_TRUE(divide_wide_rows(cohort));
    ASSERT_EQ(cohort.rows.size(), 2u);
    const cash_flow_row& tail = *cohort.rows[1];
    EXPECT_EQ(tail.start_year, 2006);
    EXPECT_EQ(tail.start_offset, 126);
    ASSERT_EQ(tail.parts.size(), 3u);
    EXPECT_EQ(tail.parts[0]->amounts.size(), 12u);
    EXPECT_TRUE(tail.parts[1]->amounts.empty());
    EXPECT_EQ(tail.parts[2]->amounts.size(), 1u);
    EXPECT_EQ(cohort.rows[0]->parts[1]->amounts.size(), 12u);
}

TEST(WideRows, AnnualTotalsAloneAreNeverDivided) {
    cohort cohort(nullptr, 2001, 1);
    auto row = std::make_unique<cash_flow_row>(&cohort);
    row->annual_totals.assign(80, 1.0);
    cohort.rows.push_back(std::move(row));
    cohort.rows.push_back(row_of(cohort, 60, frequency_annual));
    EXPECT_FALSE(divide_wide_rows(cohort));
    EXPECT_EQ(cohort.rows.size(), 2u);
}

}  // namespace
}  // namespace fv
