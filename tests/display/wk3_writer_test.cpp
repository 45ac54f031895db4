// The WK3 writer: its cell records byte by byte, exact numbers, the extent
// patched into the beginning-of-file record, the label and row limits, and
// images read back by our own WK3 reader and by gnumeric.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "writer_test_support.h"
#include "display/wk3_writer.h"
#include "display/decimal_to_extended.h"
#include "util/text_error.h"
#include "workbook/cell_address.h"
#include "workbook/workbook_file.h"
#include "workbook/wk3_reader.h"

namespace fv {
namespace {

using bytes = std::vector<unsigned char>;
using test::file_bytes;
using test::scratch_folder;
using test::shipped_template;
using test::u16_at;

TEST(Wk3Writer, LabelRecords) {
    wk3_writer w(shipped_template("3.bin"));
    for (int i = 0; i < 5; ++i) w.next_row();
    w.next_column();
    w.next_column();
    w.add_label("Year", '^');  // column 2, row 5, sheet 0
    w.next_sheet();
    w.add_label("", '"');
    w.add_label("x", '@');
    ASSERT_EQ(w.records().size(), 3u);
    EXPECT_EQ(w.records()[0].type, 22);
    EXPECT_EQ(w.records()[0].data.size(), 10u);
    EXPECT_EQ(w.records()[0].data, (bytes{0x05, 0x00, 0x00, 0x02, 0x5E, 'Y', 'e', 'a', 'r', 0}));
    EXPECT_EQ(w.records()[1].data, (bytes{0, 0, 1, 0, '"', 0}));
    EXPECT_EQ(w.records()[2].data, (bytes{0, 0, 1, 1, '\'', 'x', 0}));
}

TEST(Wk3Writer, NumberRecordsHoldTheExactExtendedValue) {
    wk3_writer w(shipped_template("3.bin"));
    w.add_number("0.1", 1, 1);      // decimals and format option play no part
    w.add_number(1.0 / 3.0, 2);     // "%.2lf": 0.33
    w.add_number(-12.5, 0);         // "%.0lf": -12 (printf rounds half to even)
    ASSERT_EQ(w.records().size(), 3u);
    EXPECT_EQ(w.records()[0].type, 23);
    EXPECT_EQ(w.records()[0].data, (bytes{0, 0, 0, 0, 0xCD, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}));
    const auto third = decimal_to_extended("0.33");
    EXPECT_EQ(bytes(w.records()[1].data.begin() + 4, w.records()[1].data.end()), bytes(third.begin(), third.end()));
    EXPECT_EQ(w.records()[1].data[3], 1);
    const auto minus_twelve = decimal_to_extended("-12");
    EXPECT_EQ(bytes(w.records()[2].data.begin() + 4, w.records()[2].data.end()),
              bytes(minus_twelve.begin(), minus_twelve.end()));
}

TEST(Wk3Writer, NumbersAreFormattedInTheCLocaleWhateverTheProgramsLocale) {
    if (!test::switch_to_comma_locale()) GTEST_SKIP() << "no locale with a decimal comma available";
    char formatted[16];
    std::snprintf(formatted, sizeof formatted, "%.2lf", 0.25);
    ASSERT_STREQ(formatted, "0,25");  // the locale really writes numbers differently
    wk3_writer w(shipped_template("3.bin"));
    std::string failure;
    try {
        w.add_number(0.25, 2);
    } catch (const text_error& e) {
        failure = e.text();
    }
    test::restore_c_locale();
    EXPECT_EQ(failure, "");
    ASSERT_EQ(w.records().size(), 1u);
    const auto quarter = decimal_to_extended("0.25");
    EXPECT_EQ(bytes(w.records()[0].data.begin() + 4, w.records()[0].data.end()), bytes(quarter.begin(), quarter.end()));
}

TEST(Wk3Writer, ANumberTextThatIsNoNumberFailsWithTheConversionsReason) {
    wk3_writer w(shipped_template("3.bin"));
    try {
        w.add_number("1.2.3", 0, 0);
        ADD_FAILURE() << "no failure";
    } catch (const text_error& e) {
        EXPECT_EQ(e.text(), "make_bcd:  multiple decimal points in string");
    }
    EXPECT_TRUE(w.records().empty());
}

TEST(Wk3Writer, LongLabelsAreCutToTheLimit) {
    wk3_writer w(shipped_template("3.bin"));
    w.add_label(std::string(512, 'a'), '\'');
    w.add_label(std::string(2000, 'b'), '\'');
    w.add_label(std::string("before\0after", 12), '\'');  // a record's text ends at its NUL
    ASSERT_EQ(w.records().size(), 3u);
    EXPECT_EQ(w.records()[0].data.size(), 512u + 6);
    EXPECT_EQ(w.records()[1].data.size(), 512u + 6);
    EXPECT_EQ(w.records()[1].data[5 + 511], 'b');
    EXPECT_EQ(w.records()[1].data.back(), 0);
    EXPECT_EQ(w.records()[2].data.size(), 6u + 6);
    EXPECT_EQ(w.labels_cut(), 1u);
}

TEST(Wk3Writer, RenderPatchesTheLastCellIntoTheStartRecord) {
    const bytes tmpl = file_bytes(shipped_template("4.bin"));
    wk3_writer w(shipped_template("4.bin"));
    for (int sheet = 0; sheet < 3; ++sheet) {
        for (int line = 0; line < 4; ++line) {
            for (int cell = 0; cell <= sheet + 2; ++cell) w.add_label("c", '\'');
            w.next_row();
        }
        w.next_sheet();
    }
    const bytes image = w.render();
    EXPECT_EQ(u16_at(image, 12), 3u);  // highest row - 1
    EXPECT_EQ(image[14], 3);           // highest sheet: next sheet follows every display
    EXPECT_EQ(image[15], 4);           // highest column - 1
    ASSERT_EQ(image.size(), tmpl.size() + w.records().size() * (4 + 7));
    EXPECT_TRUE(std::equal(tmpl.begin() + 16, tmpl.end() - 4, image.begin() + 16));
    EXPECT_EQ(bytes(image.end() - 4, image.end()), (bytes{1, 0, 0, 0}));

    wk3_writer empty(shipped_template("3.bin"));
    const bytes none = empty.render();
    EXPECT_EQ(none, file_bytes(shipped_template("3.bin")));
    EXPECT_EQ(bytes(none.begin() + 12, none.begin() + 16), (bytes{0xFF, 0xFF, 0, 0xFF}));
}

TEST(Wk3Writer, RowsBeyond65535AreLeftOutInsteadOfWrapping) {
    wk3_writer w(shipped_template("3.bin"));
    for (std::uint32_t row = 0; row < 65535; ++row) w.next_row();
    w.add_number("7", 0, 0);
    w.next_row();
    w.add_label("beyond", '\'');  // row 65536 would wrap round to row 0
    w.add_number("8", 0, 0);
    w.next_row();
    w.next_row();
    ASSERT_EQ(w.records().size(), 1u);
    EXPECT_EQ(u16_at(w.records()[0].data, 0), 65535u);
    EXPECT_EQ(w.cells_left_out(), 2u);
    EXPECT_EQ(w.cut_notice(), "Spreadsheet output stops at row 65536: 2 cells of later rows were not written.");
    EXPECT_EQ(w.current_column(), 0u);
    const bytes image = w.render();
    EXPECT_EQ(u16_at(image, 12), 65535u);
}

// Three sheets as the output file holds displays: labels of every prefix and
// numbers from text and from doubles.
void write_sample(wk3_writer& w) {
    w.add_label("Source data display", '\'');
    w.next_row();
    w.add_label("Cohort year:", '\'');
    w.add_label("2024", '"');
    w.next_row();
    w.add_label("Disbursements", '\'');
    w.add_number("1000.000", 3, 0);
    w.next_column();
    w.add_number("-0.125", 3, 0);
    w.next_row();
    w.next_sheet();
    w.next_sheet();
    w.add_label("Subsidy", '^');
    w.add_number(0.1, 4);
    w.next_row();
    w.add_label("--", '\\');
    w.add_number("123456789.123456789", 9, 0);
    w.next_row();
    w.next_sheet();
}

TEST(Wk3Writer, OurReaderReadsTheSameCells) {
    scratch_folder folder;
    wk3_writer w(shipped_template("4.bin"));
    write_sample(w);
    const std::string file = folder.file("output.wk3");
    w.render(file);
    workbook_file book(file);
    try {
        book.load();
    } catch (const text_error& e) {
        if (e.text().find("not built yet") != std::string::npos) GTEST_SKIP() << "the WK3 reader is not built yet";
        FAIL() << e.text();
    }
    struct cell {
        cell_address at;
        const char* text;  // nullptr for a number
        double number;
    };
    const cell cells[] = {
        {{0, 0, 0}, "Source data display", 0},
        {{0, 1, 0}, "Cohort year:", 0},
        {{0, 1, 1}, "2024", 0},
        {{0, 2, 0}, "Disbursements", 0},
        {{0, 2, 1}, nullptr, 1000},
        {{0, 2, 3}, nullptr, -0.125},
        {{2, 0, 0}, "Subsidy", 0},
        {{2, 0, 1}, nullptr, 0.1},
        {{2, 1, 0}, "--", 0},
        {{2, 1, 1}, nullptr, 123456789.123456789},
    };
    for (const auto& c : cells) {
        const std::string at = c.at.to_text();
        SCOPED_TRACE(at);
        if (c.text) {
            std::string text;
            EXPECT_EQ(book.read_cell(at, text), 0);
            EXPECT_EQ(text, c.text);
        } else {
            double number = 0;
            EXPECT_EQ(book.read_cell(at, number), 0);
            EXPECT_EQ(number, c.number);
        }
    }
    double number = 0;
    EXPECT_EQ(book.read_cell("A:C3", number), 1);  // the empty field wrote nothing
    EXPECT_EQ(book.read_cell("B:A1", number), 1);  // nor the display left out
    EXPECT_EQ(book.data_cell_addresses().size(), std::size(cells));
}

// Gnumeric reads WK4 worksheets but not WK3 ones; the two share the cell
// records used here, so an image whose version word says WK4 lets gnumeric
// check our cells independently.
TEST(Wk3Writer, GnumericReadsTheCellsOfTheImageMarkedAsWk4) {
    if (!test::have_ssconvert()) GTEST_SKIP() << "gnumeric's ssconvert is not installed";
    scratch_folder folder;
    wk3_writer w(shipped_template("4.bin"));
    write_sample(w);
    bytes image = w.render();
    ASSERT_EQ(u16_at(image, 4), 0x1000u);  // WK3 (1-2-3 release 3)
    image[4] = 0x02;                       // WK4 (1-2-3 release 4)
    const std::string file = folder.file("output.wk4");
    test::write_bytes(file, image);
    std::string first, third;
    ASSERT_TRUE(test::ssconvert_csv(file, folder.file("first.csv"), "Sheet1", first));
    ASSERT_TRUE(test::ssconvert_csv(file, folder.file("third.csv"), "Sheet3", third));
    EXPECT_EQ(first,
              "Source data display,,,\n"
              "Cohort year:,2024,,\n"
              "Disbursements,1000,,-0.125\n");
    EXPECT_EQ(third,
              "Subsidy,0.1\n"
              "--,123456789.123456789\n");

    // The template's width of column A (55 characters) reaches gnumeric too.
    const std::string xml = folder.file("output.gnumeric");
    const std::string command = "ssconvert -T Gnumeric_XmlIO:sax:0 '" + file + "' '" + xml + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const bytes content = file_bytes(xml);
    const std::string text(content.begin(), content.end());
    EXPECT_NE(text.find("<gnm:ColInfo No=\"0\""), std::string::npos);
}

TEST(Wk3Writer, TheTemplatesAreEmptyWorksheets) {
    for (const char* name : {"3.bin", "4.bin"}) {
        SCOPED_TRACE(name);
        wk3_reader book(shipped_template(name));
        try {
            book.load();
        } catch (const text_error& e) {
            if (e.text().find("not built yet") != std::string::npos) GTEST_SKIP() << "the WK3 reader is not built yet";
            FAIL() << e.text();
        }
        EXPECT_TRUE(book.data_cell_addresses().empty());
    }
}

}  // namespace
}  // namespace fv

namespace fv {
namespace {

// Labels beyond ASCII go out in LMBCS; gnumeric decodes them back to the same
// text (an image marked WK4, as above). What no group holds becomes '?'.
TEST(Wk3Writer, LabelsAreWrittenInLmbcs) {
    wk3_writer w(shipped_template("4.bin"));
    const std::vector<std::string> texts = {
        "Pr\u00e9stamos f\u00fcr \u00d1and\u00fa", "\u0394\u03ac\u03bd\u03b5\u03b9\u03b1", "\u041a\u0440\u0435\u0434\u0438\u0442",
        "\u6c34\u9053", "a\U0001F600b", "two\r\nlines"};
    for (const auto& text : texts) {
        w.add_label(text, '\'');
        w.next_row();
    }
    // By hand: é is 0x82 in code page 850 (no group byte), К is 0xCA in group 5 (code page 1251).
    const bytes& first = w.records()[0].data;
    EXPECT_EQ(std::string(first.begin() + 5, first.begin() + 9), "Pr\x82s");
    const bytes& cyrillic = w.records()[2].data;
    EXPECT_EQ(std::string(cyrillic.begin() + 5, cyrillic.begin() + 7), "\x05\xca");
    EXPECT_EQ(w.labels_cut(), 0u);

    if (!test::have_ssconvert()) GTEST_SKIP() << "gnumeric's ssconvert is not installed";
    scratch_folder folder;
    bytes image = w.render();
    image[4] = 0x02;  // WK4
    const std::string file = folder.file("lmbcs.wk4");
    test::write_bytes(file, image);
    std::string csv;
    ASSERT_TRUE(test::ssconvert_csv(file, folder.file("lmbcs.csv"), "Sheet1", csv));
    // The line break needs quoting: compare the CSV row by row up to it.
    EXPECT_EQ(csv.substr(0, csv.find("two")),
              "Pr\u00e9stamos f\u00fcr \u00d1and\u00fa\n\u0394\u03ac\u03bd\u03b5\u03b9\u03b1\n\u041a\u0440\u0435\u0434\u0438\u0442\n"
              "\u6c34\u9053\na?b\n");
    EXPECT_NE(csv.find("two\r\nlines"), std::string::npos) << csv;
}

TEST(Wk3Writer, TheLabelLimitCountsEncodedBytes) {
    wk3_writer w(shipped_template("3.bin"));
    // 300 Cyrillic letters take 600 bytes: 256 of them fill the 512.
    std::string text;
    for (int i = 0; i < 300; ++i) text += "\u041a";
    w.add_label(text, '\'');
    ASSERT_EQ(w.records().size(), 1u);
    EXPECT_EQ(w.records()[0].data.size(), 5u + 512u + 1u);
    EXPECT_EQ(w.labels_cut(), 1u);
}

}  // namespace
}  // namespace fv
