// The WK1 writer: its cell records byte by byte, the extent patched into the
// template's range record, the label limit, and images read back by gnumeric's
// ssconvert and by our own WK1 reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstring>

#include "writer_test_support.h"
#include "display/wk1_writer.h"
#include "workbook/workbook_file.h"
#include "workbook/wk1_reader.h"

namespace fv {
namespace {

using bytes = std::vector<unsigned char>;
using test::file_bytes;
using test::scratch_folder;
using test::shipped_template;
using test::u16_at;

bytes double_bytes(double value) {
    bytes out(8);
    std::memcpy(out.data(), &value, 8);
    return out;
}

bytes cat(bytes a, const bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(Wk1Writer, LabelRecords) {
    wk1_writer w(shipped_template("1.bin"));
    w.next_column();
    w.next_column();
    for (int i = 0; i < 5; ++i) w.next_row();
    w.next_column();
    w.next_column();
    w.add_label("Year", '^');  // column 2, row 5
    w.add_label("", '\'');
    w.add_label("R", '"');
    w.add_label("-", '\\');
    w.add_label("x", 'q');  // any other prefix is written as '
    ASSERT_EQ(w.records().size(), 5u);
    EXPECT_EQ(w.records()[0].type, 15);
    EXPECT_EQ(w.records()[0].data, (bytes{255, 2, 0, 5, 0, '^', 'Y', 'e', 'a', 'r', 0}));
    EXPECT_EQ(w.records()[1].data, (bytes{255, 3, 0, 5, 0, '\'', 0}));
    EXPECT_EQ(w.records()[2].data, (bytes{255, 4, 0, 5, 0, '"', 'R', 0}));
    EXPECT_EQ(w.records()[3].data, (bytes{255, 5, 0, 5, 0, '\\', '-', 0}));
    EXPECT_EQ(w.records()[4].data, (bytes{255, 6, 0, 5, 0, '\'', 'x', 0}));
    EXPECT_EQ(w.current_column(), 7u);
}

TEST(Wk1Writer, NumberRecordsAndTheirFormatByte) {
    wk1_writer w(shipped_template("1.bin"));
    w.add_number("3.5", 2, 0);
    w.add_number("3.5", 2, 1);
    w.add_number("  -1.25e2xyz", 3, 0);  // read as atof reads it
    w.add_number("garbage", 0, 0);
    w.add_number(0.1, 4);
    w.add_number(2.0, 17);  // only the low 4 bits of the decimals
    ASSERT_EQ(w.records().size(), 6u);
    EXPECT_EQ(w.records()[0].type, 14);
    EXPECT_EQ(w.records()[0].data, cat(bytes{194, 0, 0, 0, 0}, double_bytes(3.5)));
    EXPECT_EQ(w.records()[1].data, cat(bytes{130, 1, 0, 0, 0}, double_bytes(3.5)));
    EXPECT_EQ(w.records()[2].data, cat(bytes{195, 2, 0, 0, 0}, double_bytes(-125.0)));
    EXPECT_EQ(w.records()[3].data, cat(bytes{192, 3, 0, 0, 0}, double_bytes(0.0)));
    EXPECT_EQ(w.records()[4].data, cat(bytes{196, 4, 0, 0, 0}, double_bytes(0.1)));
    EXPECT_EQ(w.records()[5].data[0], 193);
}

TEST(Wk1Writer, NumbersAreReadInTheCLocaleWhateverTheProgramsLocale) {
    if (!test::switch_to_comma_locale()) GTEST_SKIP() << "no locale with a decimal comma available";
    ASSERT_EQ(std::strtod("1.75", nullptr), 1.0);  // the locale really reads numbers differently
    wk1_writer w(shipped_template("1.bin"));
    w.add_number("1.75", 2, 0);
    test::restore_c_locale();
    EXPECT_EQ(w.records()[0].data, cat(bytes{194, 0, 0, 0, 0}, double_bytes(1.75)));
}

TEST(Wk1Writer, LongLabelsAreCutToTheLimit) {
    wk1_writer w(shipped_template("1.bin"));
    const std::string limit(239, 'a');
    w.add_label(limit, '\'');
    w.add_label(limit + "bcd", '\'');
    ASSERT_EQ(w.records().size(), 2u);
    EXPECT_EQ(w.records()[0].data.size(), 239u + 7);
    bytes expected = w.records()[0].data;
    expected[1] = 1;  // the second cell's column
    EXPECT_EQ(w.records()[1].data, expected);
    EXPECT_EQ(w.labels_cut(), 1u);
}

TEST(Wk1Writer, RenderPatchesTheExtentIntoTheRangeRecord) {
    const bytes tmpl = file_bytes(shipped_template("1.bin"));
    {
        // A page of 3 lines of 8 cells: last column 7, last row 2.
        wk1_writer w(shipped_template("1.bin"));
        for (int line = 0; line < 3; ++line) {
            for (int cell = 0; cell < 8; ++cell) w.add_number(line * 8 + cell, 0);
            w.next_row();
        }
        const bytes image = w.render();
        EXPECT_EQ(u16_at(image, 14), 7u);
        EXPECT_EQ(u16_at(image, 16), 2u);
        // Template without its end record, the records in order, an end record.
        ASSERT_EQ(image.size(), tmpl.size() + 24 * (4 + 13));
        EXPECT_TRUE(std::equal(tmpl.begin() + 18, tmpl.end() - 4, image.begin() + 18));
        EXPECT_EQ(u16_at(image, tmpl.size() - 4), 14u);
        EXPECT_EQ(u16_at(image, tmpl.size() - 2), 13u);
        EXPECT_EQ(bytes(image.end() - 4, image.end()), (bytes{1, 0, 0, 0}));
        EXPECT_EQ(w.image_size(), image.size());
    }
    {
        wk1_writer w(shipped_template("1.bin"));
        const bytes image = w.render();
        EXPECT_EQ(image, tmpl);  // no cell: both extents all ones, as the template has them
        EXPECT_EQ(u16_at(image, 14), 0xFFFFu);
        EXPECT_EQ(u16_at(image, 16), 0xFFFFu);
    }
}

TEST(Wk1Writer, RowsBeyondTheLastAddressableRowAreLeftOutAndReported) {
    wk1_writer w(shipped_template("1.bin"));
    for (std::uint32_t row = 0; row < 65535; ++row) w.next_row();
    w.add_label("last", '\'');
    w.next_row();
    w.add_label("beyond", '\'');
    w.add_number("1", 0, 0);
    w.next_row();
    EXPECT_EQ(w.records().size(), 1u);
    EXPECT_EQ(u16_at(w.records()[0].data, 3), 65535u);
    EXPECT_EQ(w.cells_left_out(), 2u);
    EXPECT_EQ(w.cut_notice(), "Spreadsheet output stops at row 65536: 2 cells of later rows were not written.");
    const bytes image = w.render();
    EXPECT_EQ(u16_at(image, 16), 65535u);  // not wrapped round to a small row
}

TEST(Wk1Writer, NothingLeftOutNoNotice) {
    wk1_writer w(shipped_template("1.bin"));
    w.add_label("a", '\'');
    EXPECT_EQ(w.cells_left_out(), 0u);
    EXPECT_EQ(w.cut_notice(), "");
}

// A small display-like sheet: a title, labels of every alignment, numbers
// from text and from doubles, an empty field, several rows.
void write_sample(wk1_writer& w) {
    w.add_label("Subsidy and components display", '\'');
    w.next_row();
    w.next_row();
    w.add_label("Cohort year:", '\'');
    w.add_label("2024", '"');
    w.next_row();
    w.add_label("Disbursements [annual, middle, 2024]", '\'');
    w.add_number("1000.000", 3, 0);
    w.add_number("-250.500", 3, 1);
    w.next_column();
    w.add_number(12.125, 3);
    w.next_row();
    w.add_label("Total", '^');
    w.add_label("--", '\\');
    w.next_row();
}

TEST(Wk1Writer, GnumericReadsTheLabelsAndNumbersWritten) {
    if (!test::have_ssconvert()) GTEST_SKIP() << "gnumeric's ssconvert is not installed";
    scratch_folder folder;
    wk1_writer w(shipped_template("1.bin"));
    write_sample(w);
    const std::string file = folder.file("display.wk1");
    w.render(file);
    std::string csv;
    ASSERT_TRUE(test::ssconvert_csv(file, folder.file("display.csv"), "", csv));
    EXPECT_EQ(csv,
              "Subsidy and components display,,,,\n"
              ",,,,\n"
              "Cohort year:,2024,,,\n"
              "Disbursements [annual, middle, 2024],1000,-250.5,,12.125\n"
              "Total,--,,,\n");
}

TEST(Wk1Writer, OurReaderReadsTheSameCells) {
    scratch_folder folder;
    wk1_writer w(shipped_template("1.bin"));
    write_sample(w);
    const std::string file = folder.file("display.wk1");
    w.render(file);
    workbook_file book(file);
    ASSERT_NO_THROW(book.load());
    std::string text;
    double number = 0;
    EXPECT_EQ(book.read_cell("A:A1", text), 0);
    EXPECT_EQ(text, "Subsidy and components display");
    EXPECT_EQ(book.read_cell("A:B3", text), 0);
    EXPECT_EQ(text, "2024");
    EXPECT_EQ(book.read_cell("A:C4", number), 0);
    EXPECT_EQ(number, -250.5);
    EXPECT_EQ(book.read_cell("A:D4", number), 1);  // the empty field wrote nothing
    EXPECT_EQ(book.read_cell("A:E4", number), 0);
    EXPECT_EQ(number, 12.125);
    EXPECT_EQ(book.read_cell("A:B5", text), 0);
    EXPECT_EQ(text, "--");
}

TEST(Wk1Writer, TheTemplateIsAnEmptyWorksheet) {
    const std::string tmpl = shipped_template("1.bin");
    wk1_reader book(tmpl);
    ASSERT_NO_THROW(book.load());
    EXPECT_TRUE(book.data_cell_addresses().empty());
    if (!test::have_ssconvert()) GTEST_SKIP() << "gnumeric's ssconvert is not installed";
    scratch_folder folder;
    const std::string copy = folder.file("empty.wk1");
    test::write_bytes(copy, file_bytes(tmpl));
    std::string csv = "unchanged";
    ASSERT_TRUE(test::ssconvert_csv(copy, folder.file("empty.csv"), "", csv));
    EXPECT_EQ(csv, "\n");  // one empty row: a worksheet without cells
}

}  // namespace
}  // namespace fv

namespace fv {
namespace {

// Labels go out in LICS, worked out by hand from its chart: é 0xE9, ü 0xFC,
// œ 0xF7, £ 0xA3; what LICS cannot hold becomes '?'. (gnumeric reads WK1
// text as code page 850, not LICS, so it cannot check these bytes.)
TEST(Wk1Writer, LabelsAreWrittenInLics) {
    wk1_writer w(shipped_template("1.bin"));
    w.add_label("Pr\u00e9t f\u00fcr c\u0153ur \u00a3 \u0394\u03b1\u6c34", '\'');
    std::string e_acutes;
    for (int i = 0; i < 240; ++i) e_acutes += "\u00e9";
    w.add_label(e_acutes, '\'');
    ASSERT_EQ(w.records().size(), 2u);
    const bytes& data = w.records()[0].data;
    EXPECT_EQ(std::string(data.begin() + 6, data.end() - 1), "Pr\xe9t f\xfcr c\xf7ur \xa3 \xac??");
    // The limit counts bytes of the character set: one byte each here.
    EXPECT_EQ(w.records()[1].data.size(), 239u + 7);
    EXPECT_EQ(w.labels_cut(), 1u);
}

}  // namespace
}  // namespace fv
