// The XLSX reader on packages written here line by line: every cell type and
// what it reads as, cells and rows with and without their reference, the
// strict namespace, sheets in workbook order through the relationships, the
// defined names that are ranges and those that are not, and what lies beyond
// what a coordinate can name.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "workbook/bounded_text.h"
#include "zip_workbook_support.h"

namespace fv::test {
namespace {

using cell_table = std::map<std::string, std::string>;

TEST(XlsxReader, EveryCellTypeReadsAsTheOtherReadersReadSuchCells) {
    xlsx_parts parts;
    parts.shared = {"<t>Name</t>",
                    "<r><rPr><b/></rPr><t>Rich </t></r><r><t xml:space=\"preserve\">text</t></r>"
                    "<rPh sb=\"0\" eb=\"1\"><t>phonetic</t></rPh>",
                    "<t>line_x000D_break _x005F_x000D_ kept</t>"};
    parts.sheets = {{"Sheet1",
                     "<row r=\"1\">"
                     "<c r=\"A1\" t=\"s\"><v>0</v></c>"
                     "<c r=\"B1\" t=\"s\"><v>1</v></c>"
                     "<c r=\"C1\" t=\"s\"><v>2</v></c>"
                     "<c r=\"D1\" t=\"s\"><v>9</v></c>"                               // no such shared string
                     "<c r=\"E1\"><v>2.5</v></c>"
                     "<c r=\"F1\" t=\"n\"><v>-1E-3</v></c>"
                     "<c r=\"G1\"><f>1+1</f><v>2</v></c>"                             // cached result
                     "<c r=\"H1\"><f>A1</f></c>"                                     // no result yet
                     "<c r=\"I1\" t=\"str\"><f>\"a\"&amp;\"b\"</f><v>ab</v></c>"
                     "<c r=\"J1\" t=\"str\"><f>\"\"</f><v></v></c>"
                     "<c r=\"K1\" t=\"inlineStr\"><is><r><t>in</t></r><r><t>line</t></r></is></c>"
                     "<c r=\"L1\" t=\"b\"><v>1</v></c>"
                     "<c r=\"M1\" t=\"b\"><v>0</v></c>"
                     "<c r=\"N1\" t=\"b\"><f>1&gt;0</f><v>1</v></c>"
                     "<c r=\"O1\" t=\"e\"><f>1/0</f><v>#DIV/0!</v></c>"
                     "<c r=\"P1\" t=\"e\"><v>#N/A</v></c>"
                     "<c r=\"Q1\" t=\"d\"><v>2001-10-01T12:00:00</v></c>"
                     "<c r=\"R1\"><v>twelve</v></c>"
                     "<c r=\"S1\" t=\"x\"><v>1</v></c>"
                     "<c r=\"T1\" s=\"3\"/>"                                          // styled, empty
                     "</row>"}};
    loaded_package package(xlsx_package(parts), "xlsx");
    ASSERT_EQ(package.failure, "");
    EXPECT_EQ(package.book.reader_kind(), format_kind::xlsx);
    const cell_table expected = {
        {"A:A1", "'Name"},
        {"A:B1", "'Rich text"},
        {"A:C1", "'line\rbreak _x000D_ kept"},
        {"A:D1", "#3/7/7"},
        {"A:E1", "2.5"},
        {"A:F1", "-0.001"},
        {"A:G1", "2"},
        {"A:H1", "#0/6/6"},  // a formula without a result: an empty result, as in a WK3 file
        {"A:I1", "'ab"},
        {"A:J1", "'"},
        {"A:K1", "'inline"},
        {"A:L1", "1"},       // a constant TRUE is the number 1
        {"A:M1", "0"},
        {"A:N1", "#3/2/2"},  // a formula's TRUE is an error value, as in an XLS file
        {"A:O1", "#3/2/2"},
        {"A:P1", "#3/3/3"},  // #N/A is not available
        {"A:Q1", "37165.5"},
        {"A:R1", "#3/7/7"},
        {"A:S1", "#3/7/7"},
    };
    EXPECT_EQ(cells_of(package.book), expected);
}

TEST(XlsxReader, CellsAndRowsWithoutTheirReferenceFollowTheOneBefore) {
    xlsx_parts parts;
    parts.sheets = {{"Sheet1",
                     "<row><c><v>1</v></c><c><v>2</v></c></row>"
                     "<row r=\"5\"><c><v>3</v></c><c r=\"D5\"><v>4</v></c><c><v>5</v></c></row>"
                     "<row><c><v>6</v></c></row>"}};
    loaded_package package(xlsx_package(parts), "xlsx");
    ASSERT_EQ(package.failure, "");
    EXPECT_EQ(cells_of(package.book), (cell_table{{"A:A1", "1"}, {"A:B1", "2"}, {"A:A5", "3"}, {"A:D5", "4"},
                                                  {"A:E5", "5"}, {"A:A6", "6"}}));
}

TEST(XlsxReader, StrictAndTransitionalPackagesReadAlike) {
    xlsx_parts parts;
    parts.shared = {"<t>Name</t>"};
    parts.sheets = {{"Data", "<row r=\"2\"><c r=\"B2\" t=\"s\"><v>0</v></c><c r=\"C2\"><v>7.25</v></c></row>"}};
    parts.defined_names = "<definedName name=\"DATA\">Data!$B$2:$C$9</definedName>";
    for (const bool strict : {false, true}) {
        parts.strict = strict;
        loaded_package package(xlsx_package(parts), "xlsx");
        ASSERT_EQ(package.failure, "") << strict;
        EXPECT_EQ(cells_of(package.book), (cell_table{{"A:B2", "'Name"}, {"A:C2", "7.25"}})) << strict;
        EXPECT_EQ(package.book.candidate_ranges(), std::vector<std::string>{"DATA"}) << strict;
    }
}

TEST(XlsxReader, SheetsComeInWorkbookOrderThroughTheRelationships) {
    xlsx_parts parts;
    parts.sheets = {{"First", "<row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"},
                    {"Chart", "", "chartsheet"},
                    {"Second", "<row r=\"1\"><c r=\"A1\"><v>2</v></c></row>"}};
    std::vector<zip_entry> entries = xlsx_entries(parts);
    // The first sheet's part is sheet3.xml and the last one's sheet1.xml: only the relationships tell.
    for (zip_entry& entry : entries) {
        if (entry.name == "xl/_rels/workbook.xml.rels") {
            auto swap_text = [&](const std::string& a, const std::string& b) {
                const auto at = entry.content.find(a);
                entry.content.replace(at, a.size(), b);
            };
            swap_text("worksheets/sheet1.xml", "worksheets/TEMP");
            swap_text("worksheets/sheet3.xml", "worksheets/sheet1.xml");
            swap_text("worksheets/TEMP", "/xl/worksheets/./sheet3.xml");  // an absolute target
        }
        if (entry.name == "xl/worksheets/sheet1.xml") entry.name = "xl/worksheets/sheet3.xml";
        else if (entry.name == "xl/worksheets/sheet3.xml") entry.name = "xl/worksheets/sheet1.xml";
    }
    loaded_package package(zip_package(entries), "xlsx");
    ASSERT_EQ(package.failure, "");
    // The chart sheet holds no cells and takes no letter.
    EXPECT_EQ(cells_of(package.book), (cell_table{{"A:A1", "1"}, {"B:A1", "2"}}));
    EXPECT_EQ(package.book.sheet_names(), (std::vector<std::string>{"First", "Second"}));
}

TEST(XlsxReader, DefinedNamesThatAreOneRectangleOnOneSheetAreRanges) {
    xlsx_parts parts;
    parts.sheets = {{"Data", "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Name</t></is></c></row>"},
                    {"It's here", ""},
                    {"Chart", "", "chartsheet"}};
    parts.defined_names =
        "<definedName name=\"_xlnm.Print_Area\" localSheetId=\"0\">Data!$A$1:$H$20</definedName>"
        "<definedName name=\"Hidden\" hidden=\"1\">Data!$A$1</definedName>"
        "<definedName name=\"DATA\">Data!$A$1:$P$38</definedName>"
        "<definedName name=\"Quoted\">'It''s here'!B2:C3</definedName>"
        "<definedName name=\"One\" localSheetId=\"1\">'It''s here'!$D$4</definedName>"
        "<definedName name=\"Columns\">Data!$B:$C</definedName>"
        "<definedName name=\"Rows\">Data!$2:$3</definedName>"
        "<definedName name=\"Rate\">0.05</definedName>"
        "<definedName name=\"Areas\">Data!$A$1,Data!$B$2</definedName>"
        "<definedName name=\"Gone\">Data!#REF!</definedName>"
        "<definedName name=\"Across\">Data:Chart!$A$1</definedName>"
        "<definedName name=\"OnChart\">Chart!$A$1</definedName>"
        "<definedName name=\"Elsewhere\">[1]Data!$A$1</definedName>"
        "<definedName name=\"Formula\">OFFSET(Data!$A$1,0,0,2,2)</definedName>";
    loaded_package package(xlsx_package(parts), "xlsx");
    ASSERT_EQ(package.failure, "");
    workbook_file& book = package.book;
    // Built-in and hidden names are not listed; the others are, in file order.
    EXPECT_EQ(book.range_names(), (std::vector<std::string>{"DATA", "Quoted", "One", "Columns", "Rows", "Rate", "Areas",
                                                            "Gone", "Across", "OnChart", "Elsewhere", "Formula"}));
    const std::pair<const char*, const char*> corners[] = {
        {"data", "1 1 1 1 38 16"},  {"Quoted", "2 2 2 2 3 3"},        {"One", "2 4 4 2 4 4"},
        {"Columns", "1 1 2 1 1048576 3"}, {"Rows", "1 2 1 1 3 16384"}, {"Rate", "-"},
        {"Areas", "-"},             {"Gone", "-"},                   {"Across", "-"},
        {"OnChart", "-"},           {"Elsewhere", "-"},              {"Formula", "-"},
        {"_xlnm.Print_Area", "-"},  {"Hidden", "-"},
    };
    for (const auto& [name, expected] : corners) EXPECT_EQ(corners_of(book, name), expected) << name;
    EXPECT_EQ(book.candidate_ranges(), std::vector<std::string>{"DATA"});
}

TEST(XlsxReader, DatesOfA1904WorkbookCountFrom1904) {
    xlsx_parts parts;
    parts.workbook_properties = "date1904=\"1\"";
    parts.sheets = {{"Sheet1", "<row r=\"1\"><c r=\"A1\" t=\"d\"><v>1904-01-02</v></c><c r=\"B1\"><v>1</v></c></row>"}};
    loaded_package package(xlsx_package(parts), "xlsx");
    ASSERT_EQ(package.failure, "");
    EXPECT_EQ(cells_of(package.book), (cell_table{{"A:A1", "1"}, {"A:B1", "1"}}));
}

TEST(XlsxReader, WhatNoCoordinateNamesIsCountedAndLeftOut) {
    xlsx_parts parts;
    for (int i = 1; i <= 258; ++i)
        parts.sheets.push_back({"S" + std::to_string(i), "<row r=\"1\"><c r=\"A1\"><v>" + std::to_string(i) + "</v></c></row>"});
    parts.sheets[0].sheet_data =
        "<row r=\"1\"><c r=\"IV1\"><v>1</v></c><c r=\"IW1\"><v>2</v></c><c r=\"XFD1\"><v>3</v></c></row>"
        "<row r=\"65536\"><c r=\"A65536\"><v>4</v></c></row>"
        "<row r=\"65537\"><c r=\"A65537\"><v>5</v></c><c r=\"B65537\"><v>6</v></c></row>"
        "<row r=\"1048576\"><c r=\"A1048576\" t=\"inlineStr\"><is><t>last</t></is></c></row>";
    parts.defined_names = "<definedName name=\"Far\">S258!$A$1</definedName>";
    // A text longer than a cell keeps is cut at a character boundary: 'é' is two bytes.
    parts.shared = {"<t>" + std::string(bounded_text::longest - 1, 'x') + "\xC3\xA9</t>"};
    parts.sheets[1].sheet_data = "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>";
    loaded_package package(xlsx_package(parts), "xlsx");
    ASSERT_EQ(package.failure, "");
    workbook_file& book = package.book;
    const cell_table cells = cells_of(book);
    EXPECT_EQ(cells.size(), 2u + 1u + 254u);  // IV1 and A65536 on A, the text on B, one each on C..IV
    EXPECT_EQ(cells.at("A:IV1"), "1");
    EXPECT_EQ(cells.at("A:A0"), "4");  // row 65536: its number is written in 16 bits
    EXPECT_EQ(cells.at("B:A1"), "'" + std::string(bounded_text::longest - 1, 'x'));
    EXPECT_EQ(cells.at("IV:A1"), "256");
    const reading_omissions left_out = book.omissions();
    EXPECT_EQ(left_out.sheets, 2u);
    EXPECT_EQ(left_out.cells_beyond_last_column, 2u);
    EXPECT_EQ(left_out.cells_beyond_last_row, 3u);
    EXPECT_EQ(left_out.texts_cut, 1u);
    EXPECT_EQ(book.sheet_names().size(), 256u);
    // A name on a sheet no coordinate names keeps its corners; nothing is read there.
    EXPECT_EQ(corners_of(book, "Far"), "258 1 1 258 1 1");
}

TEST(XlsxReader, TheDumpNamesTheSheetsAndWhatWasLeftOut) {
    xlsx_parts parts;
    parts.sheets = {{"Loans", "<row r=\"2\"><c r=\"B2\" t=\"inlineStr\"><is><t>Name</t></is></c></row>"
                              "<row r=\"70000\"><c r=\"A70000\"><v>1</v></c><c r=\"B70000\"><v>2</v></c></row>"},
                    {"Notes&#9;and more", ""}};  // a tab kept by its character reference
    parts.defined_names = "<definedName name=\"DATA\">Loans!$B$2:$I$40</definedName>"
                          "<definedName name=\"Rate\">0.05</definedName>";
    loaded_package package(xlsx_package(parts), "xlsx");
    ASSERT_EQ(package.failure, "");
    std::ostringstream out;
    dump_workbook(package.book, out);
    const std::string expected = "format\t6\txlsx\n"
                                 "file\t" + package.book.file_name() + "\n"
                                 "date\t" + package.book.file_date() + "\n"
                                 "sheet\tA\tLoans\n"
                                 "sheet\tB\tNotes\\tand more\n"
                                 "omitted\tcells-beyond-row-65536\t2\n"
                                 "range\tDATA\t1\t2\t2\t1\t40\t9\tA:B2..A:I40\n"
                                 "range\tRate\t-\n"
                                 "candidate\tDATA\n"
                                 "cell\tA:B2\t2\t0\tName\t4\t\n";
    EXPECT_EQ(out.str(), expected);
}

}  // namespace
}  // namespace fv::test
