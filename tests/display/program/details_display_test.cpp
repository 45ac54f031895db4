// The details display recomputes each component from the values by line type.
#include "display/program/details_display.h"

#include <gtest/gtest.h>

#include <sstream>

#include "subsidy/subsidy_components.h"

namespace fv {
namespace {

std::vector<std::string> details_of(int program_type, const std::vector<std::pair<int, double>>& values) {
    credit_program program(0);
    program.program_type = program_type;
    auto cohort = std::make_unique<fv::cohort>(&program, 2001, program_type);
    subsidy_accumulator accumulator(cohort->results, program_type);
    for (const auto& [line, value] : values) accumulator.add(static_cast<line_code>(line), value);
    accumulator.finish();
    program.cohorts.push_back(std::move(cohort));
    display_page page;
    write_details_lines(page, page.add_layout(details_layout()), program);
    std::vector<std::string> lines;
    std::istringstream text(page.render_text());
    for (std::string line; std::getline(text, line);) lines.push_back(line.substr(0, line.size() - 1));
    return lines;
}

TEST(DetailsDisplay, DirectLoanComponents) {
    const auto lines = details_of(1, {{46, 100}, {49, 90}, {50, 5}, {52, -8}, {54, 3}, {51, 1}});
    ASSERT_EQ(lines.size(), 36u);
    EXPECT_EQ(lines[1], "Cohort year:  2001");
    EXPECT_EQ(lines[3], "PV, all cash flow items............................      9.000");
    EXPECT_EQ(lines[4], "Disbursements (not discounted) ....................    100.000");
    EXPECT_EQ(lines[11], "    4. Subsidy amount [ 3 - 1 - 2 ]................      5.000");
    EXPECT_EQ(lines[18], "    4. Subsidy amount [ - ( 2 + 1 ) ]..............      5.000");
    EXPECT_EQ(lines[24], "    3. Subsidy amount [ -1 ].......................     -1.000");
}

TEST(DetailsDisplay, GuaranteeComponentsAndNoDisbursements) {
    auto lines = details_of(2, {{57, 100}, {63, 10}, {64, -4}, {67, -1}, {68, -0.5}, {60, 2}});
    EXPECT_EQ(lines[4], "Disbursements by private lenders...................    100.000");
    EXPECT_EQ(lines[5], "Subsidy percentage.................................      4.500");
    EXPECT_EQ(lines[19], "    6. Subsidy amount [ 1 - 2 + 3 + 4 ]............      6.500");

    lines = details_of(2, {{57, 0}, {63, 10}});
    EXPECT_EQ(lines[20], "    7. Subsidy percentage [ 100.0 ( 6 / 5 ) ]......      0.000");
}

}  // namespace
}  // namespace fv
