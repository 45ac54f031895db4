// The dump that wbdump prints: its lines, fields and escapes, over a small
// WK1 workbook whose every answer is known.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "lotus_writer.h"
#include "workbook/workbook_file.h"
#include "workbook/workbook_dump.h"

namespace fv {
namespace {

namespace w = test::wk1;

TEST(WorkbookDump, PrintsFormatRangesCandidatesAndCells) {
    const test::bytes content = w::start()
                                    .record(w::range, w::range_record("DATA", 1, 1, 2, 3))
                                    .record(w::range, w::range_record("\\Z", 0, 0, 0, 0))
                                    .record(w::range, w::range_record("WIDE", 0, 0, 300, 0))
                                    .record(w::label, w::label_cell(cell_address("A:B2"), "Name\tof\\it\x01"))
                                    .record(w::number, w::number_cell(cell_address("A:C2"), 0.1 + 0.2))
                                    .record(w::integer, w::integer_cell(cell_address("A:B3"), -7))
                                    .record(w::formula, w::formula_cell(cell_address("A:C3"), {0, 0, 0, 0, 0, 0, 0xF0, 0xFF}))
                                    .record(w::eof, {})
                                    .data();
    test::temp_file file(content, "wk1");
    workbook_file book(file.path());
    book.load();
    std::ostringstream out;
    dump_workbook(book, out);
    const std::string expected = "format\t4\twk1\n"
                                 "file\t" + book.file_name() + "\n"
                                 "date\t" + book.file_date() + "\n"
                                 "range\tDATA\t1\t2\t2\t1\t4\t3\tA:B2..A:C4\n"
                                 "range\t\\\\Z\t1\t1\t1\t1\t1\t1\tA:A1..A:A1\n"
                                 "range\tWIDE\t1\t1\t1\t1\t1\t301\t-\n"
                                 "candidate\tDATA\n"
                                 "cell\tA:B2\t2\t0\tName\\tof\\\\it\\x01\t4\t\n"
                                 "cell\tA:C2\t1\t5\t\t0\t0.30000000000000004\n"
                                 "cell\tA:B3\t1\t5\t\t0\t-7\n"
                                 "cell\tA:C3\t3\t3\t\t3\t\n";
    EXPECT_EQ(out.str(), expected);
}

TEST(WorkbookDump, NumbersReadBackExactly) {
    for (double value : {0.1, 1.0 / 3.0, -2.5e-300, 1e300, 123456789.0}) {
        EXPECT_EQ(std::strtod(dump_number(value).c_str(), nullptr), value) << dump_number(value);
    }
    EXPECT_EQ(dump_number(std::numeric_limits<double>::infinity()), "inf");
}

}  // namespace
}  // namespace fv
