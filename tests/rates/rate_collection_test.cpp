// The own-rate file, the user's sets, the finders and the listings.
#include <gtest/gtest.h>

#include "rates/message_of.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "rate_file_builder.h"
#include "rates/rate_collection.h"
#include "util/text_error.h"

namespace {

namespace fs = std::filesystem;

std::string read_all(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_all(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class OwnRateFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("fv_own_rates_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

fv::rate_set set_of(const std::string& title, double rate) {
    fv::rate_set item;
    item.title = title;
    item.rates.fill(rate);
    return item;
}

TEST_F(OwnRateFile, HeaderLinesSurviveASaveAndLaterCommentsDoNot) {
    const fs::path path = dir / "own.txt";
    write_all(path,
              "#CLIENT-RATE-FILE kept\n"
              "// my comment\n"
              "\n"
              "   // indented comment\n"
              "\"beta\" 1 2 3 4 5 6 7 8 9\n"
              "// dropped by the next save\n"
              "\n"
              "\"Alpha\"\t1.5 2 3 4 5 6 7 8 9 trailing text\n");
    fv::rate_collection rates;
    rates.load_own_file(path.string());
    ASSERT_EQ(rates.own().size(), 2u);
    EXPECT_EQ(rates.own()[0].title, "Alpha");  // ascending, case-insensitive
    EXPECT_EQ(rates.own()[1].title, "beta");
    EXPECT_EQ(rates.own()[0].source, fv::rate_source::own);
    EXPECT_EQ(rates.header_lines().size(), 4u);
    rates.save_own_file();
    EXPECT_EQ(read_all(path),
              "#CLIENT-RATE-FILE kept\n"
              "// my comment\n"
              "\n"
              "   // indented comment\n"
              "\"Alpha\"  1.5000  2.0000  3.0000  4.0000  5.0000  6.0000  7.0000  8.0000  9.0000\n"
              "\"beta\"  1.0000  2.0000  3.0000  4.0000  5.0000  6.0000  7.0000  8.0000  9.0000\n");
    // The previous file is kept as the backup.
    EXPECT_NE(read_all(dir / "own.bak").find("dropped by the next save"), std::string::npos);
}

TEST_F(OwnRateFile, EmptyAndAbsentFiles) {
    const fs::path path = dir / "new.txt";
    fv::rate_collection rates;
    rates.load_own_file(path.string());  // created empty
    EXPECT_TRUE(fs::exists(path));
    EXPECT_TRUE(rates.own().empty());
    rates.add_own(set_of("Flat 5", 5));
    rates.save_own_file();
    EXPECT_EQ(read_all(path),
              "#CLIENT-RATE-FILE\n\n\"Flat 5\"  5.0000  5.0000  5.0000  5.0000  5.0000  5.0000  5.0000  5.0000  "
              "5.0000\n");
    fv::rate_collection again;
    again.load_own_file(path.string());
    ASSERT_EQ(again.own().size(), 1u);

    const std::string unreachable = (dir / "no" / "such" / "dir.txt").string();
    EXPECT_EQ(message_of([&] { rates.load_own_file(unreachable); }),
              "\"" + unreachable +
                  "\" does not exist and cannot be created.\nThis was in the \"own filename\" box in the rate "
                  "select dialog.\nPlease use the rate select dialog to choose another name, directory, or drive.");

    rates.load_own_file("");
    EXPECT_FALSE(rates.own_file_path().has_value());
    rates.save_own_file();  // nothing to do
}

TEST_F(OwnRateFile, DamagedOwnFiles) {
    fv::rate_collection rates;
    const std::pair<std::string, std::string> cases[] = {
        {"#CLIENT-RATE-FIL\n", "cr_rates::load_custom missing \"#CLIENT-RATE-FILE\" on line 1 of input file"},
        {"#client-rate-file\n\nnot quoted\n", "cr_rates::load_custom data line doesn't start with a quoted string"},
        {"#CLIENT-RATE-FILE\n\"a\" 1 2 3\n", "own, line 2:  cr_rate_item::load fewer than 9 rates in file"},
        {"#CLIENT-RATE-FILE\n\"a 1 2 3\n", "own, line 2:  cr_rate_item::load found name without terminating quote"},
    };
    for (const auto& [text, message] : cases)
        EXPECT_EQ(message_of([&] { rates.load_own_file_text("own", text); }), message) << text;
    EXPECT_EQ(message_of([&] { rates.load_own_file_text("own", "#CLIENT-RATE-FILE\r\n\r\n\"a\" 1 2 3 4 5 6 7 8 9\r\n"); }),
              "");
    EXPECT_EQ(rates.header_lines().size(), 2u);
}

TEST_F(OwnRateFile, LongTitlesAndLargeRatesSurviveARoundTrip) {
    const fs::path path = dir / "own.txt";
    fv::rate_collection rates;
    rates.load_own_file(path.string());
    fv::rate_set item = set_of("A title of thirty characters!!", 5);
    item.rates = {100, 123.4567, -150, 0.0001, 5, 6, 7, 8, 1000};
    rates.add_own(item);
    rates.save_own_file();
    fv::rate_collection again;
    again.load_own_file(path.string());
    ASSERT_EQ(again.own().size(), 1u);
    EXPECT_EQ(again.own()[0].title, "A title of thirty characters!!");
    EXPECT_EQ(again.own()[0].rates, item.rates);
}

TEST_F(OwnRateFile, FailedSaveLeavesTheOriginalAsItWas) {
    const fs::path path = dir / "own.txt";
    const std::string original = "#CLIENT-RATE-FILE\n\"a\" 1 2 3 4 5 6 7 8 9\n";
    write_all(path, original);
    write_all(dir / "own.txt.new", "someone else's file\n");  // a save never takes a fixed name
    fv::rate_collection rates;
    rates.load_own_file(path.string());
    rates.add_own(set_of("b", 2));

    fs::create_directories(dir / "own.bak");  // no backup can be kept
    EXPECT_EQ(message_of([&] { rates.save_own_file(); }),
              "cr_rates::save_custom failed to keep a backup of the own-rate file. Original file unchanged.");
    EXPECT_EQ(read_all(path), original);
    fs::remove(dir / "own.bak");

    rates.save_own_file();
    EXPECT_EQ(read_all(dir / "own.bak"), original);
    EXPECT_EQ(read_all(dir / "own.txt.new"), "someone else's file\n");
    fv::rate_collection again;
    again.load_own_file(path.string());
    EXPECT_EQ(again.own().size(), 2u);

    fs::remove_all(dir);  // the folder went away under the program
    EXPECT_EQ(message_of([&] { rates.save_own_file(); }),
              "cr_rates::save_custom failed to open the output file. Original file unchanged.");
}

TEST_F(OwnRateFile, OnlyRegularFilesAreRead) {
    // A device or folder typed as the own-rate file is refused, not read
    // until memory runs out.
    for (const std::string& path : {std::string("/dev/zero"), dir.string()}) {
        fv::rate_collection rates;
        EXPECT_EQ(message_of([&] { rates.load_own_file(path); }), "cr_rates::load_custom unable to open input file")
            << path;
        EXPECT_EQ(message_of([&] { rates.load_rate_file(path, true); }), "cr_rates::load_common unable to open input file")
            << path;
    }
}

TEST_F(OwnRateFile, NumbersAreReadAsScanfReadsThemInTheCLocale) {
    fv::rate_collection rates;
    rates.load_own_file_text("own", "#CLIENT-RATE-FILE\n\"a\" 1e-400 0x1p3 +2 -3 4. .5 6e0 7\t8\n");
    ASSERT_EQ(rates.own().size(), 1u);
    const std::array<double, 9> expected = {0, 8, 2, -3, 4, 0.5, 6, 7, 8};
    EXPECT_EQ(rates.own()[0].rates, expected);
    // No number, no finite number, and a decimal comma (the reading stops at it).
    for (const char* bad : {"+-1", "inf", "1e999", "1,5"}) {
        EXPECT_EQ(message_of([&] {
                      rates.load_own_file_text("own", std::string("#CLIENT-RATE-FILE\n\"a\" ") + bad +
                                                        " 2 3 4 5 6 7 8 9\n");
                  }),
                  "own, line 2:  cr_rate_item::load fewer than 9 rates in file")
            << bad;
    }
}

TEST(OwnRateBackup, BackupNames) {
    EXPECT_EQ(fv::rate_collection::backup_name("/home/u/own.txt"), "/home/u/own.bak");
    EXPECT_EQ(fv::rate_collection::backup_name("/home/u/own.bak"), "/home/u/own.bak.bak");
    EXPECT_EQ(fv::rate_collection::backup_name("/home/u/ab"), "/home/u/ab.bak");
    EXPECT_EQ(fv::rate_collection::backup_name("rates"), "rabak");
}

TEST(UserSets, DuplicateAndUnstorableTitlesAreRefused) {
    fv::rate_collection rates;
    rates.add_own(set_of("abc", 1));
    EXPECT_EQ(message_of([&] { rates.add_own(set_of("ABC", 2)); }),
              "New scenario was not added because rate scenario titles must be unique");
    // Each would come back changed or break the file at the next load.
    for (const std::string& title : {std::string("say \"hi\""), std::string("a//b"), std::string("two\nlines"),
                                    std::string("cr\r"), std::string("tab\there"), std::string("nul\0x", 5)}) {
        EXPECT_EQ(message_of([&] { rates.add_own(set_of(title, 2)); }),
                  "Rate scenario titles cannot contain a double quote (\"), two slashes (//), a line break or "
                  "another control character")
            << title;
    }
    EXPECT_EQ(rates.own().size(), 1u);
    // A title past 30 characters is cut, never inside a character.
    rates.add_own(set_of(std::string(29, 'x') + "\xc3\xa9\xc3\xa9", 1));
    EXPECT_EQ(rates.own()[1].title, std::string(29, 'x') + "\xc3\xa9");
    rates.remove_own(1);
    rates.add_own(set_of("Zeta", 1));
    rates.add_own(set_of("alpha", 1));
    EXPECT_EQ(rates.own()[0].title, "abc");
    EXPECT_EQ(rates.own()[1].title, "alpha");
    EXPECT_EQ(rates.remove_own(3), 0);
    EXPECT_EQ(rates.remove_own(-1), 0);
    EXPECT_EQ(rates.remove_own(0), 1);
    EXPECT_EQ(rates.own()[0].title, "alpha");
}

class Finders : public ::testing::Test {
protected:
    void SetUp() override {
        rate_test::file_builder b;
        b.section("#A a");
        b.data("\"FY 1998 average\" 1 1 1 1 1 1 1 1 1");
        b.data("\"FY 1999 average\" 2 2 2 2 2 2 2 2 2");
        b.section("#B b");
        b.data("\"Budget 1991\" 3 3 3 3 3 3 3 3 3");
        b.data("\"Budget 2001\" 4 4 4 4 4 4 4 4 4");
        b.data("\"Budget 1999\" 5 5 5 5 5 5 5 5 5");
        rates.load_rate_file_text("r", b.finish(), true);
    }
    fv::rate_collection rates;
};

TEST_F(Finders, ByPrefixTitleAndPosition) {
    using fv::rate_source;
    ASSERT_NE(rates.find_by_prefix(rate_source::actual, "fy 1999"), nullptr);
    EXPECT_EQ(rates.find_by_prefix(rate_source::actual, "fy 1999")->title, "FY 1999 average");
    EXPECT_EQ(rates.find_by_prefix(rate_source::actual, "FY")->title, "FY 1999 average");  // the list is descending
    EXPECT_EQ(rates.find_by_prefix(rate_source::actual, ""), nullptr);
    EXPECT_EQ(rates.find_by_prefix(rate_source::budget, "FY"), nullptr);
    EXPECT_EQ(rates.find_by_title(rate_source::actual, "fy 1998 AVERAGE")->rates[0], 1.0);
    EXPECT_EQ(rates.find_by_title(rate_source::actual, "FY 1998"), nullptr);
    EXPECT_EQ(rates.index_of_title(rate_source::actual, "FY 1998 average"), 1);
    EXPECT_EQ(rates.index_of_title(rate_source::actual, ""), -1);
    EXPECT_EQ(rates.index_of_title(rate_source::budget, "FY 1998 average"), -1);
    EXPECT_EQ(rates.title_at(rate_source::actual, 0), "FY 1999 average");
    EXPECT_EQ(rates.title_at(rate_source::actual, 2), std::nullopt);
    EXPECT_EQ(rates.title_at(rate_source::actual, -1), std::nullopt);
    EXPECT_EQ(rates.title_at(rate_source::own, 0), std::nullopt);
    EXPECT_EQ(message_of([&] { (void)rates.title_at(rate_source::own, 1); }), "ListItem get_next called for NULL");
    EXPECT_EQ(rates.item_at(rate_source::actual, -5)->title, "FY 1999 average");
    EXPECT_EQ(rates.item_at(rate_source::actual, -1), nullptr);
    EXPECT_EQ(rates.item_at(rate_source::budget, 1)->title, "Budget 1999");
    EXPECT_EQ(rates.item_at(rate_source::actual, 2), nullptr);
    EXPECT_EQ(rates.item_at(rate_source::own, 0), nullptr);
    EXPECT_EQ(message_of([&] { (void)rates.item_at(rate_source::own, 1); }), "ListItem get_next called for NULL");
}

TEST_F(Finders, BudgetYears) {
    EXPECT_EQ(rates.find_budget_year(1991), nullptr);  // even though "Budget 1991" exists
    ASSERT_NE(rates.find_budget_year(2001), nullptr);
    EXPECT_EQ(rates.find_budget_year(2001)->rates[0], 4.0);
    EXPECT_EQ(rates.find_budget_year(1999)->rates[0], 5.0);
    EXPECT_EQ(rates.find_budget_year(2000), nullptr);
    EXPECT_EQ(rates.find_budget_year(2002), nullptr);
    // A title too short to carry a year reads as 0, without reading past it.
    fv::rate_collection short_titles;
    short_titles.set_rate_file_sets({}, {fv::rate_set(fv::rate_source::budget, "Budget 2001", {}), fv::rate_set(fv::rate_source::budget, "Bud", {})});
    EXPECT_EQ(short_titles.find_budget_year(1995), nullptr);
}

TEST(Listing, TextAndSpreadsheetRows) {
    fv::rate_collection rates;
    EXPECT_EQ(rates.list_text(true), "(No data sets)");
    rates.set_rate_file_sets({fv::rate_set(fv::rate_source::actual, "FY 1999 average", {4, 4.1, 4.2, 4.3, 4.4, 4.5, 4.6, 4.7, 4.9})}, {});
    rates.add_own(set_of("Mine", 5.125));
    const std::string expected =
        "ACTUAL RATES:\r\n\r\n"
        "  FY 1999 average             4.00  4.10  4.20  4.30  4.40  4.50  4.60  4.70  4.90\r\n\r\n\r\n"
        "BUDGET ASSUMPTIONS:\r\n\r\n\r\n\r\n"
        "CLIENT RATES (shown to two decimal places.  Underlying rates may be more precise):\r\n\r\n"
        "  Mine                        5.12  5.12  5.12  5.12  5.12  5.12  5.12  5.12  5.12\r\n";
    EXPECT_EQ(rates.list_text(true), expected);
    std::string cr_only = expected;
    for (std::size_t pos; (pos = cr_only.find("\r\n")) != std::string::npos;) cr_only.erase(pos + 1, 1);
    EXPECT_EQ(rates.list_text(false), cr_only);

    const auto rows = rates.sheet_rows();
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[0][0].text, "ACTUAL RATES");
    EXPECT_EQ(rows[0][0].type, fv::rate_sheet_cell::kind::centred_label);
    EXPECT_TRUE(rows[1].empty());
    ASSERT_EQ(rows[2].size(), 10u);
    EXPECT_EQ(rows[2][0].text, "FY 1999 average");
    EXPECT_EQ(rows[2][9].value, 4.9);
    EXPECT_TRUE(rows[3].empty());
    EXPECT_EQ(rows[4][0].text, "BUDGET ASSUMPTIONS");
    EXPECT_TRUE(rows[5].empty());
    EXPECT_TRUE(rows[6].empty());
    EXPECT_EQ(rows[7][0].text, "CLIENT RATES");
    EXPECT_EQ(rows[9][0].text, "Mine");
}

TEST(Listing, FormatLineWidths) {
    fv::rate_set item(fv::rate_source::own, "A title longer than twenty-five", {1, 2, 3, 4, 5, 6, 7, 8, 123.456});
    EXPECT_EQ(item.format_line(false, false, 2),
              "A title longer than twent   1.00  2.00  3.00  4.00  5.00  6.00  7.00  8.00 123.46");
    EXPECT_EQ(item.format_line(false, true, 0), "\"A title longer than twenty-fiv\"   1   2   3   4   5   6   7   8 123");
}

}  // namespace

namespace {

TEST(Listing, NumbersAreWrittenAsPrintfWritesThemInTheCLocale) {
    const double values[] = {0, -0.0, 0.005, 0.015, 1.005, 2.675, -3.14159, 99.995, 123456.789, 1e20, -1e-9, 5.125};
    for (double v : values) {
        fv::rate_set item(fv::rate_source::own, "x", {v, v, v, v, v, v, v, v, v});
        for (int precision : {0, 2, 4}) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%*.*f", precision + 4, precision, v);
            const std::string line = item.format_line(false, true, precision);
            // A field that filled its width still has the blank before it.
            char padded[66];
            std::snprintf(padded, sizeof padded, "%s%s", expected[0] != ' ' ? " " : "", expected);
            const std::string number = padded;
            EXPECT_EQ(line.substr(3, number.size()), number) << v << " " << precision;
        }
    }
}

}  // namespace
