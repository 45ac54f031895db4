#include "display/line_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "util/text_error.h"

namespace {

using fv::line_layout;

std::string failure_of(line_layout& type, std::vector<unsigned> bounds, std::vector<unsigned> margins) {
    try {
        type.set_bounds(bounds, margins);
    } catch (const fv::text_error& e) {
        return e.text();
    }
    return "(no failure)";
}

TEST(LineLayout, FieldWidthsAndColumnsOfASubsidyStyleLayout) {
    line_layout type("LT1", 115);
    const std::vector<unsigned> bounds{55, 67, 79, 91, 103, 115};
    const std::vector<unsigned> margins{4, 0, 0, 0, 0, 0};
    EXPECT_EQ(type.set_bounds(bounds, margins), 7u);
    EXPECT_EQ(type.field_count(), 7u);

    // field:                          0    1   2   3   4   5    6    7 (beyond)
    const unsigned widths[] = {115, 55, 12, 12, 12, 12, 12, 0};
    const unsigned compose[] = {0, 0, 55, 67, 79, 91, 103, 115};
    const unsigned select[] = {1, 1, 56, 68, 80, 92, 104, 115};
    const unsigned margin[] = {0, 4, 0, 0, 0, 0, 0, 0};
    for (unsigned i = 0; i < 8; ++i) {
        EXPECT_EQ(type.field_width(i), widths[i]) << "field " << i;
        EXPECT_EQ(type.compose_column(i), compose[i]) << "field " << i;
        EXPECT_EQ(type.selection_column(i), select[i]) << "field " << i;
        EXPECT_EQ(type.margin(i), margin[i]) << "field " << i;
    }
    EXPECT_EQ(type.boundary(0), 115u);
    EXPECT_EQ(type.boundary(3), 79u);
    EXPECT_EQ(type.field_width(1000), 0u);
    EXPECT_EQ(type.compose_column(1000), 115u);
}

TEST(LineLayout, FieldsBeyondALastBoundaryShortOfTheWidthStartAtTheWidth) {
    line_layout type("LT2", 30);
    type.set_bounds(std::vector<unsigned>{10, 15}, std::vector<unsigned>{0, 0});
    EXPECT_EQ(type.field_width(3), 0u);
    EXPECT_EQ(type.compose_column(3), 30u);
    EXPECT_EQ(type.selection_column(3), 30u);
}

TEST(LineLayout, WithoutBoundsEveryFieldLiesBeyondTheLine) {
    line_layout type("LT1", 40);
    EXPECT_EQ(type.field_count(), 1u);
    EXPECT_EQ(type.field_width(0), 40u);
    EXPECT_EQ(type.field_width(1), 0u);
    EXPECT_EQ(type.compose_column(1), 40u);
}

TEST(LineLayout, BoundaryFailuresAndTheOnesThatAreAllowed) {
    const std::string outside = "gr_line_type::set_bounds a line-type has field boundary outside the line width.";
    const std::string overlap = "gr_line_type::set_bounds a line-type has overlapping field boundaries.";
    struct bounds_case {
        std::vector<unsigned> bounds;
        std::string failure;
    };
    const bounds_case cases[] = {
        {{55, 67, 79, 91, 103, 116}, outside},
        {{55, 50}, overlap},
        {{116, 50}, outside},
        {{55, 55, 115}, "(no failure)"},  // a field of width 0
        {{0}, "(no failure)"},
        {{}, "(no failure)"},
        {{115}, "(no failure)"},
    };
    for (const auto& c : cases) {
        line_layout type("LT1", 115);
        EXPECT_EQ(failure_of(type, c.bounds, std::vector<unsigned>(c.bounds.size(), 0)), c.failure)
            << "first boundary " << (c.bounds.empty() ? 0 : c.bounds[0]);
    }

    line_layout type("LT1", 115);
    type.set_bounds(std::vector<unsigned>{55, 55, 115}, std::vector<unsigned>{0, 0, 0});
    EXPECT_EQ(type.field_width(2), 0u);
    EXPECT_EQ(type.compose_column(3), 55u);

    // A failed call leaves the earlier fields in place.
    EXPECT_EQ(failure_of(type, {20, 10}, {0, 0}), overlap);
    EXPECT_EQ(type.field_count(), 4u);
    EXPECT_EQ(type.boundary(3), 115u);

    EXPECT_EQ(failure_of(type, {20, 30}, {0}),
              "gr_line_type::set_bounds called with 2 boundaries and 1 margins");
}

TEST(LineLayout, ConstructionFailures) {
    try {
        line_layout type("", 10);
        ADD_FAILURE() << "an empty name was taken";
    } catch (const fv::text_error& e) {
        EXPECT_EQ(e.text(), "gr_line_type::gr_line_type called with a null name (first arg)");
    }
    try {
        line_layout type("LT1", 0);
        ADD_FAILURE() << "a zero width was taken";
    } catch (const fv::text_error& e) {
        EXPECT_EQ(e.text(), "gr_line_type::gr_line_type called with a zero width (second arg)");
    }
}

}  // namespace
