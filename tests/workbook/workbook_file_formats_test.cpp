// The front chooses the reader of today's formats by the file's content, the
// name being only the first guess: a workbook saved under another name still
// reads as what it is, while the old formats keep their rules by extension.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "zip_workbook_support.h"

namespace fv::test {
namespace {

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
    const std::pair<const char*, const char*> examples[] = {{"direct_loan", "WATER_LOANS"},
                                                            {"loan_guarantee", "WORKING_CAPITAL"},
                                                            {"disbursement_periods", "HOUSING_REHAB"},
                                                            {"warnings", "FARM_EQUIPMENT"}};
    for (const auto& [name, range] : examples) {
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

}  // namespace
}  // namespace fv::test
