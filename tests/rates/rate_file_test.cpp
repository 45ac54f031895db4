// The rate file: checksum blocks, line and file checksums, and every way a
// file can be damaged.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "rate_file_builder.h"
#include "rates/checksum_block.h"
#include "rates/rate_collection.h"
#include "util/text_error.h"

namespace {

std::string load_failure(const std::string& content, bool check = true) {
    fv::rate_collection rates;
    try {
        rates.load_rate_file_text("rates.txt", content, check);
    } catch (const fv::text_error& e) {
        return e.text();
    }
    return "";
}

std::string replace_once(std::string text, const std::string& from, const std::string& to) {
    const std::size_t pos = text.find(from);
    EXPECT_NE(pos, std::string::npos) << from;
    return text.replace(pos, from.size(), to);
}

TEST(ChecksumBlock, WorkedExampleReadsBackInBothForms) {
    const std::string checked = "\"A\" 1 1 1 1 1 1 1 1 1";
    EXPECT_EQ(fv::line_checksum(checked), 9455);
    EXPECT_EQ(fv::read_block("bda1111c24paaaaa"), 9455);  // symbol 0 odd: key at position 1
    EXPECT_EQ(fv::read_block("aamaa1111c24paaa"), 9455);  // symbol 0 even: key at position 2
    for (const char* block : {"bda1111c24paaaaa", "aamaa1111c24paaa"}) {
        fv::rate_set item;
        item.load(checked + " " + block, true);
        EXPECT_EQ(item.title, "A");
        EXPECT_EQ(item.computed_checksum, 9455);
        EXPECT_EQ(item.stored_checksum, 9455);
        for (double r : item.rates) EXPECT_EQ(r, 1.0);
    }
}

TEST(ChecksumBlock, EverySymbolKindHasItsNibble) {
    struct symbol_case {
        char symbol;
        int nibble;
    };
    const symbol_case cases[] = {
        {'1', 0},  {'2', 4},  {'3', 8},  {'4', 14}, {'5', 4},  {'6', 8},  {'A', 0},  {'a', 0},  {'P', 15},
        {'p', 15}, {'h', 7},  {'Q', 0},  {'q', 0},  {'Z', 9},  {'u', 4},  {'(', 10}, {')', 11}, {'7', 12},
        {'8', 13}, {'9', 14}, {'0', 15}, {' ', 0},  {'$', 0},  {'#', 0},  {'\x80', 0},
    };
    for (const auto& c : cases) EXPECT_EQ(fv::block_nibble(c.symbol), c.nibble) << c.symbol;
}

TEST(ChecksumBlock, WrittenBlocksReadBackAndVary) {
    fv::block_writer writer(12345);
    const std::int32_t values[] = {0, 1, 9455, -1, INT_MIN, INT_MAX, 0x12345678, -987654321};
    for (std::int32_t value : values) {
        std::string first;
        bool varied = false;
        for (int i = 0; i < 50; ++i) {
            const std::string block = writer.write(value);
            ASSERT_EQ(block.size(), 16u);
            EXPECT_EQ(fv::read_block(block), value) << block;
            const int key = fv::block_nibble(block[fv::block_nibble(block[0]) % 2 == 1 ? 1 : 2]);
            EXPECT_TRUE((key >= 3 && key <= 7) || key >= 11) << block;
            if (i == 0) first = block;
            varied = varied || block != first;
        }
        EXPECT_TRUE(varied);
    }
}

TEST(ChecksumBlock, ShortBlocksReadNothingPastTheirEnd) {
    EXPECT_EQ(fv::read_block(""), 0);
    EXPECT_EQ(fv::read_block("bd"), 0);
    EXPECT_EQ(fv::read_block("bda11"), 0);
}

TEST(ChecksumBlock, BytesAboveSevenBitsCountNegative) {
    EXPECT_EQ(fv::line_checksum("\xff"), -1);
    EXPECT_EQ(fv::line_checksum("a\x80"), 97 - 2 * 128);
}

TEST(ChecksumLine, NormalisationAndCheckedText) {
    EXPECT_EQ(fv::normalise_rate_line("   \"x\"\t1 // comment\n"), "\"x\" 1 ");
    EXPECT_EQ(fv::normalise_rate_line("\"a//b\" 1\n"), "\"a");  // cut inside the title too
    EXPECT_EQ(fv::normalise_rate_line("abc\r\n"), "abc");
    EXPECT_EQ(fv::normalise_rate_line("abc\t"), "abc\t");  // a tab ending the line stays
    EXPECT_EQ(fv::normalise_rate_line("  \t\n"), "");
    EXPECT_EQ(fv::checked_text("\"A\" 1 2  block \t "), "\"A\" 1 2");
    EXPECT_EQ(fv::checked_text("#EOF"), "");
    EXPECT_EQ(fv::checked_text(""), "");
}

TEST(RateFile, ValidFileLoadsSortedDescending) {
    fv::rate_collection rates;
    rates.load_rate_file_text("rates.txt", rate_test::small_file(), true);
    ASSERT_EQ(rates.actual().size(), 2u);
    ASSERT_EQ(rates.budget().size(), 2u);
    EXPECT_EQ(rates.actual()[0].title, "FY 1999 average");
    EXPECT_EQ(rates.actual()[1].title, "FY 1998 average");
    EXPECT_EQ(rates.actual()[0].source, fv::rate_source::actual);
    EXPECT_EQ(rates.budget()[0].title, "Budget 2001");
    EXPECT_EQ(rates.budget()[0].source, fv::rate_source::budget);
    EXPECT_DOUBLE_EQ(rates.actual()[1].rates[8], 5.90);
    EXPECT_EQ(rates.rate_file_path(), "rates.txt");
}

TEST(RateFile, AnyChangedCharacterBeforeTheBlockFails) {
    const std::string good = rate_test::small_file();
    const std::string failure = "rates.txt, line 4:  cr_rate_item::load check sum failure";
    const std::pair<std::string, std::string> edits[] = {
        {"\"FY 1999 average\"", "\"FY 1999 Average\""},  // title
        {"\"FY 1999 average\" 4.00", "\"FY 1999 average\" 4.01"},  // digit
        {"4.00 4.10", "4.00  4.10"},  // a blank between numbers
    };
    for (const auto& [from, to] : edits) EXPECT_EQ(load_failure(replace_once(good, from, to)), failure) << to;
    // Without checking, the changed line loads.
    EXPECT_EQ(load_failure(replace_once(good, "4.00 4.10", "4.00  4.10"), false), "");
}

TEST(RateFile, AnotherFormOfTheSameBlockLoads) {
    rate_test::file_builder b;
    b.section("#A actual");
    b.raw("\"A\" 1 1 1 1 1 1 1 1 1 aamaa1111c24paaa\n");
    b.sum_into_file("\"A\" 1 1 1 1 1 1 1 1 1");
    b.section("#B budget");
    b.raw("\"B\" 1 1 1 1 1 1 1 1 1 bda1111c24paaaaa\n");
    b.sum_into_file("\"B\" 1 1 1 1 1 1 1 1 1");
    // "B" differs from "A" by one in the title byte at position 2.
    std::string text = b.finish();
    text = replace_once(text, "bda1111c24paaaaa", rate_test::simple_block(9455 + 2));
    EXPECT_EQ(load_failure(text), "");
}

TEST(RateFile, BlankAndCommentLinesChangeNothing) {
    std::string text = rate_test::small_file();
    text = replace_once(text, "#B budget", "\n   \n// a comment line\n\t\n#B budget");
    text = replace_once(text, "\"Budget 2000\"", "// note\n\n\"Budget 2000\"");
    EXPECT_EQ(load_failure(text), "");
    fv::rate_collection a;
    fv::rate_collection b;
    a.load_rate_file_text("x", rate_test::small_file(), true);
    b.load_rate_file_text("x", text, true);
    EXPECT_EQ(a.file_checksum_value(), b.file_checksum_value());
}

TEST(RateFile, SectionLineTextIsInTheFileChecksum) {
    EXPECT_EQ(load_failure(replace_once(rate_test::small_file(), "#B budget", "#B Budget")),
              "cr_rate::load checksum failure on #EOF line");
    // Its last word is not.
    EXPECT_EQ(load_failure(replace_once(rate_test::small_file(), "#B budget section", "#B budget other")), "");
}

TEST(RateFile, LinesAfterTheEndLineAreIgnored) {
    EXPECT_EQ(load_failure(rate_test::small_file() + "garbage\n#X\n"), "");
}

TEST(RateFile, MissingEndLineIsCountedPastTheLastLineEnd) {
    std::string text = rate_test::small_file();
    text = text.substr(0, text.find("#EOF"));  // 7 lines, the last with its line end
    EXPECT_EQ(load_failure(text), "rates.txt, line 8:  missing end-of-file (#EOF) marker");
    text.pop_back();
    EXPECT_EQ(load_failure(text), "rates.txt, line 7:  missing end-of-file (#EOF) marker");
}

TEST(RateFile, EmptySectionFailsAtTheEndLine) {
    rate_test::file_builder b;
    b.section("#A actual");
    b.data("\"FY 1999 average\" 4 4 4 4 4 4 4 4 4");
    b.section("#B budget");
    EXPECT_EQ(load_failure(b.finish()), "ListItem get_prev called for NULL");
}

TEST(RateFile, DamagedFilesGiveTheirMessages) {
    const std::string good = rate_test::small_file();
    const std::pair<std::string, std::string> cases[] = {
        {"", "cr_rates::load_common missing \"#KDM-RATE-FILE\" on line 1 of input file"},
        {"#KDM-RATE-FIL\n", "cr_rates::load_common missing \"#KDM-RATE-FILE\" on line 1 of input file"},
        {replace_once(good, "#B budget", "#C budget"), "cr_rates::load unexpected character following \"#\""},
        {replace_once(good, "#B budget section", "#"), "cr_rates::load unexpected character following \"#\""},
        {replace_once(good, "\"Budget 2000\"", "Budget 2000"),
         "rates.txt, line 6:  Data line doesn't start with a quoted string"},
        {replace_once(good, "\"Budget 2000\" 5.00", "\"Budget 2000 5.00"),
         "rates.txt, line 6:  cr_rate_item::load found name without terminating quote"},
        {replace_once(good, "\"Budget 2000\" 5.00 5.10", "\"Budget 2000\" 5.10"),
         "rates.txt, line 6:  cr_rate_item::load fewer than 9 rates in file"},
        {replace_once(good, "\"Budget 2000\" 5.00", "\"Budget 2000\" nan"),
         "rates.txt, line 6:  cr_rate_item::load fewer than 9 rates in file"},
        {replace_once(good, "\"Budget 2000\" 5.00", "\"Budget 2000\" 1e999"),
         "rates.txt, line 6:  cr_rate_item::load fewer than 9 rates in file"},
        {replace_once(good, "5.90  ", "5.90  x"),
         "rates.txt, line 3:  cr_rate_item::load checksum block is not 16 bytes long"},
        {replace_once(good, "#EOF  ", "#EOF"), "whoops"},
        {replace_once(good, "#A actual section\n", ""),
         "rates.txt, line 2:  Data line comes before the first section line (#A or #B)"},
    };
    for (const auto& [text, message] : cases) EXPECT_EQ(load_failure(text), message) << text;
}

TEST(RateFile, FailingDataLineEmptiesBothLists) {
    fv::rate_collection rates;
    EXPECT_THROW(rates.load_rate_file_text("r", replace_once(rate_test::small_file(), "4.90  ", "4.91  "), true),
                 fv::text_error);
    EXPECT_TRUE(rates.actual().empty());
    EXPECT_TRUE(rates.budget().empty());
}

TEST(RateFile, ShortEndBlockIsAChecksumFailureNotAnOverread) {
    std::string text = rate_test::small_file();
    text = text.substr(0, text.find("#EOF")) + "#EOF  bd\n";
    EXPECT_EQ(load_failure(text), "cr_rate::load checksum failure on #EOF line");
}

TEST(RateFile, CrLfLineEndsReadAsLineFeeds) {
    std::string text;
    for (char c : rate_test::small_file()) {
        if (c == '\n') text += '\r';
        text += c;
    }
    EXPECT_EQ(load_failure(text), "");
}

TEST(RateFile, LongTitlesKeepThirtyCharacters) {
    rate_test::file_builder b;
    b.section("#A actual");
    b.data("\"0123456789012345678901234567890123\" 4 4 4 4 4 4 4 4 4");
    b.section("#B budget");
    b.data("\"Budget 2001\" 4 4 4 4 4 4 4 4 4");
    fv::rate_collection rates;
    rates.load_rate_file_text("r", b.finish(), true);
    EXPECT_EQ(rates.actual()[0].title, "012345678901234567890123456789");
}

TEST(RateFile, OverlongLinesAreReadInPieces) {
    // The 2048th character of a line starts a further line (here: not a
    // data line), numbered as such.
    std::string text = rate_test::small_file();
    text = replace_once(text, "#B budget", "// " + std::string(2044, 'x') + "!\n#B budget");
    EXPECT_EQ(load_failure(text), "rates.txt, line 6:  Data line doesn't start with a quoted string");
}

TEST(RateFile, FilesOnDiskAndTheirFailures) {
    fv::rate_collection rates;
    try {
        rates.load_rate_file("", true);
        FAIL();
    } catch (const fv::text_error& e) {
        EXPECT_EQ(e.text(), "cr_rates::load_common filename missing or void");
    }
    const auto dir = std::filesystem::temp_directory_path() / ("fv_rates_test_disk_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    try {
        rates.load_rate_file((dir / "absent.txt").string(), true);
        FAIL();
    } catch (const fv::text_error& e) {
        EXPECT_EQ(e.text(), "cr_rates::load_common unable to open input file");
    }
    const std::string path = (dir / "rates.txt").string();
    std::ofstream(path, std::ios::binary) << rate_test::small_file();
    rates.load_rate_file(path, true);
    EXPECT_EQ(rates.actual().size(), 2u);
    std::filesystem::remove_all(dir);
}

TEST(RateFile, WriterAndReaderAgree) {
    fv::rate_collection source;
    source.set_rate_file_sets({fv::rate_set(fv::rate_source::actual, "FY 2020 average", {0.37, 0.4, 0.4, 0.42, 0.45, 0.55, 0.7, 0.87, 1.45}),
                       fv::rate_set(fv::rate_source::actual, "FY 1982 average", {12.5, 13, 13.2, 13.8, 14, 14.1, 14.2, 14, 13.5})},
                      {fv::rate_set(fv::rate_source::budget, "Budget 2030", {5.3, 5.4, 5.2, 4.8, 4.6, 4.4, 4.4, 4.4, 4.6})});
    fv::block_writer writer(7);
    const std::string text = source.rate_file_text(writer, "generated for a test");
    fv::rate_collection loaded;
    loaded.load_rate_file_text("r", text, true);
    ASSERT_EQ(loaded.actual().size(), 2u);
    EXPECT_EQ(loaded.actual()[0].title, "FY 2020 average");
    EXPECT_EQ(loaded.actual()[0].rates, source.actual()[0].rates);
    EXPECT_EQ(loaded.budget()[0].rates, source.budget()[0].rates);
    // Each data line ends in two blanks, a 16-symbol block and a line feed.
    const std::string line = source.actual()[1].format_line(true, true, 2, &writer);
    EXPECT_EQ(line.substr(0, line.size() - 19),
              "\"FY 1982 average\" 12.50 13.00 13.20 13.80 14.00 14.10 14.20 14.00 13.50");
    EXPECT_EQ(line.substr(line.size() - 19, 2), "  ");
    EXPECT_EQ(line.back(), '\n');
}

}  // namespace
