// The ODS reader on content written here line by line: every value type and
// what it reads as, the text of a cell (paragraphs, spaces, tabs and breaks,
// but not its comment or a drawing in it), covered cells, repeated rows and
// columns at no cost, the null date, named ranges and named expressions, and
// what lies beyond what a coordinate can name.
#include <gtest/gtest.h>

#include "zip_workbook_support.h"

namespace fv::test {
namespace {

using cell_table = std::map<std::string, std::string>;

std::string cell(const std::string& attributes, const std::string& inside = "") {
    return "<table:table-cell " + attributes + ">" + inside + "</table:table-cell>";
}
std::string row(const std::string& cells, const std::string& attributes = "") {
    return "<table:table-row " + attributes + ">" + cells + "</table:table-row>";
}
std::string table(const std::string& name, const std::string& rows) {
    return "<table:table table:name=\"" + name + "\">" + rows + "</table:table>";
}

TEST(OdsReader, EveryValueTypeReadsAsTheOtherReadersReadSuchCells) {
    const std::string rows = row(
        cell("office:value-type=\"float\" office:value=\"2.5\"", "<text:p>2.50</text:p>") +
        cell("office:value-type=\"percentage\" office:value=\"0.05\"", "<text:p>5%</text:p>") +
        cell("office:value-type=\"currency\" office:currency=\"USD\" office:value=\"-12.5\"") +
        cell("office:value-type=\"date\" office:date-value=\"2001-10-01\"") +
        cell("office:value-type=\"date\" office:date-value=\"2001-10-01T18:00:00\"") +
        cell("office:value-type=\"time\" office:time-value=\"PT36H00M00S\"") +
        cell("office:value-type=\"boolean\" office:boolean-value=\"true\"") +
        cell("table:formula=\"of:=1&lt;2\" office:value-type=\"boolean\" office:boolean-value=\"true\"") +
        cell("office:value-type=\"string\"",
             "<text:p>first<text:s text:c=\"3\"/>line<text:s/>x</text:p>"
             "<text:p>second<text:tab/>with <text:span>a span</text:span><text:line-break/>break</text:p>"
             "<office:annotation><dc:creator>A</dc:creator><text:p>a comment</text:p></office:annotation>") +
        cell("office:value-type=\"string\"",
             "<text:p>shown<draw:frame><draw:text-box><text:p>in a drawing</text:p></draw:text-box></draw:frame>"
             "</text:p>") +
        cell("office:value-type=\"string\" office:string-value=\"from the attribute\"", "<text:p>shown</text:p>") +
        cell("table:formula=\"of:=1/0\" office:value-type=\"string\" office:string-value=\"\" "
             "calcext:value-type=\"error\"",
             "<text:p>#DIV/0!</text:p>") +
        cell("table:formula=\"of:=NA()\" office:value-type=\"float\" office:value=\"0\" calcext:value-type=\"error\"",
             "<text:p>#N/A</text:p>") +
        cell("table:formula=\"of:=[.Z9]\" office:value-type=\"string\"", "<text:p>Err:502</text:p>") +
        cell("office:value-type=\"string\"", "<text:p>#DIV/0!</text:p>") +  // typed text, no formula
        cell("", "<text:p>no value type</text:p>") +
        cell("office:value-type=\"float\" office:value=\"twelve\"") +
        cell("office:value-type=\"float\" office:value=\"7\" table:number-columns-spanned=\"2\"") +
        "<table:covered-table-cell office:value-type=\"float\" office:value=\"9\"/>" +
        cell("office:value-type=\"float\" office:value=\"8\""));
    loaded_package package(ods_package(table("Sheet1", rows)), "ods");
    ASSERT_EQ(package.failure, "");
    EXPECT_EQ(package.book.reader_kind(), format_kind::ods);
    const cell_table expected = {
        {"A:A1", "2.5"},
        {"A:B1", "0.050000000000000003"},
        {"A:C1", "-12.5"},
        {"A:D1", "37165"},  // days since 1899-12-30, as a date cell of a WK1 or XLS file
        {"A:E1", "37165.75"},
        {"A:F1", "1.5"},
        {"A:G1", "1"},
        {"A:H1", "#3/2/2"},
        {"A:I1", "'first   line x\nsecond\twith a span\nbreak"},
        {"A:J1", "'shown"},
        {"A:K1", "'from the attribute"},
        {"A:L1", "#3/2/2"},
        {"A:M1", "#3/3/3"},
        {"A:N1", "#3/2/2"},
        {"A:O1", "'#DIV/0!"},
        {"A:Q1", "#3/7/7"},
        {"A:R1", "7"},  // S1 is covered by R1
        {"A:T1", "8"},
    };
    EXPECT_EQ(cells_of(package.book), expected);
}

TEST(OdsReader, RepeatedRowsAndColumnsCostNothingWhenEmpty) {
    const std::string rows =
        row(cell("table:number-columns-repeated=\"2\" office:value-type=\"float\" office:value=\"1.5\""),
            "table:number-rows-repeated=\"3\"") +
        "<table:table-row-group><table:table-header-rows>" + row(cell("office:value-type=\"float\" office:value=\"4\"")) +
        "</table:table-header-rows></table:table-row-group>" +
        row(cell("table:number-columns-repeated=\"1024\""), "table:number-rows-repeated=\"1000000000\"") +
        row(cell("office:value-type=\"float\" office:value=\"3\""));
    const std::string wide = row(cell("table:number-columns-repeated=\"254\"") +
                                 cell("table:number-columns-repeated=\"4000000000\" office:value-type=\"string\"",
                                      "<text:p>wide</text:p>"),
                                 "table:number-rows-repeated=\"2\"");
    loaded_package package(ods_package(table("Sheet1", rows) + table("Sheet2", wide)), "ods");
    ASSERT_EQ(package.failure, "");
    const cell_table expected = {
        {"A:A1", "1.5"}, {"A:B1", "1.5"}, {"A:A2", "1.5"}, {"A:B2", "1.5"}, {"A:A3", "1.5"}, {"A:B3", "1.5"},
        {"A:A4", "4"},   {"B:IU1", "'wide"}, {"B:IV1", "'wide"}, {"B:IU2", "'wide"}, {"B:IV2", "'wide"},
    };
    EXPECT_EQ(cells_of(package.book), expected);
    const reading_omissions left_out = package.book.omissions();
    EXPECT_EQ(left_out.cells_beyond_last_row, 1u);  // the 3 after a billion empty rows
    EXPECT_EQ(left_out.cells_beyond_last_column, 2ull * (4'000'000'000ull - 2));
}

TEST(OdsReader, DatesCountFromTheNullDateTheSpreadsheetSets) {
    const std::string content =
        "<table:calculation-settings><table:null-date office:date-value=\"1904-01-01\"/></table:calculation-settings>" +
        table("Sheet1", row(cell("office:value-type=\"date\" office:date-value=\"1904-01-02\"") +
                            cell("office:value-type=\"date\" office:date-value=\"1903-12-31T12:00:00\"")));
    loaded_package package(ods_package(content), "ods");
    ASSERT_EQ(package.failure, "");
    EXPECT_EQ(cells_of(package.book), (cell_table{{"A:A1", "1"}, {"A:B1", "-0.5"}}));
}

TEST(OdsReader, NamedRangesAreRangesAndNamedExpressionsAreNot) {
    const std::string name_cell = row(cell("office:value-type=\"string\"", "<text:p>Name</text:p>"));
    const std::string content =
        table("My Sheet", name_cell) +
        table("It's", name_cell +
                          "<table:named-expressions><table:named-range table:name=\"Local\" "
                          "table:base-cell-address=\"$'It''s'.$A$1\" table:cell-range-address=\".$B$2:.$C$3\"/>"
                          "</table:named-expressions>") +
        "<table:named-expressions>"
        "<table:named-range table:name=\"DATA\" table:base-cell-address=\"$'My Sheet'.$A$1\" "
        "table:cell-range-address=\"$'My Sheet'.$A$1:.$P$38\"/>"
        "<table:named-range table:name=\"Quoted\" table:cell-range-address=\"'It''s'.A1:'It''s'.B2\"/>"
        "<table:named-range table:name=\"Single\" table:cell-range-address=\"$'My Sheet'.$D$4\"/>"
        "<table:named-range table:name=\"Across\" table:cell-range-address=\"$'My Sheet'.$A$1:$'It''s'.$B$2\"/>"
        "<table:named-range table:name=\"Nowhere\" table:cell-range-address=\"$Missing.$A$1:.$B$2\"/>"
        "<table:named-range table:name=\"Broken\" table:cell-range-address=\"$'My Sheet'.#REF!\"/>"
        "<table:named-expression table:name=\"Rate\" table:expression=\"of:=0.05\"/>"
        "</table:named-expressions>";
    loaded_package package(ods_package(content), "ods");
    ASSERT_EQ(package.failure, "");
    workbook_file& book = package.book;
    EXPECT_EQ(book.range_names(),
              (std::vector<std::string>{"Local", "DATA", "Quoted", "Single", "Across", "Nowhere", "Broken", "Rate"}));
    const std::pair<const char*, const char*> corners[] = {
        {"Local", "2 2 2 2 3 3"}, {"data", "1 1 1 1 38 16"}, {"Quoted", "2 1 1 2 2 2"}, {"Single", "1 4 4 1 4 4"},
        {"Across", "-"},          {"Nowhere", "-"},          {"Broken", "-"},          {"Rate", "-"},
    };
    for (const auto& [name, expected] : corners) EXPECT_EQ(corners_of(book, name), expected) << name;
    EXPECT_EQ(book.candidate_ranges(), (std::vector<std::string>{"DATA", "Quoted"}));
    EXPECT_EQ(book.sheet_names(), (std::vector<std::string>{"My Sheet", "It's"}));
}

TEST(OdsReader, SheetsPastTheLastLetterAreLeftOut) {
    std::string content;
    for (int i = 1; i <= 257; ++i)
        content += table("S" + std::to_string(i), row(cell("office:value-type=\"float\" office:value=\"" +
                                                           std::to_string(i) + "\"")));
    loaded_package package(ods_package(content), "ods");
    ASSERT_EQ(package.failure, "");
    const cell_table cells = cells_of(package.book);
    EXPECT_EQ(cells.size(), 256u);
    EXPECT_EQ(cells.at("IV:A1"), "256");
    EXPECT_EQ(package.book.omissions().sheets, 1u);
}

}  // namespace
}  // namespace fv::test
