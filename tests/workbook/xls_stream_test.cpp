// The XLS reader on record streams built byte by byte: sheet numbering,
// numbers, the shared string table, string results, names and damaged records.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "util/text_error.h"
#include "workbook/xls_reader.h"
#include "workbook/xls_stream_builder.h"

using fv_test::biff_stream;
using fv_test::bytes;

namespace {

std::unique_ptr<fv::xls_reader> load(const biff_stream& s) {
    auto book = std::make_unique<fv::xls_reader>("");
    book->load_stream(s.out);
    return book;
}

std::string load_failure(const biff_stream& s) {
    try {
        load(s);
    } catch (const fv::text_error& e) {
        return e.text();
    }
    return "(loaded)";
}

double number_at(fv::xls_reader& book, const char* address_text) {
    double v = -12345;
    EXPECT_EQ(book.read_cell(address_text, v), fv::content_delivered) << address_text;
    return v;
}

std::string text_at(fv::xls_reader& book, const char* address_text) {
    std::string t;
    EXPECT_EQ(book.read_cell(address_text, t), fv::content_delivered) << address_text;
    return t;
}

int kind_at(fv::xls_reader& book, const char* address_text) {
    book.use_cursor_addressing();
    return book.move_cursor(address_text);
}

// A worksheet of version v holding the records that `cells` adds.
template <typename Cells>
biff_stream one_sheet(int v, Cells cells) {
    biff_stream s(v);
    s.bof(0x0005).bound_sheet(0, "Sheet1").eof().bof(0x0010);
    cells(s);
    s.eof();
    return s;
}

}  // namespace

TEST(XlsStream, ChartAndMacroSheetsBetweenWorksheetsKeepWorksheetNumbers) {
    for (int v : {5, 8}) {
        biff_stream s(v);
        s.bof(0x0005).bound_sheet(0, "First").bound_sheet(2, "Chart1").bound_sheet(1, "Macro1").bound_sheet(0, "Second");
        if (v == 8) {
            s.own_book(4).extern_sheets({{0, 3, 3}, {0, 1, 1}, {0, 0, 0}, {1, 0, 0}});
            s.name("DATA", biff_stream::area8(0, 1, 39, 1, 7));
            s.name("OnChart", biff_stream::cell8(1, 0, 0));
            s.name("FirstCell", biff_stream::cell8(2, 4, 2));
        } else {
            s.name("DATA", biff_stream::area5(3, 3, 1, 39, 1, 7));
            s.name("OnChart", biff_stream::cell5(1, 1, 0, 0));
            s.name("FirstCell", biff_stream::cell5(0, 0, 4, 2));
        }
        s.eof();
        s.bof(0x0010).number(0, 0, 1.0).eof();
        s.bof(0x0020).number(0, 0, 99.0).eof();   // chart sheet: its records are no cells
        s.bof(0x0040).number(0, 0, 98.0).eof();   // macro sheet
        s.bof(0x0010).number(0, 0, 2.0);
        s.bof(0x0020).number(5, 5, 97.0).eof();   // chart embedded in the worksheet
        s.number(0, 1, 3.0).eof();
        auto book = load(s);
        EXPECT_EQ(book->version(), v);
        EXPECT_EQ(number_at(*book, "A:A1"), 1.0);
        EXPECT_EQ(number_at(*book, "B:A1"), 2.0);
        EXPECT_EQ(number_at(*book, "B:B1"), 3.0) << "the walk goes on after an embedded chart";
        double x;
        EXPECT_EQ(book->read_cell("A:F6", x), fv::content_no_cell);
        EXPECT_EQ(book->read_cell("C:A1", x), fv::content_no_cell);
        EXPECT_EQ(book->data_cell_addresses().size(), 3u);

        fv::range_bounds r;
        ASSERT_TRUE(book->find_range("data", r)) << v;
        EXPECT_EQ(std::vector<int>({r.sheet1, r.row1, r.column1, r.sheet2, r.row2, r.column2}),
                  std::vector<int>({2, 2, 2, 2, 40, 8}));
        ASSERT_TRUE(book->find_range("FIRSTCELL", r));
        EXPECT_EQ(std::vector<int>({r.sheet1, r.row1, r.column1, r.sheet2, r.row2, r.column2}),
                  std::vector<int>({1, 5, 3, 1, 5, 3}));
        EXPECT_FALSE(book->find_range("OnChart", r)) << "a name on a chart sheet is not found";
        EXPECT_EQ(book->range_names(), std::vector<std::string>({"DATA", "OnChart", "FirstCell"}));
        if (v == 8) {
            // The fourth entry points into another workbook.
            biff_stream t(8);
            t.bof(5).bound_sheet(0, "A").own_book(1).record(0x01AE, bytes{}.u16(1).u16(3).raw("x.x").u16(1).u16(1).u8(0).raw("A"));
            t.extern_sheets({{0, 0, 0}, {1, 0, 0}});
            t.name("Mine", biff_stream::cell8(0, 0, 0)).name("Theirs", biff_stream::cell8(1, 0, 0)).name("NoEntry", biff_stream::cell8(7, 0, 0)).eof();
            t.bof(0x10).number(0, 0, 1).eof();
            auto other = load(t);
            EXPECT_TRUE(other->find_range("Mine", r));
            EXPECT_FALSE(other->find_range("Theirs", r));
            EXPECT_FALSE(other->find_range("NoEntry", r));
        }
    }
}

TEST(XlsStream, NamesWithOptionsOrOtherDefinitionsOrDamage) {
    biff_stream s(8);
    s.bof(5).bound_sheet(0, "A").own_book(1).extern_sheets({{0, 0, 0}});
    s.name("Print_Area", biff_stream::area8(0, 0, 9, 0, 3), 0x0020);     // built-in
    s.name("Hidden", biff_stream::area8(0, 0, 9, 0, 3), 0x0001);         // hidden
    s.name("Constant", bytes{}.u8(0x1E).u16(42));                       // not a reference
    s.name("Short", bytes{}.u8(0x3B).u16(0).u16(1));                     // token cut short
    s.name("Value", bytes{}.u8(0x5B).u16(0).u16(2).u16(3).u16(0).u16(1)); // value-class area
    // A name whose length says more characters than the record holds.
    s.record(0x0018, bytes{}.u16(0).u8(0).u8(200).u16(0).fill(8).u8(0).raw("Cut"));
    s.name("Constant", biff_stream::area8(0, 0, 0, 0, 0));               // a later duplicate
    s.eof().bof(0x10).number(0, 0, 1).eof();
    auto book = load(s);
    EXPECT_EQ(book->range_names(), std::vector<std::string>({"Constant", "Short", "Value", "Constant"}));
    fv::range_bounds r;
    EXPECT_FALSE(book->find_range("Print_Area", r));
    EXPECT_FALSE(book->find_range("hidden", r));
    EXPECT_FALSE(book->find_range("Constant", r)) << "the first match decides";
    EXPECT_FALSE(book->find_range("Short", r));
    EXPECT_FALSE(book->find_range("Cut", r));
    ASSERT_TRUE(book->find_range("VALUE", r));
    EXPECT_EQ(std::vector<int>({r.sheet1, r.row1, r.column1, r.sheet2, r.row2, r.column2}),
              std::vector<int>({1, 3, 1, 1, 4, 2}));
}

TEST(XlsStream, NumbersFromRkMultipleRkAndNumberRecords) {
    const struct {
        std::uint32_t raw;
        double value;
    } rk_cases[] = {
        {0x00000192, 100.0}, {0x00000193, 1.0}, {0x3FF00000, 1.0}, {0x3FF00001, 0.01}, {0xFFFFFFFE, -1.0},
        {0xC0590000, -100.0},
    };
    auto book = load(one_sheet(8, [&](biff_stream& s) {
        unsigned col = 0;
        for (const auto& c : rk_cases) s.rk(0, col++, c.raw);
        // Columns 1 to 3 of row 2, then a span running backwards and one longer than its record.
        s.record(0x00BD, bytes{}.u16(1).u16(1).u16(15).u32(0x192).u16(15).u32(0x196).u16(15).u32(0x19A).u16(3));
        s.record(0x00BD, bytes{}.u16(2).u16(5).u16(15).u32(0x192).u16(2));
        s.record(0x00BD, bytes{}.u16(3).u16(0).u16(15).u32(0x192).u16(200));
        s.number(4, 0, -2.5e-7);
        s.number(4, 1, std::numeric_limits<double>::infinity());
        s.number(4, 2, std::numeric_limits<double>::quiet_NaN());
        s.rk(4, 3, 0x7FF00000);                       // an RK infinity
        s.record(0x0205, bytes{}.u16(4).u16(4).u16(15).u8(1).u8(0));  // boolean TRUE
        s.record(0x0203, bytes{}.u16(4).u16(5).u16(15).u32(7));       // number cut short: no cell
        s.number(4, 300, 5.0);                        // column beyond IV: not column A..
    }));
    unsigned col = 0;
    for (const auto& c : rk_cases) {
        const std::string address_text = "A:" + fv::index_letters(col++) + "1";
        EXPECT_EQ(number_at(*book, address_text.c_str()), c.value) << std::hex << c.raw;
    }
    EXPECT_EQ(number_at(*book, "A:B2"), 100.0);
    EXPECT_EQ(number_at(*book, "A:C2"), 101.0);
    EXPECT_EQ(number_at(*book, "A:D2"), 102.0);
    double x;
    EXPECT_EQ(book->read_cell("A:A2", x), fv::content_no_cell);
    EXPECT_EQ(book->read_cell("A:E2", x), fv::content_no_cell);
    EXPECT_EQ(book->read_cell("A:F3", x), fv::content_no_cell) << "backward span skipped";
    EXPECT_EQ(number_at(*book, "A:A4"), 100.0) << "only the entry the record holds";
    EXPECT_EQ(book->read_cell("A:B4", x), fv::content_no_cell);
    EXPECT_EQ(number_at(*book, "A:A5"), -2.5e-7);
    std::string t;
    EXPECT_EQ(book->read_cell("A:A5", t), fv::content_is_number);
    for (const char* non_finite : {"A:B5", "A:C5", "A:D5"}) {
        EXPECT_EQ(book->read_cell(non_finite, x), fv::content_error_value) << non_finite;
        EXPECT_EQ(book->read_cell(non_finite, t), fv::content_error_value) << non_finite;
        EXPECT_EQ(kind_at(*book, non_finite), fv::kind_other) << non_finite;
    }
    EXPECT_EQ(number_at(*book, "A:E5"), 0.0) << "boolean and error cells read as 0";
    EXPECT_EQ(kind_at(*book, "A:E5"), fv::kind_number);
    EXPECT_EQ(book->read_cell("A:F5", x), fv::content_no_cell);
    EXPECT_EQ(book->read_cell("A:A5", x), fv::content_delivered);
    EXPECT_EQ(book->data_cell_addresses().size(), 6u + 3u + 1u + 5u);
}

TEST(XlsStream, CellsOutOfOrderAreFound) {
    auto book = load(one_sheet(5, [](biff_stream& s) {
        s.number(9, 1, 9.0).number(0, 0, 1.0).label(3, 2, "Name");
    }));
    EXPECT_EQ(number_at(*book, "A:B10"), 9.0);
    EXPECT_EQ(number_at(*book, "A:A1"), 1.0);
    EXPECT_EQ(text_at(*book, "A:C4"), "Name");
    // List addressing stays on the first cell of the file.
    double x;
    EXPECT_EQ(book->read_current_cell(x), fv::content_delivered);
    EXPECT_EQ(x, 9.0);
}

TEST(XlsStream, LabelTexts) {
    auto book = load(one_sheet(8, [](biff_stream& s) {
        s.label(0, 0, "Loans");
        s.record(0x0204, bytes{}.u16(1).u16(0).u16(15).u16(4).u8(1).wide({'N', 0x3A9, 'a', 0xE9}));  // 16-bit
        s.record(0x0204, bytes{}.u16(2).u16(0).u16(15).u16(50).u8(0).raw("short"));                  // count too big
        s.record(0x00D6, bytes{}.u16(3).u16(0).u16(15).u16(4).u8(0).raw("Rich").u16(0));              // rich string
    }));
    EXPECT_EQ(text_at(*book, "A:A1"), "Loans");
    EXPECT_EQ(text_at(*book, "A:A2"), "N\u03a9a\u00e9");
    EXPECT_EQ(text_at(*book, "A:A3"), "short");
    EXPECT_EQ(text_at(*book, "A:A4"), "Rich");
    double x;
    EXPECT_EQ(book->read_cell("A:A1", x), fv::content_is_text);
    EXPECT_EQ(kind_at(*book, "A:A1"), fv::kind_text);

    auto v5 = load(one_sheet(5, [](biff_stream& s) { s.label(0, 0, "Caf\xe9"); }));
    EXPECT_EQ(text_at(*v5, "A:A1"), "Caf\u00e9");
}

TEST(XlsStream, FormulaResults) {
    for (int v : {5, 8}) {
        auto book = load(one_sheet(v, [](biff_stream& s) {
            s.formula(0, 0, bytes{}.f64(300.0));
            s.formula(1, 0, biff_stream::special(0)).string_result("abcd");
            s.formula(2, 0, biff_stream::special(0)).number(2, 1, 5.0).string_result("stray");
            s.formula(3, 0, biff_stream::special(1, 1));
            s.formula(4, 0, biff_stream::special(2, 7));
            s.formula(5, 0, biff_stream::special(3));
            s.formula(6, 0, biff_stream::special(0));  // the last cell, no string follows
            s.formula(7, 0, bytes{}.f64(std::numeric_limits<double>::infinity()));
        }));
        EXPECT_EQ(number_at(*book, "A:A1"), 300.0);
        EXPECT_EQ(text_at(*book, "A:A2"), "abcd");
        std::string t;
        double x;
        EXPECT_EQ(book->read_cell("A:A2", x), fv::content_is_text);
        EXPECT_EQ(kind_at(*book, "A:A2"), fv::kind_text);
        EXPECT_EQ(book->read_cell("A:A3", t), fv::content_not_read) << "string of another cell";
        EXPECT_EQ(number_at(*book, "A:B3"), 5.0);
        for (const char* c : {"A:A4", "A:A5"}) {
            EXPECT_EQ(book->read_cell(c, t), fv::content_error_value);
            EXPECT_EQ(book->read_cell(c, x), fv::content_error_value);
            EXPECT_EQ(kind_at(*book, c), fv::kind_other);
        }
        EXPECT_EQ(book->read_cell("A:A6", t), fv::content_is_number);
        EXPECT_EQ(book->read_cell("A:A6", x), fv::content_empty_result);
        EXPECT_EQ(kind_at(*book, "A:A6"), fv::kind_number);
        EXPECT_EQ(book->read_cell("A:A7", t), fv::content_not_read);
        EXPECT_EQ(book->read_cell("A:A8", x), fv::content_error_value);
        EXPECT_EQ(book->data_cell_addresses().size(), 9u) << "string records are not cells of their own";
    }
}

TEST(XlsStream, StringResultsAfterSharedFormulaRecordsAndCutShort) {
    for (int v : {5, 8}) {
        auto book = load(one_sheet(v, [v](biff_stream& s) {
            // Writers put the shared formula between a formula and its string.
            s.formula(0, 0, biff_stream::special(0)).record(0x04BC, bytes{}.fill(10)).string_result("shared");
            // A string record whose count says more characters than it holds,
            // followed by a label whose bytes must not be taken as characters.
            bytes cut;
            cut.u16(50);
            if (v == 8) cut.u8(0);
            s.formula(1, 0, biff_stream::special(0)).record(0x0207, cut.raw("cut"));
            s.label(1, 1, "next");
        }));
        EXPECT_EQ(text_at(*book, "A:A1"), "shared") << v;
        EXPECT_EQ(text_at(*book, "A:A2"), "cut") << v;
        EXPECT_EQ(text_at(*book, "A:B2"), "next") << v;
    }
}

TEST(XlsStream, NameTablesThatSayMoreThanTheyHold) {
    biff_stream s(8);
    s.bof(5).bound_sheet(0, "A").own_book(1);
    // The external-sheet table says four entries and holds one.
    s.record(0x0017, bytes{}.u16(4).u16(0).u16(0).u16(0));
    s.name("Held", biff_stream::cell8(0, 2, 1));
    s.name("Beyond", biff_stream::cell8(2, 2, 1));
    // A definition length past its record, over an area token cut short: the
    // rest of the token must not come from the record that follows.
    s.record(0x0018, bytes{}.u16(0).u8(0).u8(4).u16(200).fill(8).u8(0).raw("Past").u8(0x3B).u16(0).u16(1));
    s.record(0x0022, bytes{}.u16(5).u16(0xC000).u16(0xC001));
    s.eof().bof(0x10).number(0, 0, 1).eof();
    auto book = load(s);
    EXPECT_EQ(book->range_names(), std::vector<std::string>({"Held", "Beyond", "Past"}));
    fv::range_bounds r;
    ASSERT_TRUE(book->find_range("Held", r));
    EXPECT_EQ(std::vector<int>({r.sheet1, r.row1, r.column1, r.sheet2, r.row2, r.column2}),
              std::vector<int>({1, 3, 2, 1, 3, 2}));
    EXPECT_FALSE(book->find_range("Beyond", r));
    EXPECT_FALSE(book->find_range("Past", r));
}

namespace {

// A version 8 workbook whose string table is the records given, and one
// shared-string label per index given, in column A.
biff_stream with_strings(const std::vector<bytes>& table, const std::vector<std::uint32_t>& labels) {
    biff_stream s(8);
    s.bof(5).bound_sheet(0, "A");
    s.record(0x00FC, table.front());
    for (std::size_t i = 1; i < table.size(); ++i) s.record(0x003C, table[i]);
    s.record(0x00FF, bytes{}.u16(8));
    s.eof().bof(0x10);
    unsigned row = 0;
    for (std::uint32_t index : labels) s.shared_label(row++, 0, index);
    return s.eof();
}

std::string shared_failure(fv::xls_reader& book, const char* address_text) {
    std::string t;
    try {
        book.read_cell(address_text, t);
    } catch (const fv::text_error& e) {
        return e.text();
    }
    return "(read " + t + ")";
}

}  // namespace

TEST(XlsStream, SharedStringsAcrossContinuations) {
    const std::vector<bytes> table = {
        bytes{}.u32(6).u32(6)
            .u16(5).u8(0).raw("Loans")                       // 0
            .u16(6).u8(0).raw("Dis"),                        // 1: continues 8-bit as 16-bit
        bytes{}.u8(1).wide({'b', 0x20AC, 'r'})
            .u16(4).u8(8).u16(2).raw("Rich")                 // 2: rich text, runs cross the record
            .fill(5),
        bytes{}.fill(3)
            .u16(3).u8(1).wide({'W', 0x3A9}),                // 3: 16-bit, continues 8-bit
        bytes{}.u8(0).raw("x")
            .u16(0).u8(0)                                    // 4: empty
            .u16(3).u8(0).raw("end"),                        // 5
    };
    auto book = load(with_strings(table, {0, 1, 2, 3, 4, 5, 6, 0x00010000}));
    EXPECT_EQ(text_at(*book, "A:A1"), "Loans");
    EXPECT_EQ(text_at(*book, "A:A2"), "Disb\u20acr");
    EXPECT_EQ(text_at(*book, "A:A3"), "Rich");
    EXPECT_EQ(text_at(*book, "A:A4"), "W\u03a9x");
    EXPECT_EQ(text_at(*book, "A:A5"), "");
    EXPECT_EQ(text_at(*book, "A:A6"), "end");
    EXPECT_EQ(shared_failure(*book, "A:A7"), "xls_file::get_string called with out-of-range string");
    EXPECT_EQ(shared_failure(*book, "A:A8"), "xls_file::get_string called with out-of-range string")
        << "index 65536 is not index 0";
}

TEST(XlsStream, SharedStringIndexUsesAll32Bits) {
    // 65,538 strings: "s0", then empty strings, with "far" at index 65,537.
    std::vector<bytes> table;
    bytes first;
    first.u32(65538).u32(65538).u16(2).u8(0).raw("s0");
    table.push_back(first);
    for (unsigned i = 1; i < 65538; ++i) {
        if (table.back().size() + 8 > 8224) table.push_back(bytes{});
        if (i == 65537) table.back().u16(3).u8(0).raw("far");
        else table.back().u16(0).u8(0);
    }
    auto book = load(with_strings(table, {65537, 1, 0}));
    EXPECT_EQ(text_at(*book, "A:A1"), "far");
    EXPECT_EQ(text_at(*book, "A:A2"), "");
    EXPECT_EQ(text_at(*book, "A:A3"), "s0");
}

TEST(XlsStream, DamagedOrMissingSharedStringTables) {
    {
        // The table promises three strings and stops inside the second.
        auto book = load(with_strings({bytes{}.u32(3).u32(3).u16(2).u8(0).raw("ok").u16(9).u8(0).raw("cut")}, {0, 1, 2}));
        EXPECT_EQ(text_at(*book, "A:A1"), "ok") << "strings before the damage stay readable";
        EXPECT_EQ(shared_failure(*book, "A:A2"), "xls_file::get_sst missing continuation record");
        EXPECT_EQ(shared_failure(*book, "A:A3"), "xls_file::get_sst missing continuation record");
    }
    {
        auto book = load(with_strings({bytes{}.u32(2).u32(2).u16(2).u8(0).raw("ok").u16(2).u8(4).u32(0).raw("jp")}, {0, 1}));
        EXPECT_EQ(text_at(*book, "A:A1"), "ok");
        EXPECT_EQ(shared_failure(*book, "A:A2"), "xls_file::get_sst XLS file Far East formatting (not supported)");
    }
    {
        auto book = load(one_sheet(8, [](biff_stream& s) { s.shared_label(0, 0, 0); }));
        EXPECT_EQ(shared_failure(*book, "A:A1"), "xls_file::get_sst XLS file with no shared string table");
    }
}

TEST(XlsStream, DamagedRecordsAndUnknownStreams) {
    const std::string too_long = "xls_file::load  File may be corrupted (record longer than 8228 bytes)";
    EXPECT_EQ(load_failure(one_sheet(8, [](biff_stream& s) { s.record(0x0204, bytes{}.fill(8229)); })), too_long);
    EXPECT_EQ(load_failure(one_sheet(5, [](biff_stream& s) { s.record(0x0204, bytes{}.fill(2085)); })), too_long);
    EXPECT_EQ(load_failure(one_sheet(8, [](biff_stream& s) { s.record(0x00FC, bytes{}.fill(8228)); })), "(loaded)");
    EXPECT_EQ(load_failure(one_sheet(5, [](biff_stream& s) { s.record(0x00FC, bytes{}.fill(2084)); })), "(loaded)");

    biff_stream cut = one_sheet(8, [](biff_stream& s) { s.number(0, 0, 1.0); });
    cut.out.erase(cut.out.end() - 9, cut.out.end());  // inside the number record
    EXPECT_EQ(load_failure(cut), "xls_file::load  File may be corrupted (record runs past the end of the stream)");

    const std::string unknown = "Spreadsheet file  is in an unknown format.";
    biff_stream empty;
    EXPECT_EQ(load_failure(empty), unknown);
    biff_stream text;
    text.out = {'N', 'a', 'm', 'e', ',', '1', '\n'};
    EXPECT_EQ(load_failure(text), unknown);
    biff_stream old(8);
    old.record(0x0409, bytes{}.u16(0x0000).u16(0x10));  // version 4
    EXPECT_EQ(load_failure(old), unknown);

    // Anything after the last substream (writers pad with zeros) is not read.
    biff_stream padded = one_sheet(8, [](biff_stream& s) { s.number(0, 0, 1.0); });
    padded.out.insert(padded.out.end(), 300, 0);
    padded.out.push_back(0xFF);
    auto book = load(padded);
    EXPECT_EQ(number_at(*book, "A:A1"), 1.0);
}
