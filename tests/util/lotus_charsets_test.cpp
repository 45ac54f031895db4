// The Lotus character sets against their published code charts: bytes
// worked out by hand from the charts of code pages 850 (group 1), 851 (group
// 2), 1251 (group 5), 852 (group 6), Big5 (group 0x12), 932 (group 0x10) and
// of LICS. The same bytes read by gnumeric are compared in the workbook and
// writer tests.
#include <gtest/gtest.h>

#include "util/code_page.h"
#include "util/lics.h"
#include "util/lmbcs.h"

namespace {

const std::string fffd = "\xef\xbf\xbd";

TEST(Lmbcs, DecodesTheGroupsByTheirCodePages) {
    struct case_ {
        std::string bytes;
        std::string text;
    };
    const case_ cases[] = {
        {"Pr\x82stamos f\x81r \xa4" "and\xa3", "Pr\u00e9stamos f\u00fcr \u00f1and\u00fa"},  // group 1, no group byte
        {"\x01\x82", "\u00e9"},                                      // group 1 named
        {"\x02\xa7\x02\x9b", "\u0394\u03ac"},                         // Greek
        {"\x05\xca\x05\xf0\x05\xe5", "\u041a\u0440\u0435"},           // Cyrillic
        {"\x06\x88", "\u0142"},                                      // Latin-2
        {"abc\x0f\x2d\x0f\x2a" "def", "abc\r\ndef"},                  // the control group: CR LF
        {"a\tb\nc\rd", "a\tb\nc\rd"},                                 // fixed controls
        {"\x12\xa4\xf4", "\u6c34"},                                   // Big5
        {"\x10\x10\xb1", "\uff71"},                                   // a single byte of code page 932
        {"\x14\x03\xa9\x14\xf6\x4e", "\u03a9\u4e00"},                 // UTF-16, a zero low byte written F6
        // What is not decoded: Lotus's own lower halves, unknown groups, a group byte at the end.
        {"\x01\x26x", fffd + "x"},
        {"\x07\x41" "b", fffd + "b"},
        {"x\x05", "x" + fffd},
        {"\x12\xa4", fffd},
    };
    for (const auto& c : cases) EXPECT_EQ(fv::lmbcs_to_utf8(c.bytes), c.text) << c.text;

    // Bytes without a group byte belong to the file's default group.
    EXPECT_EQ(fv::lmbcs_to_utf8("\x88", 6), "\u0142");                  // 852, where 850 has ê
    EXPECT_EQ(fv::lmbcs_to_utf8("\xa4\xf4" "a\xb9", 0x12), "\u6c34a" + fffd);  // Big5, a lead byte cut short
    EXPECT_EQ(fv::lmbcs_to_utf8("\x88", 0), "\u00ea");                  // no group: group 1
}

TEST(Lmbcs, EncodesIntoTheFirstGroupThatHoldsTheCharacter) {
    struct case_ {
        std::string text;
        std::string bytes;
    };
    const case_ cases[] = {
        {"Pr\u00e9stamos \u00f1", "Pr\x82stamos \xa4"},
        {"\u0394\u041a\u0142", "\x02\xa7\x05\xca\x06\x88"},
        {"\u6c34", "\x12\xa4\xf4"},
        {"a\r\nb\x01", "a\r\nb\x0f\x21"},
        {"\U0001F600 \u20ac", "? \x05\x88"},  // no group holds the emoji; the euro sign is in code page 1251
    };
    for (const auto& c : cases) {
        bool cut = true;
        EXPECT_EQ(fv::utf8_to_lmbcs(c.text, 100, cut), c.bytes) << c.text;
        EXPECT_FALSE(cut);
    }
    // The limit counts bytes and never splits a character.
    bool cut = false;
    EXPECT_EQ(fv::utf8_to_lmbcs("\u041a\u041a", 3, cut), "\x05\xca");
    EXPECT_TRUE(cut);
    EXPECT_EQ(fv::utf8_to_lmbcs("\u00e9\u00e9", 2, cut), "\x82\x82");
    EXPECT_FALSE(cut);
}

TEST(Lics, UpperHalfAndWhatItCannotHold) {
    EXPECT_EQ(fv::lics_to_utf8("Pr\xe9stamos f\xfcr \xf1" "and\xfa"), "Pr\u00e9stamos f\u00fcr \u00f1and\u00fa");
    // Where LICS differs from ISO 8859-1, and a byte it leaves undefined.
    EXPECT_EQ(fv::lics_to_utf8("\xd7\xf7\xdd\xfd\xa3\xa0\x95"), "\u0152\u0153\u0178\u00ff\u00a3\u0192\u0131");
    EXPECT_EQ(fv::lics_to_utf8("\x85"), fffd);
    bool cut = true;
    EXPECT_EQ(fv::utf8_to_lics("\u00e9\u0153 \u0394\u03a9\u6c34", 100, cut), "\xe9\xf7 \xac??");
    EXPECT_FALSE(cut);
    EXPECT_EQ(fv::utf8_to_lics("\u00e9\u00e9\u00e9", 2, cut), "\xe9\xe9");
    EXPECT_TRUE(cut);
}

TEST(CodePage, WorkbookCodePagesAndTheFallback) {
    struct case_ {
        unsigned code_page;
        std::string bytes;
        std::string text;
    };
    const case_ cases[] = {
        {1252, "Caf\xe9 \x80", "Caf\u00e9 \u20ac"},
        {32769, "Caf\xe9", "Caf\u00e9"},                 // Excel's other number for 1252
        {1251, "\xca\xf0", "\u041a\u0440"},
        {1253, "\xc4\xdc", "\u0394\u03ac"},
        {10000, "\x8e\xa5", "\u00e9\u2022"},             // Macintosh Roman
        {32768, "\x8e", "\u00e9"},
        {20127, "a\xe9", "a" + fffd},                    // ASCII
        {367, "a\xe9", "a" + fffd},
        {932, "\x90\x85\x93\xb9", "\u6c34\u9053"},       // Shift-JIS
        {1200, std::string("\xa9\x03\x41\x00", 4), "\u03a9A"},
        {4242, "Caf\xe9", "Caf\u00e9"},                  // unknown: 1252
    };
    for (const auto& c : cases) EXPECT_EQ(fv::decode_code_page(c.bytes, c.code_page), c.text) << c.code_page;
}

}  // namespace
