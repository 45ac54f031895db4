// The WK3/WK4 and 123 readers over files built byte by byte: every cell kind,
// the packed and extended numbers, special formula values with their string
// results, listed and unlisted ranges, three-dimensional ranges, and damaged
// or short records.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "lotus_writer.h"
#include "util/text_error.h"
#include "workbook/workbook_file.h"
#include "workbook/lotus123_reader.h"
#include "workbook/wk3_reader.h"

namespace fv {
namespace {

using test::bytes;
using test::cat;
using test::record_writer;
namespace w = test::wk3;

const cell_address b_c3("B:C3");

struct cell_case {
    const char* what;
    std::vector<std::pair<unsigned, bytes>> records;  // after the start record
    int text_code;
    std::string text;
    int number_code;
    double number;
    int kind;
};

bytes file_of(const std::vector<std::pair<unsigned, bytes>>& records) {
    record_writer writer = w::start();
    for (const auto& [type, data] : records) writer.record(type, data);
    writer.record(w::eof, {});
    return writer.data();
}

template <class reader>
void check_cells(const std::vector<cell_case>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        reader book("");
        ASSERT_NO_THROW(book.load_bytes(file_of(c.records)));
        std::string text = "unchanged";
        double number = -99;
        EXPECT_EQ(book.read_cell("B:C3", text), c.text_code);
        if (c.text_code == 0) {
            EXPECT_EQ(text, c.text);
        }
        EXPECT_EQ(book.read_cell("B:C3", number), c.number_code);
        if (c.number_code == 0) {
            EXPECT_EQ(number, c.number);
        }
        book.use_cursor_addressing();
        EXPECT_EQ(book.move_cursor("B:C3"), c.kind);
        EXPECT_EQ(book.current_cell_kind(), c.kind);
        EXPECT_EQ(book.read_cell("A:C3", number), content_no_cell);  // same row and column, other sheet
    }
}

bytes small(unsigned value) {
    bytes out;
    test::put16(out, value);
    return cat(w::cell(b_c3), out);
}

TEST(Wk3Reader, EveryCellKindReadsWithItsCodes) {
    const bytes formula_tail{0x03, 0x00, 0x01, 0x03, 0x00};
    auto formula = [&](const bytes& value10) { return cat(cat(w::cell(b_c3), value10), formula_tail); };
    const std::vector<cell_case> cases = {
        {"error cell", {{w::error, w::cell(b_c3)}}, 2, "", 2, 0, kind_other},
        {"not-available cell", {{w::not_available, w::cell(b_c3)}}, 3, "", 3, 0, kind_other},
        {"label", {{w::label, w::label_cell(b_c3, "Name")}}, 0, "Name", 4, 0, kind_text},
        {"formula string", {{w::string_value, w::string_value_cell(b_c3, "Loans")}}, 0, "Loans", 4, 0, kind_text},
        {"number", {{w::number, cat(w::cell(b_c3), w::extended(1234.5678))}}, 5, "", 0, 1234.5678, kind_number},
        {"negative number", {{w::number, cat(w::cell(b_c3), w::extended(-0.1))}}, 5, "", 0, -0.1, kind_number},
        {"number holding the error marker", {{w::number, cat(w::cell(b_c3), w::wk3_special(192))}}, 5, "", 2, 0,
         kind_number},
        {"small 0x0006", {{w::small_number, small(0x0006)}}, 5, "", 0, 3, kind_number},
        {"small 0xFFFE", {{w::small_number, small(0xFFFE)}}, 5, "", 0, -1, kind_number},
        {"small 0x0015", {{w::small_number, small(0x0015)}}, 5, "", 0, 0.05, kind_number},
        {"small 0x0013", {{w::small_number, small(0x0013)}}, 5, "", 0, 500, kind_number},
        {"small 0x0011", {{w::small_number, small(0x0011)}}, 5, "", 0, 5000, kind_number},
        {"small -2 times 0.0625", {{w::small_number, small(0xFFED)}}, 5, "", 0, -0.125, kind_number},
        {"formula plain", {{w::formula, formula(w::extended(42.5))}}, 5, "", 0, 42.5, kind_number},
        {"formula empty result", {{w::formula, formula(w::wk3_special(0))}}, 6, "", 6, 0, kind_none},
        {"formula error", {{w::formula, formula(w::wk3_special(192))}}, 2, "", 2, 0, kind_other},
        {"formula not available", {{w::formula, formula(w::wk3_special(208))}}, 3, "", 3, 0, kind_other},
        {"formula string result",
         {{w::formula, formula(w::wk3_special(0x40))}, {w::string_value, w::string_value_cell(b_c3, "Loans")}},
         0, "Loans", 4, 0, kind_text},
        {"formula string result, string elsewhere",
         {{w::formula, formula(w::wk3_special(0x40))},
          {w::string_value, w::string_value_cell(cell_address("B:C4"), "Loans")}},
         7, "", 4, 0, kind_text},
        {"formula string result at the end of the file", {{w::formula, formula(w::wk3_special(0x40))}}, 7, "", 4, 0,
         kind_text},
    };
    check_cells<wk3_reader>(cases);
}

TEST(Wk3Reader, ExtendedRealsConvertToTheNearestDouble) {
    for (double value : {1.0, -1.0, 0.1, 1e300, -1e-300, 123456789.123, std::numeric_limits<double>::max(),
                         std::numeric_limits<double>::min()}) {
        EXPECT_EQ(wk3_reader::extended_to_double(w::extended(value).data()), value) << value;
    }
    EXPECT_EQ(wk3_reader::extended_to_double(w::extended(0.0).data()), 0.0);
    EXPECT_TRUE(std::signbit(wk3_reader::extended_to_double(w::extended(-0.0).data())));
    // 1 + 2^-60 is beyond a double: rounds to 1; the largest extended overflows to infinity.
    bytes near_one = w::extended(1.0);
    near_one[0] = 0x08;
    EXPECT_EQ(wk3_reader::extended_to_double(near_one.data()), 1.0);
    bytes huge(10, 0xFF);
    huge[9] = 0x7F;
    huge[8] = 0xFE;
    EXPECT_EQ(wk3_reader::extended_to_double(huge.data()), std::numeric_limits<double>::infinity());
    bytes infinity(10, 0);
    infinity[7] = 0x80;
    infinity[8] = 0xFF;
    infinity[9] = 0x7F;
    EXPECT_EQ(wk3_reader::extended_to_double(infinity.data()), std::numeric_limits<double>::infinity());
    infinity[0] = 1;
    EXPECT_TRUE(std::isnan(wk3_reader::extended_to_double(infinity.data())));
}

TEST(Lotus123Reader, EveryCellKindReadsWithItsCodes) {
    namespace l = w::lotus123;
    const bytes formula_tail{0x03, 0x00, 0x01, 0x03, 0x00};
    auto formula = [&](const bytes& value8) { return cat(cat(w::cell(b_c3), value8), formula_tail); };
    auto packed = [&](bytes four) { return cat(w::cell(b_c3), four); };
    const std::vector<cell_case> cases = {
        {"error cell", {{w::error, w::cell(b_c3)}}, 2, "", 2, 0, kind_other},
        {"not-available cell", {{w::not_available, w::cell(b_c3)}}, 3, "", 3, 0, kind_other},
        {"label", {{w::label, w::label_cell(b_c3, "Name", '^')}}, 0, "Name", 4, 0, kind_text},
        {"formula string", {{w::string_value, w::string_value_cell(b_c3, "Loans")}}, 0, "Loans", 4, 0, kind_text},
        {"packed 0x14", {{l::packed, packed({0x14, 0, 0, 0})}}, 5, "", 0, 0, kind_number},
        {"packed 0x51", {{l::packed, packed({0x51, 0, 0, 0})}}, 5, "", 0, 0.1, kind_number},
        {"packed 0x60", {{l::packed, packed({0x60, 0, 0, 0})}}, 5, "", 0, -1, kind_number},
        {"packed 26-bit mantissa times 100", {{l::packed, packed({0xC2, 0xFF, 0xFF, 0xFF})}}, 5, "", 0,
         67108863.0 * 100, kind_number},
        {"number", {{l::number, cat(w::cell(b_c3), w::ieee(-2.75))}}, 5, "", 0, -2.75, kind_number},
        {"number holding the not-available marker", {{l::number, cat(w::cell(b_c3), w::lotus123_special(208))}}, 5, "",
         3, 0, kind_number},
        {"formula plain", {{l::formula, formula(w::ieee(7.0))}}, 5, "", 0, 7.0, kind_number},
        {"formula empty result", {{l::formula, formula(w::lotus123_special(0))}}, 6, "", 6, 0, kind_none},
        {"formula error", {{l::formula, formula(w::lotus123_special(192))}}, 2, "", 2, 0, kind_other},
        {"formula not available", {{l::formula, formula(w::lotus123_special(208))}}, 3, "", 3, 0, kind_other},
        {"formula string result",
         {{l::formula, formula(w::lotus123_special(1))}, {w::string_value, w::string_value_cell(b_c3, "Loans")}}, 0,
         "Loans", 4, 0, kind_text},
        {"formula string result, a label next",
         {{l::formula, formula(w::lotus123_special(1))}, {w::label, w::label_cell(b_c3, "Loans")}}, 7, "", 4, 0,
         kind_text},
        // WK3 record numbers mean nothing here.
        {"WK3 number record", {{w::number, cat(w::cell(b_c3), w::extended(1.0))}}, 1, "", 1, 0, kind_none},
    };
    check_cells<lotus123_reader>(cases);
}

// Ranges: A..B on sheet A (listed), HIDDEN (type 10, unlisted), and a
// three-dimensional one; the upper-left cells make A a candidate.
template <class reader>
std::unique_ptr<reader> ranged_book() {
    record_writer writer = w::start();
    writer.record(w::range, w::range_record("Cohorts", cell_address("A:B2"), cell_address("A:D9")))
        .record(w::range_unlisted, w::range_record("HIDDEN", cell_address("A:B2"), cell_address("A:D9")))
        .record(w::range, w::range_record("DEEP", cell_address("A:B2"), cell_address("C:D9")))
        .record(w::label, w::label_cell(cell_address("A:B2"), "  NAME"))
        .record(w::eof, {});
    auto book = std::make_unique<reader>("");
    book->load_bytes(writer.data());
    return book;
}

template <class reader>
void check_ranges() {
    auto book = ranged_book<reader>();
    EXPECT_EQ(book->range_names(), (std::vector<std::string>{"Cohorts", "DEEP"}));
    range_bounds bounds;
    ASSERT_TRUE(book->find_range("hidden", bounds));
    EXPECT_EQ(bounds.sheet1, 1);
    EXPECT_EQ(bounds.row1, 2);
    EXPECT_EQ(bounds.column1, 2);
    EXPECT_EQ(bounds.sheet2, 1);
    EXPECT_EQ(bounds.row2, 9);
    EXPECT_EQ(bounds.column2, 4);
    ASSERT_TRUE(book->find_range("Deep", bounds));
    EXPECT_EQ(bounds.sheet2, 3);

    workbook_file front("", std::move(book));
    EXPECT_EQ(front.candidate_ranges(), std::vector<std::string>{"Cohorts"});
    EXPECT_TRUE(front.select_range("HIDDEN"));
    try {
        front.select_range("DEEP");
        ADD_FAILURE() << "a three-dimensional range was used";
    } catch (const text_error& failure) {
        EXPECT_EQ(failure.text(), "Three-dimensional ranges are not supported.");
    }
}

TEST(Wk3Reader, RangesListedSearchedAndThreeDimensional) { check_ranges<wk3_reader>(); }
TEST(Lotus123Reader, RangesListedSearchedAndThreeDimensional) { check_ranges<lotus123_reader>(); }

template <class reader>
std::string failure_of(const bytes& content) {
    reader book("");
    try {
        book.load_bytes(content);
    } catch (const text_error& failure) {
        return failure.text();
    }
    return "";
}

TEST(Wk3Reader, DamagedFilesFailWithTextsNamingWhatWasWrong) {
    const std::string defective = "wk3_file::load_wk3:  defective input file (";
    auto with = [&](unsigned type, const bytes& data) { return file_of({{type, data}}); };
    bytes cut_label = w::label_cell(b_c3, "Name");
    cut_label.pop_back();
    const std::vector<std::pair<bytes, std::string>> cases = {
        {{}, defective + "the file is empty)"},
        {{0x05}, defective + "first record is not type zero)"},
        {record_writer().record(0, bytes{6, 4}).data(), defective + "first record is not length 26)"},
        {record_writer().record(0, bytes(26, 0), 26 + 256).data(), defective + "record runs past the end of the file)"},
        {file_of({{0x64, bytes(2049, 0)}}), "wk3_file::load_wk3 file may be corrupted (record longer than 2048 bytes)"},
        {with(w::error, bytes(3, 0)), defective + "cell record too short: record type 20 at byte 30)"},
        {with(w::label, bytes(4, 0)), defective + "label cell record too short: record type 22 at byte 30)"},
        {with(w::label, cut_label), defective + "label without its terminating NUL: record type 22 at byte 30)"},
        {with(w::number, bytes(13, 0)), defective + "number or formula cell record too short: record type 23 at byte 30)"},
        {with(w::formula, bytes(13, 0)), defective + "number or formula cell record too short: record type 25 at byte 30)"},
        {with(w::small_number, bytes(5, 0)), defective + "small number cell record too short: record type 24 at byte 30)"},
        {with(w::string_value, bytes{0, 0, 0, 0, 'x'}),
         defective + "formula string without its terminating NUL: record type 26 at byte 30)"},
        {with(w::range, bytes(25, 0)), defective + "range name record too short: record type 9 at byte 30)"},
        {with(w::range_unlisted, w::range_record("ABCDEFGHIJKLMNOPQ", b_c3, b_c3)),
         defective + "range name without its terminating NUL: record type 10 at byte 30)"},
    };
    for (const auto& [content, expected] : cases) EXPECT_EQ(failure_of<wk3_reader>(content), expected);
    EXPECT_EQ(failure_of<wk3_reader>(file_of({{0x64, bytes(2048, 0)}})), "");
}

TEST(Lotus123Reader, DamagedFilesFailWithTextsNamingWhatWasWrong) {
    const std::string defective = "L123_file::load_L123:  defective input file (";
    auto with = [&](unsigned type, const bytes& data) { return file_of({{type, data}}); };
    const std::vector<std::pair<bytes, std::string>> cases = {
        {{}, defective + "the file is empty)"},
        {record_writer().record(0, bytes{6, 4}).data(), defective + "first record is not length 26)"},
        {file_of({{0x64, bytes(2049, 0)}}),
         "L123_file::load_L123 file may be corrupted (record longer than 2048 bytes)"},
        {with(w::lotus123::packed, bytes(7, 0)), defective + "packed number cell record too short: record type 37 at byte 30)"},
        {with(w::lotus123::number, bytes(11, 0)), defective + "number or formula cell record too short: record type 39 at byte 30)"},
        {with(w::lotus123::formula, bytes(11, 0)), defective + "number or formula cell record too short: record type 40 at byte 30)"},
        {with(w::not_available, bytes(2, 0)), defective + "cell record too short: record type 21 at byte 30)"},
    };
    for (const auto& [content, expected] : cases) EXPECT_EQ(failure_of<lotus123_reader>(content), expected);
}

TEST(Wk3Reader, FilesLoadThroughTheFrontByExtension) {
    for (const char* extension : {"wk3", "WK4", "123"}) {
        SCOPED_TRACE(extension);
        record_writer writer = w::start();
        writer.record(w::label, w::label_cell(b_c3, "x")).record(w::eof, {});
        test::temp_file file(writer.data(), extension);
        workbook_file front(file.path());
        ASSERT_NO_THROW(front.load());
        EXPECT_EQ(front.reader_kind(), std::string(extension) == "123" ? format_kind::lotus123 : format_kind::wk3);
        std::string text;
        EXPECT_EQ(front.read_cell("B:C3", text), content_delivered);
        EXPECT_EQ(text, "x");
    }
}

}  // namespace
}  // namespace fv
