// The WK1 reader over files built byte by byte: cell kinds and result codes,
// special formula values, ranges, addressing, the record and file limits, and
// damaged or short records.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <limits>

#include "lotus_writer.h"
#include "util/text_error.h"
#include "workbook/wk1_reader.h"

namespace fv {
namespace {

using test::bytes;
using test::record_writer;
using test::temp_file;
namespace w = test::wk1;

std::string load_failure(const bytes& content, const std::string& extension = "wk1") {
    temp_file file(content, extension);
    wk1_reader book(file.path());
    try {
        book.load();
    } catch (const text_error& failure) {
        return failure.text();
    }
    return "";
}

// The raw bytes of a double with the given top two bytes (byte 6 and 7 of the
// value) and low six bytes.
bytes value_bytes(unsigned byte7, unsigned byte6, unsigned low = 0) {
    bytes value(8, 0);
    value[0] = static_cast<unsigned char>(low);
    value[6] = static_cast<unsigned char>(byte6);
    value[7] = static_cast<unsigned char>(byte7);
    return value;
}

struct cell_case {
    const char* what;
    bytes file;
    int text_code;
    std::string text;
    int number_code;
    double number;
    int kind;
};

TEST(Wk1Reader, EveryCellKindReadsWithItsCodes) {
    const cell_address a1("A:A1");
    auto one = [&](unsigned type, const bytes& data) {
        record_writer writer = w::start();
        writer.record(type, data).record(w::eof, {});
        return writer.data();
    };
    auto then = [&](unsigned type, const bytes& data, unsigned type2, const bytes& data2) {
        record_writer writer = w::start();
        writer.record(type, data).record(type2, data2).record(w::eof, {});
        return writer.data();
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<cell_case> cases = {
        {"label", one(w::label, w::label_cell(a1, "Name")), 0, "Name", 4, 0, kind_text},
        {"label with a NUL prefix", one(w::label, bytes{0xFF, 0, 0, 0, 0, 0}), 0, "", 4, 0, kind_text},
        {"formula string", one(w::string_value, w::string_value_cell(a1, "Loans")), 0, "Loans", 4, 0, kind_text},
        {"integer", one(w::integer, w::integer_cell(a1, -3)), 5, "", 0, -3.0, kind_number},
        {"number", one(w::number, w::number_cell(a1, 1234.5678)), 5, "", 0, 1234.5678, kind_number},
        {"number special sign set zero mantissa", one(w::number, test::cat(w::cell(a1), value_bytes(0xFF, 0xF0))), 5, "", 3, 0,
         kind_number},
        {"number special sign set mantissa", one(w::number, test::cat(w::cell(a1), value_bytes(0xFF, 0xF8))), 5, "", 4, 0,
         kind_number},
        {"formula plain", one(w::formula, w::formula_cell(a1, 0.25)), 5, "", 0, 0.25, kind_number},
        {"formula error (+inf)", one(w::formula, w::formula_cell(a1, value_bytes(0x7F, 0xF0))), 2, "", 0,
         std::numeric_limits<double>::infinity(), kind_other},
        {"formula not available", one(w::formula, w::formula_cell(a1, value_bytes(0xFF, 0xF0))), 3, "", 3, 0,
         kind_other},
        {"formula sign set with mantissa", one(w::formula, w::formula_cell(a1, value_bytes(0xFF, 0xF0, 1))), 5, "", 4,
         0, kind_other},
        {"formula string result with its string", then(w::formula, w::formula_cell(a1, value_bytes(0x7F, 0xF8)),
                                                        w::string_value, w::string_value_cell(a1, "Loans")),
         0, "Loans", 0, nan, kind_text},
        {"formula string result, next record elsewhere",
         then(w::formula, w::formula_cell(a1, value_bytes(0x7F, 0xF8)), w::string_value,
              w::string_value_cell(cell_address("A:A2"), "Loans")),
         7, "", 0, nan, kind_text},
        {"formula string result, next record a label", then(w::formula, w::formula_cell(a1, value_bytes(0x7F, 0xF8)),
                                                            w::label, w::label_cell(cell_address("A:B1"), "x")),
         7, "", 0, nan, kind_text},
        {"blank cell", one(w::blank, w::cell(a1)), 1, "", 1, 0, kind_none},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        temp_file file(c.file, "wk1");
        wk1_reader book(file.path());
        ASSERT_NO_THROW(book.load());
        std::string text = "unchanged";
        double number = -99;
        EXPECT_EQ(book.read_cell("A:A1", text), c.text_code);
        if (c.text_code == 0) {
            EXPECT_EQ(text, c.text);
        }
        EXPECT_EQ(book.read_cell("A:A1", number), c.number_code);
        if (c.number_code == 0) {
            if (std::isnan(c.number)) {
                EXPECT_TRUE(std::isnan(number));
            } else {
                EXPECT_EQ(number, c.number);
            }
        }
        book.use_cursor_addressing();
        EXPECT_EQ(book.move_cursor("A:A1"), c.kind);
        EXPECT_EQ(book.current_cell_kind(), c.kind);
    }
}

TEST(Wk1Reader, NonFiniteNumbersAreDeliveredAsStored) {
    const double infinity = std::numeric_limits<double>::infinity();
    temp_file file(w::workbook({{"A:A1", infinity}, {"A:A2", -infinity}, {"A:A3", std::nan("")}}), "wk1");
    wk1_reader book(file.path());
    book.load();
    double number = 0;
    EXPECT_EQ(book.read_cell("A:A1", number), content_delivered);
    EXPECT_EQ(number, infinity);
    // -inf is the not-available pattern of a number cell (sign set, zero mantissa).
    EXPECT_EQ(book.read_cell("A:A2", number), content_not_available);
    EXPECT_EQ(book.read_cell("A:A3", number), content_delivered);
    EXPECT_TRUE(std::isnan(number));
}

TEST(Wk1Reader, RangesListInFileOrderAndAreFoundIgnoringCase) {
    record_writer writer = w::start();
    writer.record(w::range, w::range_record("DATA1", 1, 2, 8, 40))
        .record(w::range2, w::range_record("\\0", 0, 0, 0, 0))
        .record(w::range, w::range_record("data1", 5, 5, 5, 5))
        .record(w::eof, {});
    temp_file file(writer.data(), "wk1");
    wk1_reader book(file.path());
    book.load();
    EXPECT_EQ(book.range_names(), (std::vector<std::string>{"DATA1", "\\0", "data1"}));
    range_bounds bounds;
    ASSERT_TRUE(book.find_range("data1", bounds));  // first match in file order
    EXPECT_EQ(bounds.sheet1, 1);
    EXPECT_EQ(bounds.row1, 3);
    EXPECT_EQ(bounds.column1, 2);
    EXPECT_EQ(bounds.sheet2, 1);
    EXPECT_EQ(bounds.row2, 41);
    EXPECT_EQ(bounds.column2, 9);
    EXPECT_FALSE(book.find_range("DATA", bounds));
}

TEST(Wk1Reader, CellsStoredOutOfOrderAreFoundAndListAddressingStaysOnTheFirstInFile) {
    temp_file file(w::workbook({{"A:C5", 3.0}, {"A:A1", 1.0}, {"A:B2", std::string("two")}, {"A:A3", 4.0}}), "wk1");
    wk1_reader book(file.path());
    book.load();
    double number = 0;
    std::string text;
    // List addressing: the first data cell of the file, whatever its coordinate.
    EXPECT_EQ(book.read_current_cell(number), content_delivered);
    EXPECT_EQ(number, 3.0);
    EXPECT_EQ(book.current_cell_kind(), kind_number);
    for (const auto& [address_text, value] : std::vector<std::pair<const char*, double>>{{"A:A1", 1}, {"A:A3", 4}, {"A:C5", 3}}) {
        EXPECT_EQ(book.read_cell(address_text, number), content_delivered) << address_text;
        EXPECT_EQ(number, value) << address_text;
    }
    EXPECT_EQ(book.read_cell("A:B2", text), content_delivered);
    EXPECT_EQ(text, "two");
    // Cursor addressing: the cell at the cursor, or none.
    book.use_cursor_addressing();
    EXPECT_EQ(book.move_cursor("a:b2"), kind_text);
    EXPECT_EQ(book.read_current_cell(text), content_delivered);
    EXPECT_EQ(book.move_cursor("A:B3"), kind_none);
    EXPECT_EQ(book.read_current_cell(text), content_no_cell);
    EXPECT_EQ(book.read_current_cell(number), content_no_cell);
    EXPECT_EQ(book.read_cell("B:A1", number), content_no_cell);  // WK1 cells are all on sheet A
    EXPECT_THROW(book.move_cursor("A:1"), text_error);
    EXPECT_EQ(book.data_cell_addresses().size(), 4u);
}

TEST(Wk1Reader, OnlyTheLowByteOfTheColumnCounts) {
    bytes cell = w::number_cell(cell_address("A:F1"), 6.0);
    cell[2] = 0x01;  // column 0x0105
    record_writer writer = w::start();
    writer.record(w::number, cell).record(w::eof, {});
    temp_file file(writer.data(), "wk1");
    wk1_reader book(file.path());
    book.load();
    double number = 0;
    EXPECT_EQ(book.read_cell("A:F1", number), content_delivered);
    EXPECT_EQ(number, 6.0);
}

TEST(Wk1Reader, RecordsAfterTheEndOfFileAreNeverRead) {
    record_writer writer = w::start();
    writer.record(w::number, w::number_cell(cell_address("A:A1"), 1.0))
        .record(w::eof, {})
        .record(w::number, w::number_cell(cell_address("A:A2"), 2.0))
        .raw(bytes{0x0E, 0x00, 0xFF, 0xFF, 0x01});  // a damaged record: never looked at
    temp_file file(writer.data(), "wk1");
    wk1_reader book(file.path());
    ASSERT_NO_THROW(book.load());
    double number = 0;
    EXPECT_EQ(book.read_cell("A:A2", number), content_no_cell);
    EXPECT_EQ(book.record_count(), 3u);
}

TEST(Wk1Reader, AFileWithoutAnEndRecordEndsAtItsLastRecord) {
    record_writer writer = w::start();
    writer.record(w::label, w::label_cell(cell_address("A:A1"), "x"));
    temp_file file(writer.data(), "wk1");
    wk1_reader book(file.path());
    ASSERT_NO_THROW(book.load());
    EXPECT_EQ(book.data_cell_addresses().size(), 1u);
}

TEST(Wk1Reader, RecordLengthLimitIs2048) {
    record_writer accepted = w::start();
    accepted.record(0x64, bytes(2048, 0x41)).record(w::eof, {});
    EXPECT_EQ(load_failure(accepted.data()), "");

    record_writer refused = w::start();
    refused.record(0x64, bytes(2049, 0x41)).record(w::eof, {});
    EXPECT_EQ(load_failure(refused.data()), "wk1_file::load_wk1 file may be corrupted (record longer than 2048 bytes)");
}

// A file of exactly `size` bytes: start, then filler records, then end of file.
bytes file_of_size(std::size_t size) {
    record_writer writer = w::start();
    std::size_t left = size - 6 - 4;  // the start record and the end record
    while (left > 0) {
        const std::size_t take = std::min<std::size_t>(left, 2048 + 4);
        // A record shorter than its header cannot be; split the last one so both fit.
        const std::size_t record = left - take != 0 && left - take < 4 ? take - 4 : take;
        writer.record(0x64, bytes(record - 4, 0));
        left -= record;
    }
    writer.record(w::eof, {});
    return writer.data();
}

TEST(Wk1Reader, FileSizeLimitIs12000000Bytes) {
    const bytes at_limit = file_of_size(12'000'000);
    ASSERT_EQ(at_limit.size(), 12'000'000u);
    EXPECT_EQ(load_failure(at_limit), "");

    bytes over = file_of_size(12'000'001);
    ASSERT_EQ(over.size(), 12'000'001u);
    temp_file file(over, "wk1");
    wk1_reader book(file.path());
    try {
        book.load();
        FAIL() << "a file over the limit loaded";
    } catch (const text_error& failure) {
        EXPECT_EQ(failure.text(), "Spreadsheet file " + file.path() + " is larger than 12 MB.");
    }
}

TEST(Wk1Reader, DamagedFilesFailWithTextsNamingWhatWasWrong) {
    const cell_address a1("A:A1");
    const std::string defective = "wk1_file::load_wk1:  defective input file (";
    auto with = [&](unsigned type, const bytes& data) {
        record_writer writer = w::start();
        writer.record(type, data).record(w::eof, {});
        return writer.data();
    };
    bytes cut_label = w::label_cell(a1, "Name");
    cut_label.pop_back();  // no NUL
    bytes cut_string = w::string_value_cell(a1, "Loans");
    cut_string.pop_back();
    bytes unterminated_name = w::range_record("ABCDEFGHIJKLMNOP", 0, 0, 1, 1);
    record_writer truncated = w::start();
    truncated.record(w::number, w::number_cell(a1, 1.0), 40);
    record_writer half_header = w::start();
    half_header.raw(bytes{0x0E, 0x00});

    const std::vector<std::pair<bytes, std::string>> cases = {
        {{}, defective + "the file is empty)"},
        {{0x00, 0x00}, defective + "record runs past the end of the file)"},
        {{0x01, 0x00, 0x02, 0x00, 0x06, 0x04}, defective + "first record is not type zero)"},
        {test::record_writer().record(0, bytes(26, 0)).data(), defective + "first record is not length 2)"},
        {truncated.data(), defective + "record runs past the end of the file)"},
        {half_header.data(), defective + "record runs past the end of the file)"},
        {with(w::number, bytes(12, 0)), defective + "number or formula cell record too short: record type 14 at byte 6)"},
        {with(w::formula, bytes(5, 0)), defective + "number or formula cell record too short: record type 16 at byte 6)"},
        {with(w::integer, bytes(6, 0)), defective + "integer cell record too short: record type 13 at byte 6)"},
        {with(w::label, bytes(5, 0)), defective + "label cell record too short: record type 15 at byte 6)"},
        {with(w::label, cut_label), defective + "label without its terminating NUL: record type 15 at byte 6)"},
        {with(w::string_value, bytes(4, 0)), defective + "formula string record too short: record type 51 at byte 6)"},
        {with(w::string_value, cut_string),
         defective + "formula string without its terminating NUL: record type 51 at byte 6)"},
        {with(w::range, bytes(23, 0)), defective + "range name record too short: record type 11 at byte 6)"},
        {with(w::range2, unterminated_name),
         defective + "range name without its terminating NUL: record type 71 at byte 6)"},
    };
    for (const auto& [content, expected] : cases) EXPECT_EQ(load_failure(content), expected);
}

TEST(Wk1Reader, OnlyRegularFilesOpen) {
    const std::string absent = (std::filesystem::temp_directory_path() / "fv_lotus_absent.wk1").string();
    wk1_reader missing(absent);
    try {
        missing.load();
        ADD_FAILURE() << "a missing file loaded";
    } catch (const text_error& failure) {
        EXPECT_EQ(failure.text(), "wk1_file::load unable to open " + missing.file_name());
    }

    const std::string folder = (std::filesystem::temp_directory_path() / ("fv_lotus_dir_" + std::to_string(::getpid()) + ".wk1")).string();
    std::filesystem::create_directory(folder);
    wk1_reader directory(folder);
    EXPECT_THROW(directory.load(), text_error);
    std::filesystem::remove(folder);

    const std::string fifo = (std::filesystem::temp_directory_path() / ("fv_lotus_fifo_" + std::to_string(::getpid()) + ".wk1")).string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    wk1_reader pipe(fifo);
    try {
        pipe.load();  // must not block waiting for a writer
        ADD_FAILURE() << "a FIFO loaded";
    } catch (const text_error& failure) {
        EXPECT_EQ(failure.text(), "wk1_file::load unable to open " + fifo);
    }
    std::filesystem::remove(fifo);
}

TEST(Wk1Reader, LoadsFromMemoryAndSetsItsKind) {
    wk1_reader book("");
    EXPECT_EQ(book.kind(), format_kind::wk1);
    book.load_bytes(w::workbook({{"A:B2", std::string("Name")}}, {{"DATA", "A:B2", "A:C3"}}));
    std::string text;
    EXPECT_EQ(book.read_cell("A:B2", text), content_delivered);
    EXPECT_EQ(text, "Name");
    EXPECT_EQ(book.range_names(), std::vector<std::string>{"DATA"});
}

}  // namespace
}  // namespace fv
