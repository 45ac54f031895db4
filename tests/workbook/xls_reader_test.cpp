// The XLS reader on workbooks written by other programs: gnumeric's ssconvert
// (version 5 and 8) and python3-xlwt (version 8). The content is the one
// tests/fixtures/xls/make_fixtures.py wrote.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "util/text_error.h"
#include "workbook/workbook_file.h"
#include "workbook/xls_reader.h"

namespace {

std::string fixture(const char* name) { return std::string(FV_SOURCE_DIR) + "/tests/fixtures/xls/" + name; }

std::unique_ptr<fv::xls_reader> open_fixture(const char* name) {
    auto book = std::make_unique<fv::xls_reader>(fixture(name));
    book->load();
    return book;
}

// A text of the long string table (make_fixtures.py, long_string): every
// seventh one holds an omega and a euro sign; version 8 keeps both, version 5
// stores them in the writer's code page (1252) as "?" and the euro sign.
std::string long_string(int i, int version) {
    char head[8];
    std::snprintf(head, sizeof head, "s%04d", i);
    std::string text = std::string(head) + "-abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRS";
    if (i % 7 == 3) text = text.substr(0, 30) + (version == 5 ? "?\u20ac" : "\u03a9\u20ac") + text.substr(32);
    return text;
}

std::vector<int> corners(fv::workbook_reader& book, const char* name) {
    fv::range_bounds r;
    if (!book.find_range(name, r)) return {};
    return {r.sheet1, r.row1, r.column1, r.sheet2, r.row2, r.column2};
}

double number_at(fv::workbook_reader& book, const std::string& address_text) {
    double v = -12345;
    EXPECT_EQ(book.read_cell(address_text, v), fv::content_delivered) << address_text;
    return v;
}

std::string text_at(fv::workbook_reader& book, const std::string& address_text) {
    std::string t;
    EXPECT_EQ(book.read_cell(address_text, t), fv::content_delivered) << address_text;
    return t;
}

}  // namespace

TEST(XlsFixtures, GnumericWorkbooksOfBothVersions) {
    for (int version : {5, 8}) {
        SCOPED_TRACE(version);
        auto book = open_fixture(version == 5 ? "gnumeric_v5.xls" : "gnumeric_v8.xls");
        EXPECT_EQ(book->kind(), fv::format_kind::xls);
        EXPECT_EQ(book->version(), version);

        // Built-in names (print areas, sheet titles) are left out.
        EXPECT_EQ(book->range_names(),
                  std::vector<std::string>({"Lower_Case", "StringsCol", "DATA", "cell1", "Constant"}));
        EXPECT_EQ(corners(*book, "data"), std::vector<int>({2, 2, 2, 2, 40, 8}));
        EXPECT_EQ(corners(*book, "CELL1"), std::vector<int>({1, 2, 2, 1, 2, 2}));
        EXPECT_EQ(corners(*book, "lower_case"), std::vector<int>({1, 1, 1, 1, 3, 2}));
        EXPECT_EQ(corners(*book, "StringsCol"), std::vector<int>({3, 1, 1, 3, 400, 1}));
        EXPECT_EQ(corners(*book, "Constant"), std::vector<int>()) << "not a reference";
        EXPECT_EQ(corners(*book, "Print_Area"), std::vector<int>());

        EXPECT_EQ(text_at(*book, "A:A1"), "Name");
        EXPECT_EQ(text_at(*book, "A:B1"), "Loans program");
        for (int c = 1; c <= 7; ++c)
            EXPECT_EQ(number_at(*book, "A:" + fv::index_letters(static_cast<unsigned>(c)) + "2"), 100.0 * c);
        EXPECT_EQ(text_at(*book, "A:A3"), "Caf\u00e9 cr\u00e8me");
        const double row3[] = {1.25, -3, 0.01, 123456789.123, 1e10, 0.1};
        for (int c = 0; c < 6; ++c)
            EXPECT_EQ(number_at(*book, "A:" + fv::index_letters(static_cast<unsigned>(c + 1)) + "3"), row3[c]);
        EXPECT_EQ(text_at(*book, "A:A4"), version == 5 ? "?mega \u20ac" "5" : "\u03a9mega \u20ac" "5");
        EXPECT_EQ(number_at(*book, "A:A5"), 300.0);
        EXPECT_EQ(text_at(*book, "A:A6"), "abcd");
        double x;
        std::string t;
        EXPECT_EQ(book->read_cell("A:A7", x), fv::content_error_value);
        EXPECT_EQ(number_at(*book, "A:A8"), 0.0) << "a boolean cell reads as 0";
        EXPECT_EQ(book->read_cell("A:A9", t), fv::content_error_value) << "a boolean formula result";
        EXPECT_EQ(book->read_cell("A:A10", t), fv::content_no_cell);

        EXPECT_EQ(text_at(*book, "B:B2"), "Name");
        for (int r = 2; r < 40; ++r) EXPECT_EQ(number_at(*book, "B:D" + std::to_string(r + 1)), r * 1.5);
        for (int r = 0; r < 400; ++r)
            ASSERT_EQ(text_at(*book, "C:A" + std::to_string(r + 1)), long_string(r, version)) << r;
    }
}

TEST(XlsFixtures, XlwtWorkbookWithMultipleRkAndLongStringTable) {
    auto book = open_fixture("xlwt_v8.xls");
    EXPECT_EQ(book->version(), 8);
    EXPECT_EQ(text_at(*book, "A:B1"), "xlwt workbook");
    for (int c = 1; c <= 5; ++c) EXPECT_EQ(number_at(*book, "A:" + fv::index_letters(static_cast<unsigned>(c)) + "2"), 25.0 * c);
    EXPECT_EQ(number_at(*book, "A:A3"), 2.5);
    EXPECT_EQ(number_at(*book, "A:B3"), 1.23456789);
    EXPECT_EQ(text_at(*book, "A:A4"), "\u00c5ngstr\u00f6m");
    EXPECT_EQ(text_at(*book, "A:B4"), "\u4e2d\u6587x");
    for (int r = 0; r < 400; ++r) ASSERT_EQ(text_at(*book, "B:A" + std::to_string(r + 1)), long_string(r, 8)) << r;
    EXPECT_TRUE(book->range_names().empty());
}

TEST(XlsFixtures, ThroughTheWorkbookFront) {
    fv::workbook_file front(fixture("gnumeric_v8.xls"));
    front.load();
    EXPECT_EQ(front.reader_kind(), fv::format_kind::xls);
    // DATA and Lower_Case start on a cell reading "Name"; the others do not.
    EXPECT_EQ(front.candidate_ranges(), std::vector<std::string>({"Lower_Case", "DATA"}));
    ASSERT_TRUE(front.select_range("Data"));
    EXPECT_EQ(front.cursor_address_text(), "B:B2");
    std::string t;
    EXPECT_EQ(front.read_cursor_cell(t), fv::content_delivered);
    EXPECT_EQ(t, "Name");
    front.cursor_right(1);
    EXPECT_EQ(front.read_cursor_cell(t), fv::content_delivered);
    EXPECT_EQ(t, "Second sheet");
    front.cursor_right(1);
    front.cursor_down(38);
    double x;
    EXPECT_EQ(front.read_cursor_cell(x), fv::content_delivered);
    EXPECT_EQ(x, 39 * 1.5);
    EXPECT_EQ(front.cursor_address_text(), "B:D40");
}
