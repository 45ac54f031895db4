// The derivation display drawn from a hand-made derivation record.
#include "display/program/derivation_display.h"

#include <gtest/gtest.h>

#include <memory>

#include "cashflow/credit_program.h"
#include "cashflow/value_names.h"

namespace fv {
namespace {

TEST(DerivationDisplay, ShowsEachDiscountedRowWithItsFactorsAndValue) {
    credit_program program;
    program.program_type = program_direct_loan;
    cohort cohort(&program, 2001, program_direct_loan);
    auto repaid = std::make_unique<cash_flow_row>(&cohort);
    repaid->line = line_code::dl_principal;
    repaid->frequency = frequency_annual;
    repaid->point = point_end;
    repaid->start_year = 2001;
    auto unknown = std::make_unique<cash_flow_row>(&cohort);
    unknown->line = line_code::dl_principal;
    unknown->frequency = frequency_annual;
    unknown->point = point_beginning;
    unknown->start_year = 2002;

    cohort_derivation derivation;
    derivation.year = 2001;
    derivation.rows.push_back({repaid.get(), {60, 40}, {0.9, 0.8}, 86});
    // A row not discounted on the grid shows its heading only.
    derivation.rows.push_back({unknown.get(), {}, {}, 0});

    display_page page;
    const line_layout& type = page.add_layout(line_layout("LT2", 61));
    const unsigned ends[] = {25, 37, 49, 61};
    const unsigned margins[] = {0, 0, 0, 0};
    page.layouts().back()->set_bounds(ends, margins);
    write_cohort_derivation(page, type, derivation);

    ASSERT_EQ(page.line_count(), 3u + 6u + 1u);
    EXPECT_EQ(page.line(2).field(1).text, "Cohort year:  2001");
    EXPECT_EQ(page.line(4).field(1).text, "Principal pmts, scheduled [annual, end, 2001]");
    EXPECT_EQ(page.line(5).field(1).text, "Original values....................................");
    EXPECT_EQ(page.line(5).field(2).text, "60.000   ");
    EXPECT_EQ(page.line(6).field(3).text, "0.800000");
    EXPECT_EQ(page.line(7).field(2).text, "54.000   ");
    EXPECT_EQ(page.line(7).field(3).text, "32.000   ");
    EXPECT_EQ(page.line(8).field(2).text, "86.000   ");
    EXPECT_EQ(page.line(9).count(), 0u);
    EXPECT_EQ(page.line(10).field(1).text, "Principal pmts, scheduled [annual, beginning, 2002]");
}

}  // namespace
}  // namespace fv
