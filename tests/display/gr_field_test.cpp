#include "display/gr_field.h"

#include <gtest/gtest.h>

#include <vector>

#include "display/gr_line_type.h"

namespace {

using fv::gr_align;
using fv::gr_field;
using fv::gr_kind;

// Field widths 10, 12, 8, 0, 10; margins 4, 4, 2, 0, 3.
fv::gr_line_type test_layout() {
    fv::gr_line_type type("LT1", 40);
    type.set_bounds(std::vector<unsigned>{10, 22, 30, 30, 40}, std::vector<unsigned>{4, 4, 2, 0, 3});
    return type;
}

TEST(FieldRendering, AlignmentMarginsSpansAndTextsThatDoNotFit) {
    struct render_case {
        const char* text;
        gr_kind kind;
        gr_align align;
        unsigned field;
        unsigned span;
        const char* expected;
    };
    const render_case cases[] = {
        // Right-aligned numbers keep the margin; labels do not.
        {"1.50", gr_kind::number, gr_align::right, 2, 0, "    1.50    "},
        {"1.50", gr_kind::label, gr_align::right, 2, 0, "        1.50"},
        {"12345678", gr_kind::number, gr_align::right, 2, 0, "12345678    "},
        {"123456789", gr_kind::number, gr_align::right, 2, 0, "123456789"},
        {"123456789012", gr_kind::label, gr_align::right, 2, 0, "123456789012"},
        {"1234567890123", gr_kind::label, gr_align::right, 2, 0, "1234567890123"},
        {"7", gr_kind::number, gr_align::right, 1, 0, "     7    "},
        // Centred: (width - length) / 2 rounded down; the margin only decides whether it fits.
        {"Year", gr_kind::label, gr_align::centred, 3, 0, "  Year  "},
        {"abc", gr_kind::label, gr_align::centred, 3, 0, "  abc   "},
        {"abc", gr_kind::number, gr_align::centred, 3, 0, "  abc   "},
        {"1234567", gr_kind::number, gr_align::centred, 3, 0, "1234567"},
        {"Year", gr_kind::label, gr_align::centred, 3, 1, "  Year  "},
        // A span adds the widths of the following fields (beyond the last one: nothing).
        {"Components", gr_kind::label, gr_align::centred, 2, 2, "     Components     "},
        {"abcd", gr_kind::label, gr_align::centred, 3, 3, "       abcd       "},
        {"ab", gr_kind::label, gr_align::centred, 5, 3, "    ab    "},
        // Repeat fills the field with the first character.
        {"--", gr_kind::label, gr_align::repeat, 2, 0, "------------"},
        {"=-", gr_kind::label, gr_align::repeat, 3, 0, "========"},
        {"--", gr_kind::label, gr_align::repeat, 4, 0, "--"},
        // Left alignment and fields beyond the layout give the text itself.
        {"ab", gr_kind::label, gr_align::left, 2, 0, "ab"},
        {"1.5", gr_kind::number, gr_align::left, 2, 0, "1.5"},
        {"7", gr_kind::number, gr_align::right, 6, 0, "7"},
        {"", gr_kind::label, gr_align::right, 2, 0, ""},
        {"", gr_kind::empty, gr_align::repeat, 2, 0, ""},
    };
    const auto type = test_layout();
    for (const auto& c : cases) {
        gr_field field(c.text, c.kind, c.align, c.field);
        field.span = c.span;
        EXPECT_EQ(field.render(type, c.field), c.expected)
            << "\"" << c.text << "\" in field " << c.field << ", alignment " << static_cast<int>(c.align);
    }
}

TEST(FieldRendering, TheSubsidyHeadingCentredOverFourColumns) {
    // Columns 8, 19, 30, 41, 52: fields 3 to 6 are 11 wide each, 44 in all.
    fv::gr_line_type type("LT2", 85);
    type.set_bounds(std::vector<unsigned>{8, 19, 30, 41, 52, 63, 74, 85}, std::vector<unsigned>(8, 3));
    gr_field field("Subsidy components", gr_kind::label, gr_align::centred, 3);
    field.span = 4;
    EXPECT_EQ(field.render(type, 3), std::string(13, ' ') + "Subsidy components" + std::string(13, ' '));
}

TEST(FieldForWriters, LabelPrefixesAndDecimals) {
    EXPECT_EQ(gr_field("a", gr_kind::label, gr_align::left).label_prefix(), '\'');
    EXPECT_EQ(gr_field("a", gr_kind::label, gr_align::right).label_prefix(), '"');
    EXPECT_EQ(gr_field("a", gr_kind::label, gr_align::centred).label_prefix(), '^');
    EXPECT_EQ(gr_field("a", gr_kind::label, gr_align::repeat).label_prefix(), '\\');

    const std::pair<const char*, int> cases[] = {
        {"1.500", 3}, {"12", 0}, {"1.500   ", 3}, {"-0.25", 2}, {"1.", 0},
        {".", 0},     {"", 0},   {"1.2.3", 1},    {"1.0000001", 7},
    };
    for (const auto& [text, decimals] : cases)
        EXPECT_EQ(gr_field(text, gr_kind::number, gr_align::right).decimals(), decimals) << "\"" << text << "\"";
}

}  // namespace
