#include "display/display_field.h"

#include <gtest/gtest.h>

#include <vector>

#include "display/line_layout.h"

namespace {

using fv::field_alignment;
using fv::display_field;
using fv::field_kind;

// Field widths 10, 12, 8, 0, 10; margins 4, 4, 2, 0, 3.
fv::line_layout test_layout() {
    fv::line_layout type("LT1", 40);
    type.set_bounds(std::vector<unsigned>{10, 22, 30, 30, 40}, std::vector<unsigned>{4, 4, 2, 0, 3});
    return type;
}

TEST(FieldRendering, AlignmentMarginsSpansAndTextsThatDoNotFit) {
    struct render_case {
        const char* text;
        field_kind kind;
        field_alignment align;
        unsigned field;
        unsigned span;
        const char* expected;
    };
    const render_case cases[] = {
        // Right-aligned numbers keep the margin; labels do not.
        {"1.50", field_kind::number, field_alignment::right, 2, 0, "    1.50    "},
        {"1.50", field_kind::label, field_alignment::right, 2, 0, "        1.50"},
        {"12345678", field_kind::number, field_alignment::right, 2, 0, "12345678    "},
        {"123456789", field_kind::number, field_alignment::right, 2, 0, "123456789"},
        {"123456789012", field_kind::label, field_alignment::right, 2, 0, "123456789012"},
        {"1234567890123", field_kind::label, field_alignment::right, 2, 0, "1234567890123"},
        {"7", field_kind::number, field_alignment::right, 1, 0, "     7    "},
        // Centred: (width - length) / 2 rounded down; the margin only decides whether it fits.
        {"Year", field_kind::label, field_alignment::centred, 3, 0, "  Year  "},
        {"abc", field_kind::label, field_alignment::centred, 3, 0, "  abc   "},
        {"abc", field_kind::number, field_alignment::centred, 3, 0, "  abc   "},
        {"1234567", field_kind::number, field_alignment::centred, 3, 0, "1234567"},
        {"Year", field_kind::label, field_alignment::centred, 3, 1, "  Year  "},
        // A span adds the widths of the following fields (beyond the last one: nothing).
        {"Components", field_kind::label, field_alignment::centred, 2, 2, "     Components     "},
        {"abcd", field_kind::label, field_alignment::centred, 3, 3, "       abcd       "},
        {"ab", field_kind::label, field_alignment::centred, 5, 3, "    ab    "},
        // Repeat fills the field with the first character.
        {"--", field_kind::label, field_alignment::repeat, 2, 0, "------------"},
        {"=-", field_kind::label, field_alignment::repeat, 3, 0, "========"},
        {"--", field_kind::label, field_alignment::repeat, 4, 0, "--"},
        // Left alignment and fields beyond the layout give the text itself.
        {"ab", field_kind::label, field_alignment::left, 2, 0, "ab"},
        {"1.5", field_kind::number, field_alignment::left, 2, 0, "1.5"},
        {"7", field_kind::number, field_alignment::right, 6, 0, "7"},
        {"", field_kind::label, field_alignment::right, 2, 0, ""},
        {"", field_kind::empty, field_alignment::repeat, 2, 0, ""},
    };
    const auto type = test_layout();
    for (const auto& c : cases) {
        display_field field(c.text, c.kind, c.align, c.field);
        field.span = c.span;
        EXPECT_EQ(field.render(type, c.field), c.expected)
            << "\"" << c.text << "\" in field " << c.field << ", alignment " << static_cast<int>(c.align);
    }
}

TEST(FieldRendering, TheSubsidyHeadingCentredOverFourColumns) {
    // Columns 8, 19, 30, 41, 52: fields 3 to 6 are 11 wide each, 44 in all.
    fv::line_layout type("LT2", 85);
    type.set_bounds(std::vector<unsigned>{8, 19, 30, 41, 52, 63, 74, 85}, std::vector<unsigned>(8, 3));
    display_field field("Subsidy components", field_kind::label, field_alignment::centred, 3);
    field.span = 4;
    EXPECT_EQ(field.render(type, 3), std::string(13, ' ') + "Subsidy components" + std::string(13, ' '));
}

TEST(FieldForWriters, LabelPrefixesAndDecimals) {
    EXPECT_EQ(display_field("a", field_kind::label, field_alignment::left).label_prefix(), '\'');
    EXPECT_EQ(display_field("a", field_kind::label, field_alignment::right).label_prefix(), '"');
    EXPECT_EQ(display_field("a", field_kind::label, field_alignment::centred).label_prefix(), '^');
    EXPECT_EQ(display_field("a", field_kind::label, field_alignment::repeat).label_prefix(), '\\');

    const std::pair<const char*, int> cases[] = {
        {"1.500", 3}, {"12", 0}, {"1.500   ", 3}, {"-0.25", 2}, {"1.", 0},
        {".", 0},     {"", 0},   {"1.2.3", 1},    {"1.0000001", 7},
    };
    for (const auto& [text, decimals] : cases)
        EXPECT_EQ(display_field(text, field_kind::number, field_alignment::right).decimals(), decimals) << "\"" << text << "\"";
}

}  // namespace
