// Case-insensitive comparison folds A-Z and a-z only: every other byte, the
// letters of other scripts included, compares as it is, whatever the locale.
#include "util/ascii.h"

#include <gtest/gtest.h>

namespace fv {
namespace {

TEST(ascii, comparison_ignores_the_case_of_ascii_letters_only) {
    const struct {
        std::string_view a, b;
        bool equal;
    } cases[] = {
        {"WATER_loans", "water_LOANS", true},
        {"", "", true},
        {"Range1", "range1 ", false},  // lengths differ
        {"I", "i", true},
        {"@[", "`{", false},           // the neighbours of A-Z and a-z do not fold
        {"\xC9T\xC9", "\xE9t\xE9", false},  // Latin-1 É and é stay apart
        {"\xC3\x89", "\xC3\xA9", false},    // so do UTF-8 É and é
    };
    for (const auto& c : cases) EXPECT_EQ(equal_ignoring_case(c.a, c.b), c.equal) << c.a << " / " << c.b;
}

TEST(ascii, prefixes_and_suffixes_match_whole) {
    EXPECT_TRUE(starts_with_ignoring_case("#EOF 123", "#eof"));
    EXPECT_FALSE(starts_with_ignoring_case("#eo", "#eof"));
    EXPECT_TRUE(starts_with_ignoring_case("anything", ""));
    EXPECT_TRUE(ends_with_ignoring_case("Book.XLSX", ".xlsx"));
    EXPECT_FALSE(ends_with_ignoring_case("xlsx", ".xlsx"));
    EXPECT_FALSE(ends_with_ignoring_case("Book.xlsm", ".xlsx"));
}

TEST(ascii, character_classes) {
    EXPECT_EQ(ascii_upper('z'), 'Z');
    EXPECT_EQ(ascii_lower('A'), 'a');
    EXPECT_EQ(ascii_upper('\xE9'), '\xE9');
    EXPECT_TRUE(ascii_digit('0') && ascii_digit('9'));
    EXPECT_FALSE(ascii_digit('/') || ascii_digit(':') || ascii_digit('\xB2'));  // ² is no digit
    EXPECT_TRUE(ascii_letter('a') && ascii_letter('Z'));
    EXPECT_FALSE(ascii_letter('@') || ascii_letter('[') || ascii_letter('\xE9'));
}

}  // namespace
}  // namespace fv
