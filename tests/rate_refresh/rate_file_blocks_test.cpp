// A regenerated rate file keeps the checksum block of every line that did not
// change, and a new line's block depends on that line alone, so adding a
// fiscal year changes no other line and two runs give the same bytes.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "rate_refresh/rate_file_blocks.h"
#include "rates/rate_collection.h"

namespace {

const fv::rate_set fy_2020(fv::rate_source::actual, "FY 2020 average", {0.75, 0.76, 0.74, 0.76, 0.78, 0.85, 1.00, 1.13, 1.72});
const fv::rate_set fy_2021(fv::rate_source::actual, "FY 2021 average", {0.05, 0.07, 0.08, 0.17, 0.31, 0.65, 0.99, 1.27, 1.97});
const fv::rate_set fy_2022(fv::rate_source::actual, "FY 2022 average", {1.05, 1.40, 1.69, 2.02, 2.19, 2.29, 2.38, 2.38, 2.63});
const fv::rate_set budget_old(fv::rate_source::budget, "Budget 2024", {1.05, 1.40, 1.69, 2.02, 2.19, 2.29, 2.38, 2.38, 2.63});
const fv::rate_set budget_new(fv::rate_source::budget, "Budget 2024", {4.94, 5.05, 4.93, 4.48, 4.22, 3.95, 3.89, 3.80, 3.92});

std::string render(std::vector<fv::rate_set> actual, std::vector<fv::rate_set> budget,
                   fv::rate_file_blocks& blocks) {
    fv::rate_collection rates;
    rates.set_rate_file_sets(std::move(actual), std::move(budget));
    return rates.rate_file_text(
        [&blocks](std::string_view checked, std::int32_t value) { return blocks.block_for(checked, value); },
        "test");
}

std::set<std::string> lines_of(const std::string& text) {
    std::set<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.insert(line);
    return lines;
}

void expect_loads(const std::string& text) {
    fv::rate_collection loaded;
    EXPECT_NO_THROW(loaded.load_rate_file_text("generated", text, true)) << text;
}

TEST(RateFileBlocks, AFreshRunDependsOnEachLineAloneAndRepeatsItself) {
    fv::rate_file_blocks none_a;
    fv::rate_file_blocks none_b;
    fv::rate_file_blocks none_c;
    const std::string before = render({fy_2020, fy_2021}, {budget_old}, none_a);
    const std::string again = render({fy_2020, fy_2021}, {budget_old}, none_b);
    const std::string with_new_year = render({fy_2020, fy_2021, fy_2022}, {budget_old}, none_c);
    EXPECT_EQ(before, again);
    expect_loads(before);
    expect_loads(with_new_year);
    // Every data line of the shorter file reads the same in the longer one;
    // only the new year and the end line differ.
    const std::set<std::string> old_lines = lines_of(before);
    const std::set<std::string> new_lines = lines_of(with_new_year);
    std::vector<std::string> gone;
    for (const std::string& line : old_lines)
        if (new_lines.count(line) == 0) gone.push_back(line);
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_EQ(gone[0].rfind("#EOF", 0), 0u);
}

TEST(RateFileBlocks, ARefreshKeepsTheBlocksOfUnchangedLines) {
    // The previous file's blocks come from another generator altogether.
    fv::rate_collection previous_sets;
    previous_sets.set_rate_file_sets({fy_2020, fy_2021}, {budget_old});
    fv::block_writer seeded(20231130);
    const std::string previous = previous_sets.rate_file_text(seeded, "test");

    fv::rate_file_blocks blocks(previous);
    const std::string refreshed = render({fy_2020, fy_2021, fy_2022}, {budget_new}, blocks);
    expect_loads(refreshed);
    EXPECT_EQ(blocks.kept(), 2);  // the two fiscal years
    const std::set<std::string> new_lines = lines_of(refreshed);
    for (const std::string& line : lines_of(previous)) {
        if (line[0] == '#' && line.rfind("#EOF", 0) != 0) continue;  // header and section lines
        const bool unchanged = line.find("FY 2020") != std::string::npos || line.find("FY 2021") != std::string::npos;
        EXPECT_EQ(new_lines.count(line), unchanged ? 1u : 0u) << line;
    }

    // Regenerating over the refreshed file changes nothing, end line included.
    fv::rate_file_blocks again(refreshed);
    EXPECT_EQ(render({fy_2020, fy_2021, fy_2022}, {budget_new}, again), refreshed);
    EXPECT_EQ(again.kept(), 5);
}

TEST(RateFileBlocks, ABlockThatDoesNotCarryItsChecksumIsNotKept) {
    fv::rate_file_blocks none;
    std::string previous = render({fy_2020}, {budget_old}, none);
    const std::size_t line_end = previous.find('\n', previous.find("FY 2020"));
    fv::block_writer other(1);
    previous.replace(line_end - 16, 16, other.write(0x12345678));  // carries another value

    fv::rate_file_blocks blocks(previous);
    const std::string regenerated = render({fy_2020}, {budget_old}, blocks);
    expect_loads(regenerated);
    EXPECT_EQ(blocks.kept(), 2);  // the budget line and the end line
}

TEST(RateFileBlocks, KnowsARateFileByItsFirstLine) {
    EXPECT_TRUE(fv::looks_like_rate_file("#KDM-RATE-FILE  shipped\n"));
    EXPECT_TRUE(fv::looks_like_rate_file("#kdm-rate-file"));
    EXPECT_FALSE(fv::looks_like_rate_file("#CLIENT-RATE-FILE\n"));
    EXPECT_FALSE(fv::looks_like_rate_file("root:x:0:0:root:/root:/bin/bash\n"));
    EXPECT_FALSE(fv::looks_like_rate_file(""));
}

}  // namespace
