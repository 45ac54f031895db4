// Source data and distribution displays of a parsed and edited program.
#include "display/program/row_displays.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cashflow/range_fixture.h"
#include "display/display_layout.h"
#include "subsidy/input_editing.h"

namespace fv {
namespace {

using namespace fv::testing;

std::vector<std::string> lines_of(display_page& page) {
    std::vector<std::string> lines;
    std::istringstream text(page.render_text());
    for (std::string line; std::getline(text, line);) lines.push_back(line.substr(0, line.size() - 1));
    return lines;
}

struct edited_program {
    load_result loaded;
    explicit edited_program(const std::vector<row>& rows) : loaded(load_rows(header() + rows)) {
        EXPECT_FALSE(loaded.error) << *loaded.error;
        edit_input(*loaded.program);
    }
    const credit_program& program() const { return *loaded.program; }
};

const std::vector<row> sixty_forty = {{"Timing", "simple"},
                                      {"Obligations"},
                                      {"Disbursements", 60, 40},
                                      {"Principal pmts, scheduled", 50, 30, 20}};

TEST(RowDisplays, SourceLinesShowEachRowWithItsTiming) {
    edited_program p(sixty_forty);
    const unsigned columns = wide_column_count(widest_row(p.program()));
    EXPECT_EQ(columns, 7u);  // three amounts still give seven columns
    display_page page;
    write_source_lines(page, page.add_layout(source_layout(columns)), p.program());
    const auto lines = lines_of(page);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], std::string(115, '-'));
    EXPECT_EQ(lines[1], "Cohort year:" + std::string(43, ' ') + "2000");
    EXPECT_EQ(lines[4], "Principal pmts, scheduled [annual, end, 2000]                50.000      30.000      20.000");
}

TEST(RowDisplays, DistributionLinesShowThePartsOfEachSplitRow) {
    edited_program p(sixty_forty);
    display_page page;
    write_distribution_lines(page, page.add_layout(distribution_layout(7)), p.program());
    const auto lines = lines_of(page);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[3], "Principal pmts, scheduled [annual, end, 2000]");
    EXPECT_EQ(lines[4], "  Original data:                                         50.000      30.000      20.000");
    EXPECT_EQ(lines[5], "  Distributed to disbursement periods (pro-rata method):");
    EXPECT_EQ(lines[6], "    Disbursement period 1 [annual, end, 2000]            50.000      18.000      12.000");
    EXPECT_EQ(lines[7], "    Disbursement period 2 [annual, end, 2001]            12.000       8.000");

    edited_program single({{"Obligations"}, {"Disbursements", 100}, {"Principal pmts, scheduled", 60, 40}});
    display_page none;
    write_distribution_lines(none, none.add_layout(distribution_layout(7)), single.program());
    EXPECT_EQ(lines_of(none).back(), "(No input lines were distributed by disbursement period)");
}

}  // namespace
}  // namespace fv
