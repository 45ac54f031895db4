// The front chooses the reader of today's formats by the file's content, the
// name being only the first guess: a workbook saved under another name still
// reads as what it is, while the old formats keep their rules by extension.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "zip_workbook_support.h"

namespace fv::test {
namespace {

// The shipped examples and their ranges.
const std::pair<const char*, const char*> shipped_examples[] = {{"direct_loan", "WATER_LOANS"},
                                                                {"loan_guarantee", "WORKING_CAPITAL"},
                                                                {"disbursement_periods", "HOUSING_REHAB"},
                                                                {"warnings", "FARM_EQUIPMENT"}};

zip_bytes shipped(const std::string& name) {
    std::ifstream in(std::string(FV_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
    return zip_bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(WorkbookFileFormats, TheContentDecidesWhateverTheName) {
    const struct {
        const char* file;
        const char* saved_as;
        format_kind read_as;
    } cases[] = {
        {"direct_loan.xlsx", "xlsx", format_kind::xlsx}, {"direct_loan.xlsx", "XLSM", format_kind::xlsx},
        {"direct_loan.xlsx", "xls", format_kind::xlsx},  {"direct_loan.xlsx", "wk1", format_kind::xlsx},
        {"direct_loan.xlsx", "ods", format_kind::xlsx},  {"direct_loan.xlsx", "download", format_kind::xlsx},
        {"direct_loan.ods", "ods", format_kind::ods},    {"direct_loan.ods", "xlsx", format_kind::ods},
        {"direct_loan.ods", "txt", format_kind::ods},    {"direct_loan.xls", "xlsx", format_kind::xls},
        {"direct_loan.xls", "ods", format_kind::xls},
    };
    for (const auto& c : cases) {
        loaded_package package(shipped(c.file), c.saved_as);
        EXPECT_EQ(package.failure, "") << c.file << " as ." << c.saved_as;
        EXPECT_EQ(package.book.reader_kind(), c.read_as) << c.file << " as ." << c.saved_as;
        EXPECT_EQ(package.book.candidate_ranges(), std::vector<std::string>{"WATER_LOANS"}) << c.file;
    }
}

TEST(WorkbookFileFormats, OtherFilesKeepTheRulesOfTheirName) {
    // A ZIP holding no workbook goes by its name: the old readers say what they always said.
    const zip_bytes other_zip = zip_package({zip_entry("readme.txt", "hello")});
    const std::pair<const char*, std::string> cases[] = {
        {"wk1", "wk1_file::load_wk1:  defective input file (first record is not type zero)"},
        {"txt", "gen_file::load:  unknown file extension.  No handler could be created."},
        {"xlsx", "Spreadsheet file %s is not an Excel workbook: it holds no workbook part xl/workbook.xml."},
        {"ods", "Spreadsheet file %s is damaged: part content.xml is missing."},
    };
    for (const auto& [extension, message] : cases) {
        loaded_package package(other_zip, extension);
        std::string expected = message;
        if (const auto at = expected.find("%s"); at != std::string::npos)
            expected.replace(at, 2, package.book.file_name());
        EXPECT_EQ(package.failure, expected) << extension;
    }
    // An XLS workbook under a name the old rules do not know stays unknown.
    loaded_package unknown(shipped("direct_loan.xls"), "book");
    EXPECT_EQ(unknown.failure, "gen_file::load:  unknown file extension.  No handler could be created.");
}

TEST(WorkbookFileFormats, EveryExampleOffersItsRangeInEveryFormat) {
    for (const auto& [name, range] : shipped_examples) {
        std::map<std::string, std::string> first;
        for (const char* extension : {"wk1", "xls", "xlsx", "ods"}) {
            workbook_file book(std::string(FV_SOURCE_DIR) + "/examples/" + name + "." + extension);
            ASSERT_NO_THROW(book.load()) << name << "." << extension;
            EXPECT_EQ(book.candidate_ranges(), std::vector<std::string>{range}) << name << "." << extension;
            const auto cells = cells_of(book);
            if (first.empty()) first = cells;
            else EXPECT_EQ(cells, first) << name << "." << extension;
        }
    }
}


// Each cell of the cursor's row read on its own, as the range cursor reads one.
std::vector<cell_as_number> row_cell_by_cell(workbook_file& book) {
    std::vector<cell_as_number> cells;
    const int column = book.current_column();
    book.cursor_left(1u << 20);
    for (;;) {
        cell_as_number cell;
        cell.kind = book.cursor_cell_kind();
        if (cell.kind == kind_number) cell.read = book.read_cursor_cell(cell.value) == content_delivered;
        cells.push_back(cell);
        if (!book.cursor_right(1)) break;
    }
    book.cursor_left(1u << 20);
    book.cursor_right(static_cast<unsigned>(column - book.first_column()));
    return cells;
}

// Whole rows read in one go match their cells read one at a time, in every row of the range.
void expect_rows_read_as_cells(workbook_file& book, const std::string& range, const std::string& what) {
    ASSERT_TRUE(book.select_range(range)) << what;
    for (;;) {
        const std::vector<cell_as_number> one_by_one = row_cell_by_cell(book);
        const std::vector<cell_as_number> together = book.read_cursor_row_numbers();
        ASSERT_EQ(together.size(), one_by_one.size()) << what;
        for (std::size_t n = 0; n < together.size(); ++n) {
            EXPECT_EQ(together[n].kind, one_by_one[n].kind) << what << " row " << book.current_row() << " column " << n;
            EXPECT_EQ(together[n].read, one_by_one[n].read) << what << " row " << book.current_row() << " column " << n;
            EXPECT_EQ(std::memcmp(&together[n].value, &one_by_one[n].value, sizeof(double)), 0)
                << what << " row " << book.current_row() << " column " << n;
        }
        if (!book.cursor_down(1)) break;
    }
}

TEST(WorkbookFileFormats, RowsReadInOneGoAsCellByCell) {
    for (const auto& [name, range] : shipped_examples) {
        for (const char* extension : {"wk1", "wk3", "xls", "xlsx", "ods"}) {
            workbook_file book(std::string(FV_SOURCE_DIR) + "/examples/" + name + "." + extension);
            ASSERT_NO_THROW(book.load()) << name << "." << extension;
            expect_rows_read_as_cells(book, range, std::string(name) + "." + extension);
        }
    }
    // Two records for one cell (the first is the one found), text among numbers, a range past column IV.
    namespace w = wk1;
    record_writer writer = w::start();
    writer.record(w::range, w::range_record("WIDE", 0, 0, 300, 2));
    writer.record(w::number, w::number_cell(cell_address("A:C1"), 5.5));
    writer.record(w::number, w::number_cell(cell_address("A:C1"), 7.25));
    writer.record(w::label, w::label_cell(cell_address("A:D1"), "text"));
    writer.record(w::number, w::number_cell(cell_address("A:IV2"), -1.0));
    writer.record(w::number, w::number_cell(cell_address("A:B3"), 1e300));
    writer.record(w::eof, {});
    temp_file file(writer.data(), "wk1");
    workbook_file book(file.path());
    ASSERT_NO_THROW(book.load());
    expect_rows_read_as_cells(book, "WIDE", "hand-made WK1");
    ASSERT_TRUE(book.select_range("WIDE"));
    const std::vector<cell_as_number> first_row = book.read_cursor_row_numbers();
    ASSERT_EQ(first_row.size(), 301u);
    EXPECT_EQ(first_row[2].value, 5.5);
    EXPECT_EQ(first_row[3].kind, kind_text);
}

}  // namespace
}  // namespace fv::test
