#include "display/display_page.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "util/text_error.h"

namespace {

using fv::field_alignment;
using fv::field_kind;
using fv::line_layout;
using fv::display_page;
using fv::page_selection;

line_layout layout(const char* name, unsigned width, std::vector<unsigned> bounds) {
    line_layout type(name, width);
    type.set_bounds(bounds, std::vector<unsigned>(bounds.size(), 0));
    return type;
}

// Four lines of three left-aligned labels "LKa", "LKb", "LKc" at columns 0, 10, 20.
display_page grid_page() {
    display_page page;
    const auto& type = page.add_layout(layout("LT1", 30, {10, 20, 30}));
    for (char k = '1'; k <= '4'; ++k) {
        auto& line = page.add_line(type);
        for (char f = 'a'; f <= 'c'; ++f) line.add_label(std::string("L") + k + f);
    }
    return page;
}

std::string grid(char k) { return std::string("L") + k + "a       L" + k + "b       L" + k + "c"; }

TEST(PageText, SelectionsOfLinesAndColumns) {
    const std::string crlf = "\r\n";
    struct selection_case {
        page_selection selection;
        std::string expected;
    };
    const selection_case cases[] = {
        {{0, 0, 0, 0}, grid('1') + crlf + grid('2') + crlf + grid('3') + crlf + grid('4') + crlf},
        {{3, 0, 3, 0}, grid('3') + crlf},
        {{2, 0, 3, 0}, grid('2') + crlf + grid('3') + crlf},
        {{3, 0, 0, 0}, grid('3') + crlf + grid('4') + crlf},
        {{0, 5, 0, 0}, grid('1') + crlf + grid('2') + crlf + grid('3') + crlf + grid('4') + crlf},
        {{2, 11, 3, 0}, "L2b       L2c" + crlf + grid('3') + crlf},
        {{2, 8, 3, 0}, grid('2') + crlf + grid('3') + crlf},
        {{2, 11, 3, 15}, "L2b       L2c" + crlf + "L3a       L3b" + crlf},
        {{2, 11, 2, 15}, "L2b" + crlf},
        {{2, 21, 0, 0}, "L2c" + crlf + grid('3') + crlf + grid('4') + crlf},
        {{0, 0, 2, 11}, grid('1') + crlf + "L2a       L2b" + crlf},
        {{2, 25, 2, 5}, crlf},
        {{5, 0, 0, 0}, ""},
        {{3, 0, 2, 0}, ""},
    };
    auto page = grid_page();
    for (const auto& c : cases) {
        const auto& s = c.selection;
        EXPECT_EQ(page.render_text(s), c.expected)
            << "(" << s.first_line << ", " << s.first_column << ", " << s.last_line << ", " << s.last_column << ")";
        EXPECT_FALSE(page.was_cut());
    }
}

TEST(PageText, LinesOfDifferentLayoutsAndEmptyLines) {
    display_page page;
    const auto& wide = page.add_layout(layout("LT1", 115, {55, 67, 79, 91, 103, 115}));
    const auto& narrow = page.add_layout(layout("LT2", 85, {8, 19, 30, 41, 52, 63, 74, 85}));
    auto& dash = page.add_line(narrow);
    for (int i = 0; i < 2; ++i) dash.add("--", field_kind::label, field_alignment::repeat);
    page.add_line(wide);
    auto& row = page.add_line(narrow);
    row.add_number("2024", field_alignment::centred);
    row.add_number("1.25");
    page.add_line(wide).add_label("Footnotes:");
    EXPECT_EQ(page.render_text(), std::string(19, '-') + "\r\n\r\n  2024         1.25\r\nFootnotes:\r\n");
    EXPECT_EQ(page.line_count(), 4u);
    EXPECT_EQ(page.layouts().size(), 2u);
}

TEST(PageText, ALineMustUseALayoutOfItsPage) {
    display_page page;
    const line_layout stranger = layout("LT1", 20, {20});
    try {
        page.add_line(stranger);
        ADD_FAILURE() << "a line took a layout the page does not hold";
    } catch (const fv::text_error& e) {
        EXPECT_EQ(e.text(), "gr_page::add_line called with a line type that the page does not hold");
    }
}

// A page of one-field lines of the given lengths.
display_page page_of_lengths(const std::vector<std::size_t>& lengths) {
    display_page page;
    const auto& type = page.add_layout(layout("LT1", 50000, {50000}));
    for (std::size_t n : lengths) {
        auto& line = page.add_line(type);
        if (n) line.add_label(std::string(n, 'x'));
    }
    return page;
}

const std::string truncation_line = "Display truncated.  Please see Tips-Views-Limitations for discussion";

TEST(PageLimit, TheLimitCountsLineEndsAndIsInclusive) {
    ASSERT_EQ(truncation_line.size(), 68u);

    // 40,454 characters and CR LF make exactly the limit: kept whole.
    auto exact = page_of_lengths({40454});
    auto text = exact.render_text();
    EXPECT_EQ(text.size(), 40456u);
    EXPECT_FALSE(exact.was_cut());
    exact.put_truncation_notice(text);
    EXPECT_EQ(text.size(), 40456u);

    // One more (empty) line is dropped.
    auto over = page_of_lengths({40454, 0});
    text = over.render_text();
    EXPECT_EQ(text.size(), 40456u);
    EXPECT_TRUE(over.was_cut());
    EXPECT_EQ(over.cut_offset(), 40456u);
    EXPECT_EQ(over.lines_kept(), 1u);
    over.put_truncation_notice(text);
    EXPECT_EQ(text, std::string(40454, 'x') + "\r\n" + truncation_line);

    // A first line that is too long alone: nothing is kept, and the cut still shows.
    auto first = page_of_lengths({40455, 3});
    text = first.render_text();
    EXPECT_EQ(text, "");
    EXPECT_TRUE(first.was_cut());
    EXPECT_EQ(first.cut_offset(), 0u);
    EXPECT_EQ(first.lines_kept(), 0u);
    first.put_truncation_notice(text);
    EXPECT_EQ(text, truncation_line);

    // A selection is held to the same limit.
    auto selected = page_of_lengths({5, 40000, 500, 7});
    EXPECT_EQ(selected.render_text({2, 0, 0, 0}), std::string(40000, 'x') + "\r\n");
    EXPECT_TRUE(selected.was_cut());
    EXPECT_EQ(selected.lines_kept(), 2u);

    // The next rendering starts afresh.
    EXPECT_EQ(selected.render_text({4, 0, 4, 0}), "xxxxxxx\r\n");
    EXPECT_FALSE(selected.was_cut());
    EXPECT_EQ(selected.cut_offset(), 0u);
}

// A display-like page: ten header lines of 28 characters, line 11 the
// "All content displayed" line of 109 characters (label 54, blank, value 54),
// then rows of 80 characters: "Row NNN" and dots.
display_page long_page(unsigned rows, const std::string& line11_label, const std::string& line11_value) {
    display_page page;
    const auto& type = page.add_layout(layout("LT1", 115, {55, 67, 79, 91, 103, 115}));
    for (int i = 1; i <= 10; ++i) {
        char label[32];
        std::snprintf(label, sizeof label, "Header line %02d..............", i);
        page.add_line(type).add_label(label);
    }
    auto& line11 = page.add_line(type);
    line11.add_label(line11_label);
    line11.add_label(line11_value);
    for (unsigned row = 12; row < 12 + rows; ++row) {
        char label[96];
        std::snprintf(label, sizeof label, "Row %03u.........................................................................",
                      row);
        page.add_line(type).add_label(label);
    }
    return page;
}

const std::string all_content = "All content displayed.................................";
const std::string see_tips = "See Tips-Views-Limitations menu for potential problems";

TEST(PageLimit, APageCutAtLine500KeepsLine499AndSaysSoInItsHeader) {
    ASSERT_EQ(all_content.size(), 54u);
    ASSERT_EQ(see_tips.size(), 54u);
    auto page = long_page(600, all_content, see_tips);

    // By hand: 10 x 30 + 111 = 411 through line 11; rows 12..499 add
    // 488 x 82 = 40,016, so 40,427; row 500 would make 40,509.
    std::string text = page.render_text();
    ASSERT_TRUE(page.was_cut());
    EXPECT_EQ(page.line11_offset(), 300u);
    EXPECT_EQ(page.cut_offset(), 40427u);
    EXPECT_EQ(page.lines_kept(), 499u);
    EXPECT_EQ(text.size(), 40427u);
    page.put_truncation_notice(text);

    const std::string notice = "Data after after line 499 are not displayed..........."
                               " See Tips-Views-Limitations menu for discussion        ";
    ASSERT_EQ(notice.size(), 109u);
    EXPECT_EQ(page.notice(), notice);

    std::string expected;
    for (int i = 1; i <= 10; ++i) {
        char label[32];
        std::snprintf(label, sizeof label, "Header line %02d..............", i);
        expected += std::string(label) + "\r\n";
    }
    expected += notice + "\r\n";
    for (unsigned row = 12; row <= 499; ++row) {
        char label[96];
        std::snprintf(label, sizeof label, "Row %03u.........................................................................",
                      row);
        expected += std::string(label) + "\r\n";
    }
    expected += truncation_line;
    EXPECT_EQ(text.size(), 40495u);
    EXPECT_TRUE(text == expected) << "ends: ..." << text.substr(text.size() - 200);
    EXPECT_EQ(text.substr(300, 111), notice + "\r\n");
}

TEST(PageLimit, TheHeaderLineIsMatchedWithoutRegardToCaseAndLeftAloneOtherwise) {
    auto upper = long_page(600, "ALL CONTENT DISPLAYED.................................",
                           "SEE TIPS-VIEWS-LIMITATIONS MENU FOR POTENTIAL PROBLEMS");
    std::string text = upper.render_text();
    upper.put_truncation_notice(text);
    EXPECT_EQ(text.substr(300, 54), "Data after after line 499 are not displayed...........");

    auto other = long_page(600, "Something else........................................", see_tips);
    text = other.render_text();
    other.put_truncation_notice(text);
    EXPECT_EQ(text.substr(300, 54), "Something else........................................");
    EXPECT_EQ(text.substr(text.size() - 68), truncation_line);

    // Not cut: the text stays as rendered.
    auto small = long_page(20, all_content, see_tips);
    text = small.render_text();
    const std::string before = text;
    small.put_truncation_notice(text);
    EXPECT_EQ(text, before);
    EXPECT_EQ(text.substr(300, 109), all_content + " " + see_tips);

    // A text shorter than the cut offset is not the rendering: left alone.
    auto cut = long_page(600, all_content, see_tips);
    cut.render_text();
    std::string short_text = "short";
    cut.put_truncation_notice(short_text);
    EXPECT_EQ(short_text, "short");
}

// Records the calls a spreadsheet writer receives.
struct recording_writer {
    std::vector<std::string> calls;
    void next_column() { calls.push_back("column"); }
    void next_row() { calls.push_back("row"); }
    void add_label(const std::string& text, char prefix) { calls.push_back(std::string("label ") + prefix + text); }
    void add_number(const std::string& text, int decimals, int format_option) {
        calls.push_back("number " + text + " " + std::to_string(decimals) + " " + std::to_string(format_option));
    }
};

display_page writer_page() {
    display_page page;
    const auto& type = page.add_layout(layout("LT1", 40, {10, 20, 30, 40}));
    auto& first = page.add_line(type);
    first.add_label("Year");
    first.add_empty();
    first.add_number("1.500   ").format_option = 1;
    first.add_label("Mid", field_alignment::centred);
    auto& second = page.add_line(type);
    second.add("--", field_kind::label, field_alignment::repeat);
    second.add_label("R", field_alignment::right);
    second.add_number("12");
    second.add_label("");
    page.add_line(type);
    return page;
}

TEST(PageCells, EveryFieldBecomesOneCellAndEveryLineARow) {
    recording_writer writer;
    writer_page().write_to(writer);
    const std::vector<std::string> expected{
        "label 'Year", "column", "number 1.500    3 1", "label ^Mid", "row",
        "label \\--",   "label \"R", "number 12 0 0",     "label '",    "row",
        "row",
    };
    EXPECT_EQ(writer.calls, expected);
}

TEST(PageCells, ASelectionTakesTheSameFieldsAsTheText) {
    auto page = writer_page();
    // Column 21 falls in field 3 of line 1; column 15 in field 2 of line 2.
    const page_selection selection{1, 21, 2, 15};
    recording_writer writer;
    page.write_to(writer, selection);
    const std::vector<std::string> expected{
        "number 1.500    3 1", "label ^Mid", "row", "label \\--", "label \"R", "row",
    };
    EXPECT_EQ(writer.calls, expected);
    EXPECT_EQ(page.render_text(selection), "  1.500      Mid\r\n----------         R\r\n");

    // Column 11 falls on the empty field 2, so line 1 is taken from field 1.
    recording_writer whole;
    page.write_to(whole, {1, 11, 1, 0});
    EXPECT_EQ(whole.calls.front(), "label 'Year");
    EXPECT_EQ(whole.calls.size(), 5u);
}

}  // namespace
