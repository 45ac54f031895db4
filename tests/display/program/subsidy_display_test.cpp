// The subsidy table and the message list as rendered text, column by column.
#include "display/program/subsidy_display.h"

#include <gtest/gtest.h>

#include <sstream>

#include "output_test_support.h"

namespace fv {
namespace {

using testing::add_cohort;

std::vector<std::string> lines_of(display_page& page) {
    std::vector<std::string> lines;
    std::istringstream text(page.render_text());
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}


TEST(SubsidyDisplay, CohortLinesWithAndWithoutARate) {
    credit_program program(0);
    add_cohort(program, 2001, {9, 5, 5, -1, 0}, 6.09, true);
    add_cohort(program, 2002, {1.234, 1.234, 0, 0, 0}, 5.5, false);
    add_cohort(program, 2003, {0.005, 0, 0, 0, 0.005}, not_available, true);
    display_page page;
    write_subsidy_lines(page, page.add_layout(subsidy_layout()), program);
    const auto lines = lines_of(page);
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0], std::string(85, '-'));
    EXPECT_EQ(lines[1], std::string(32, ' ') + "Subsidy components");
    EXPECT_EQ(lines[3], "  Year     Total                           Subsidy      All     effective");
    // Year centred in 8 columns; numbers end 3 columns before their field ends (16, 27, ...).
    EXPECT_EQ(lines[7], "  2001      9.00       5.00       5.00      -1.00       0.00     6.0900       (C)");
    EXPECT_EQ(lines[8], "  2002      1.23       1.23       0.00       0.00       0.00     5.5000       (P)");
    EXPECT_EQ(lines[9], "  2003      0.01       0.00       0.00       0.00       0.01       (X)");
    EXPECT_EQ(lines[11], "Footnotes:");
}

TEST(MessagesDisplay, ListOrItsAbsence) {
    credit_program program(0);
    display_page empty;
    write_messages_lines(empty, empty.add_layout(messages_layout()), program.messages());
    EXPECT_EQ(lines_of(empty)[1], "      No error or warning messages");

    program.add(34, "On the Defaults line beginning in A:B9, some values are positive.");
    program.add(0, "    continued");
    display_page page;
    write_messages_lines(page, page.add_layout(messages_layout()), program.messages());
    const auto lines = lines_of(page);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], " Code" + std::string(48, ' ') + "Description");
    EXPECT_EQ(lines[3], "   34   On the Defaults line beginning in A:B9, some values are positive.");
    EXPECT_EQ(lines[4], "            continued");
}

}  // namespace
}  // namespace fv
