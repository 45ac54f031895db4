// Counting and cutting UTF-8 by characters, and the two conversions the
// readers need, on texts whose bytes are written out by hand.
#include "util/utf8_text.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8Text, CountsAndCutsByCharacters) {
    struct case_ {
        std::string text;
        std::size_t characters;
        std::size_t first_two_bytes;  // bytes of the first two characters
        bool valid;
    };
    const case_ cases[] = {
        {"", 0, 0, true},
        {"ab", 2, 2, true},
        {"\xc3\xa9t\xc3\xa9", 3, 3, true},                // été
        {"\xce\x94\xce\xac", 2, 4, true},                 // Δά
        {"\xe6\xb0\xb4\xe9\x81\x93x", 3, 6, true},        // 水道x
        {"\xf0\x9f\x98\x80!", 2, 5, true},                // an emoji beyond the first plane
        {"caf\xe9!", 5, 2, false},                         // a Latin-1 byte is a character of its own
        {"\xc3", 1, 1, false},                             // a sequence cut short
        {"\xc0\xaf" "a", 3, 2, false},                     // an overlong slash: two invalid bytes
        {"\xed\xa0\x80", 3, 2, false},                     // an encoded surrogate is invalid
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fv::character_count(c.text), c.characters) << c.text;
        EXPECT_EQ(fv::prefix_bytes(c.text, 2), c.first_two_bytes) << c.text;
        EXPECT_EQ(fv::is_valid_utf8(c.text), c.valid) << c.text;
    }
    EXPECT_EQ(fv::first_characters("\xc3\xa9t\xc3\xa9", 100), "\xc3\xa9t\xc3\xa9");
    // Cut by bytes, never inside a character.
    EXPECT_EQ(fv::first_bytes("a\xe6\xb0\xb4" "b", 3), "a");
    EXPECT_EQ(fv::first_bytes("a\xe6\xb0\xb4" "b", 4), "a\xe6\xb0\xb4");
    // Invalid bytes become U+FFFD; valid text is kept.
    EXPECT_EQ(fv::valid_utf8("caf\xe9 \xc3\xa9"), "caf\xef\xbf\xbd \xc3\xa9");
    // Code points out: beyond the first plane in four bytes, a surrogate as U+FFFD.
    std::string out;
    fv::append_utf8(out, 0x1F600);
    fv::append_utf8(out, 0xD800);
    EXPECT_EQ(out, "\xf0\x9f\x98\x80\xef\xbf\xbd");
}

TEST(Utf8Text, Utf16AndLatin1) {
    EXPECT_EQ(fv::utf16_to_utf8(u"N\u03a9\u00e9"), "N\xce\xa9\xc3\xa9");
    // A surrogate pair is joined; a lone surrogate, high or low, becomes U+FFFD.
    EXPECT_EQ(fv::utf16_to_utf8(std::u16string{0xD83D, 0xDE00}), "\xf0\x9f\x98\x80");
    EXPECT_EQ(fv::utf16_to_utf8(std::u16string{0xD83D, 'x', 0xDE00}), "\xef\xbf\xbdx\xef\xbf\xbd");
    EXPECT_EQ(fv::latin1_to_utf8("caf\xe9 \xff"), "caf\xc3\xa9 \xc3\xbf");
}

TEST(Utf8Text, ControlCharactersBecomeBlanks) {
    // C0, DEL, C1 (NEL) and the line separator; other bytes, invalid ones too, stay.
    EXPECT_EQ(fv::with_controls_blanked("a\r\nb\tc\x7f" "d\xc2\x85" "e\xe2\x80\xa8" "f\xe9\xc3\xa9"),
              "a  b c d e f\xe9\xc3\xa9");
}

}  // namespace
