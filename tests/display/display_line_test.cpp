#include "display/display_line.h"

#include <gtest/gtest.h>

#include <vector>

#include "display/line_layout.h"

namespace {

using fv::field_alignment;
using fv::field_kind;
using fv::display_line;
using fv::line_layout;

line_layout layout(unsigned width, std::vector<unsigned> bounds, std::vector<unsigned> margins) {
    line_layout type("LT1", width);
    type.set_bounds(bounds, margins);
    return type;
}

// The source-data layout: 55, then 12 wide up to 115; margin 4 in field 1.
line_layout source_layout() { return layout(115, {55, 67, 79, 91, 103, 115}, {4, 0, 0, 0, 0, 0}); }

// One piece of content of a test line: kind 'L' label (left), 'R' label
// (right), 'N' number (right), 'E' empty.
struct piece {
    char kind;
    std::string text;
};

display_line make_line(const line_layout& type, const std::vector<piece>& pieces) {
    display_line line(type);
    for (const auto& p : pieces) {
        switch (p.kind) {
        case 'L': line.add_label(p.text); break;
        case 'R': line.add_label(p.text, field_alignment::right); break;
        case 'N': line.add_number(p.text); break;
        default: line.add_empty(); break;
        }
    }
    return line;
}

const std::string label60 = "Disbursements of the cohort, all periods, before any change.";  // 60 long
const std::string blanks(std::size_t n) { return std::string(n, ' '); }

TEST(LineComposing, RunOnCutOffAndTrailingBlanks) {
    ASSERT_EQ(label60.size(), 60u);
    const auto type = source_layout();
    struct compose_case {
        const char* what;
        std::vector<piece> pieces;
        std::string expected;
    };
    const compose_case cases[] = {
        {"a long label runs on over an empty field", {{'L', label60}, {'E', ""}}, label60},
        {"a long label is cut by the next non-empty field",
         {{'L', label60}, {'N', "1.50"}},
         label60.substr(0, 55) + blanks(8) + "1.50"},
        {"the cut comes at the first non-empty field, not the next field",
         {{'L', label60}, {'E', ""}, {'N', "2.00"}},
         label60 + blanks(15) + "2.00"},
        {"a label longer than the line stops at the line's end",
         {{'L', label60 + label60 + "0123456789"}},
         (label60 + label60).substr(0, 115)},
        {"a number keeps its margin, trailing blanks go",
         {{'N', "1.50"}},
         blanks(47) + "1.50"},
        {"a header line: 54-character label, value in field 2",
         {{'L', "Program name.........................................."}, {'L', "Loans"}},
         "Program name.......................................... Loans"},
        {"numbers across the fields",
         {{'L', "Row"}, {'N', "1.000"}, {'N', "-22.500"}, {'E', ""}, {'N', "3"}},
         "Row" + blanks(52) + "       1.000" + "     -22.500" + blanks(12) + blanks(11) + "3"},
        {"blank texts make an empty line", {{'L', "   "}, {'E', ""}, {'R', ""}}, ""},
        {"no fields make an empty line", {}, ""},
        {"a right-aligned label has no margin", {{'R', "x"}, {'E', ""}, {'E', ""}}, blanks(54) + "x"},
    };
    for (const auto& c : cases) EXPECT_EQ(make_line(type, c.pieces).compose(), c.expected) << c.what;

    display_line dashes(type);
    for (int i = 0; i < 3; ++i) dashes.add("--", field_kind::label, field_alignment::repeat);
    EXPECT_EQ(dashes.compose(), std::string(79, '-'));
}

TEST(LineComposing, FieldsBeyondTheLayoutStartAtTheLineWidth) {
    // Last boundary short of the width: a third field would start at column
    // 15 by the boundaries, but it lies beyond the layout and so at column 20.
    const auto type = layout(20, {10, 15}, {0, 0});
    EXPECT_EQ(make_line(type, {{'L', "a"}, {'L', "b"}, {'L', "ccc"}, {'N', "4"}}).compose(),
              "a" + blanks(9) + "b");
    EXPECT_EQ(make_line(type, {{'L', "a"}, {'L', "bbbbbbbbbbbb"}, {'L', "c"}}).compose(),
              "a" + blanks(9) + "bbbbbbbbbb");

    // Far more pieces than fields.
    display_line many(type);
    for (int i = 0; i < 300; ++i) many.add_label("z");
    EXPECT_EQ(many.compose(), "z" + blanks(9) + "z");
    EXPECT_EQ(many.field(300).field_number, 300u);
}

TEST(LineComposing, ARangeOfFieldsStartsAtItsFirstField) {
    const auto type = layout(30, {10, 20, 30}, {0, 0, 0});
    const auto line = make_line(type, {{'L', "a"}, {'L', "b"}, {'L', "c"}});
    struct range_case {
        unsigned first, last;
        std::string expected;
    };
    const range_case cases[] = {
        {0, 0, "a" + blanks(9) + "b" + blanks(9) + "c"},
        {2, 0, "b" + blanks(9) + "c"},
        {1, 2, "a" + blanks(9) + "b"},
        {2, 2, "b"},
        {3, 9, "c"},
        {3, 1, ""},
        {4, 0, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(line.compose(c.first, c.last), c.expected) << c.first << ".." << c.last;

    // A text that runs on keeps running when the range ends before its cut.
    const auto long_first = make_line(type, {{'L', "abcdefghijklmno"}, {'L', "b"}});
    EXPECT_EQ(long_first.compose(1, 1), "abcdefghijklmno");
    EXPECT_EQ(long_first.compose(), "abcdefghij" + std::string("b"));
}

TEST(LineSelection, ColumnsMapToTheLastNonEmptyFieldStartingAtOrBeforeThem) {
    const auto type = source_layout();
    const auto line = make_line(type, {{'L', "Label"}, {'E', ""}, {'N', "1.00"}, {'N', "2.00"}});
    const std::pair<unsigned, unsigned> cases[] = {
        {0, 0}, {1, 1}, {55, 1}, {56, 1}, {67, 1}, {68, 3}, {79, 3}, {80, 4}, {200, 4},
    };
    for (const auto& [column, field] : cases) EXPECT_EQ(line.field_at_column(column), field) << "column " << column;

    const auto late = make_line(type, {{'E', ""}, {'L', "x"}});
    EXPECT_EQ(late.field_at_column(10), 0u);
    EXPECT_EQ(late.field_at_column(56), 2u);
    EXPECT_EQ(display_line(type).field_at_column(5), 0u);
}

}  // namespace
