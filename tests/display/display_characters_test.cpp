// Display lines with texts beyond ASCII: widths, padding, centring, run-on
// and the page's size limit count characters, a cut never splits one, and a
// line break inside a cell text cannot break a line apart.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/display_field.h"
#include "display/display_line.h"
#include "display/line_layout.h"
#include "display/display_page.h"
#include "util/utf8_text.h"

namespace {

using fv::field_alignment;
using fv::field_kind;

const std::string e_acute = "\xc3\xa9";        // é, two bytes
const std::string delta = "\xce\x94";          // Δ, two bytes
const std::string water = "\xe6\xb0\xb4";      // 水, three bytes

std::string times(const std::string& text, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < n; ++i) out += text;
    return out;
}

fv::line_layout layout(unsigned width, std::vector<unsigned> bounds, std::vector<unsigned> margins) {
    fv::line_layout type("LT1", width);
    type.set_bounds(bounds, margins);
    return type;
}

fv::line_layout source_layout() { return layout(115, {55, 67, 79, 91, 103, 115}, {4, 0, 0, 0, 0, 0}); }

TEST(DisplayCharacters, FieldsPadAndCentreByCharacters) {
    const auto type = layout(24, {12, 24}, {2, 0});
    struct case_ {
        std::string text;
        field_kind kind;
        field_alignment align;
        std::string expected;
    };
    const case_ cases[] = {
        {"Pr" + e_acute + "stamo", field_kind::label, field_alignment::right, "    Pr" + e_acute + "stamo"},
        {"-1" + e_acute, field_kind::number, field_alignment::right, "       -1" + e_acute + "  "},
        {times(delta, 4), field_kind::label, field_alignment::centred, "    " + times(delta, 4) + "    "},
        {water + "x", field_kind::label, field_alignment::repeat, times(water, 12)},
        {times(delta, 13), field_kind::label, field_alignment::right, times(delta, 13)},  // does not fit: as it is
    };
    for (const auto& c : cases) {
        const fv::display_field field(c.text, c.kind, c.align);
        const std::string shown = field.render(type, 1);
        EXPECT_EQ(shown, c.expected) << c.text;
        if (c.expected.size() != c.text.size()) {
            EXPECT_EQ(fv::character_count(shown), 12u) << c.text;
        }
    }
}

TEST(DisplayCharacters, ColumnsOfALineStayWhereTheyAreForAnyScript) {
    const auto type = source_layout();
    // Headings of the same length in characters, longer in bytes, put the numbers in the same columns.
    const std::vector<std::string> headings = {
        "Disbursements (loans)",
        "Disbursements (pr" + e_acute + "st)",
        "Disbursements (" + times(delta, 6) + ")",
        "Disbursements (" + times(water, 6) + ")",
    };
    std::vector<std::size_t> number_columns;
    for (const auto& heading : headings) {
        fv::display_line line(type);
        line.add_label(heading);
        line.add_number("100.000");
        line.add_number("40.000");
        const std::string text = line.compose();
        const std::size_t at = text.find("100.000");
        ASSERT_NE(at, std::string::npos);
        number_columns.push_back(fv::character_count(text.substr(0, at)));
        EXPECT_EQ(fv::character_count(text), 79u) << heading;  // "40.000" ends with field 3
    }
    for (std::size_t column : number_columns) EXPECT_EQ(column, number_columns.front());

    // A run-on text is cut at the next field between two characters.
    fv::display_line cut(type);
    cut.add_label(times(water, 60));
    cut.add_number("1.50");
    EXPECT_EQ(cut.compose(), times(water, 55) + std::string(8, ' ') + "1.50");
    // From a later field on, the start column counts characters too.
    EXPECT_EQ(cut.compose(2), "        1.50");

    // A line break or other control inside a cell is a blank on the line.
    fv::display_line broken(type);
    broken.add_label("abc\r\ndef\xc2\x85g");
    broken.add_number("1.50");
    EXPECT_EQ(broken.compose(), "abc  def g" + std::string(45 + 8, ' ') + "1.50");
}

TEST(DisplayCharacters, ThePageLimitCountsCharacters) {
    fv::display_page page;
    const fv::line_layout& type = page.add_layout(layout(1000, {1000}, {0}));
    for (int i = 0; i < 60; ++i) page.add_line(type).add_label(times(e_acute, 1000));
    const std::string text = page.render_text();
    // 1002 characters a line with its line end: 40 lines fit in 40,456 (2004 bytes each).
    EXPECT_TRUE(page.was_cut());
    EXPECT_EQ(page.lines_kept(), 40u);
    EXPECT_EQ(text.size(), 40u * 2002u);
    EXPECT_EQ(page.cut_offset(), text.size());
}

}  // namespace
