// The XLSX writer: workbooks read back by python3-openpyxl and by gnumeric's
// ssconvert (labels as text with their alignment, numbers as numbers with a
// format of their decimals, sheets named, the template's column widths), and
// its failures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "writer_test_support.h"
#include "display/xlsx_writer.h"
#include "util/text_error.h"

namespace fv {
namespace {

using bytes = std::vector<unsigned char>;
using test::file_bytes;
using test::scratch_folder;
using test::shipped_template;

const char* const python = "/usr/bin/python3";

// What openpyxl reads: one line per sheet and per cell, tab-separated.
const char* const openpyxl_dump = R"(import sys
try:
    import openpyxl
except ImportError:
    sys.exit(3)
book = openpyxl.load_workbook(sys.argv[1])
out = open(sys.argv[2], "w", encoding="utf-8")
for sheet in book.worksheets:
    out.write("sheet\t%s\t%s\t%s\n" % (sheet.title, sheet.column_dimensions["A"].width,
                                     sheet.column_dimensions["B"].width))
    for row in sheet.iter_rows():
        for cell in row:
            if cell.value is None:
                continue
            kind = "number" if isinstance(cell.value, (int, float)) else "text"
            out.write("cell\t%s\t%s\t%r\t%s\t%s\n" % (cell.coordinate, kind, cell.value, cell.number_format,
                                                    cell.alignment.horizontal))
)";

// The workbook a test writes: two displays' worth of cells on sheets 0 and 2.
void write_sample(xlsx_writer& w) {
    w.name_sheet("Cash Flows");
    w.add_label("Program name", '\'');
    w.add_label("Pr\u00e9stamos \u0394\u03ac\u03bd\u03b5\u03b9\u03b1 \u6c34", '\'');
    w.next_row();
    w.add_label("Year", '^');
    w.add_label("Total", '"');
    w.add_label("--", '\\');
    w.next_row();
    w.add_number("2024", 0, 0);
    w.add_number("-1234.500", 3, 0);
    w.add_number("0.1250", 4, 1);
    w.next_column();
    w.add_number(5.25, 4);
    w.next_row();
    w.add_label("two\r\nlines\x01", '\'');
    w.next_sheet();
    w.next_sheet();
    w.name_sheet("Messages");
    w.add_label("W001:  a warning", '\'');
}

TEST(XlsxWriter, OpenpyxlReadsLabelsNumbersFormatsAndSheets) {
    scratch_folder folder;
    const std::string script = folder.file("dump.py");
    test::write_bytes(script, bytes(openpyxl_dump, openpyxl_dump + std::strlen(openpyxl_dump)));
    xlsx_writer w(shipped_template("4.bin"));
    write_sample(w);
    const std::string file = folder.file("out.xlsx");
    const bytes image = w.render(file);
    EXPECT_EQ(file_bytes(file), image);
    EXPECT_EQ(std::string(image.begin(), image.begin() + 2), "PK");
    EXPECT_EQ(folder.names().size(), 2u) << "no temporary file is left beside the output";

    const std::string dump = folder.file("dump.txt");
    const int status = std::system((std::string(python) + " '" + script + "' '" + file + "' '" + dump + "'").c_str());
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3) GTEST_SKIP() << "python3-openpyxl is not installed";
    ASSERT_EQ(status, 0);
    const bytes content = file_bytes(dump);
    // Widths: the template's 55 and 12 characters, which the library stores with its padding (+0.71).
    EXPECT_EQ(std::string(content.begin(), content.end()),
              "sheet\tCash Flows\t55.7109375\t12.7109375\n"
              "cell\tA1\ttext\t'Program name'\tGeneral\tNone\n"
              "cell\tB1\ttext\t'Pr\u00e9stamos \u0394\u03ac\u03bd\u03b5\u03b9\u03b1 \u6c34'\tGeneral\tNone\n"
              "cell\tA2\ttext\t'Year'\tGeneral\tcenter\n"
              "cell\tB2\ttext\t'Total'\tGeneral\tright\n"
              "cell\tC2\ttext\t'--'\tGeneral\tfill\n"
              "cell\tA3\tnumber\t2024\t#,##0\tNone\n"
              "cell\tB3\tnumber\t-1234.5\t#,##0.000\tNone\n"
              "cell\tC3\tnumber\t0.125\t0.0000\tNone\n"
              "cell\tE3\tnumber\t5.25\t#,##0.0000\tNone\n"
              "cell\tA4\ttext\t'two\\nlines '\tGeneral\tNone\n"
              "sheet\tMessages\t55.7109375\t12.7109375\n"
              "cell\tA1\ttext\t'W001:  a warning'\tGeneral\tNone\n");
}

TEST(XlsxWriter, GnumericReadsTheSameCells) {
    if (!test::have_ssconvert()) GTEST_SKIP() << "gnumeric's ssconvert is not installed";
    scratch_folder folder;
    xlsx_writer w(shipped_template("4.bin"));
    write_sample(w);
    const std::string file = folder.file("out.xlsx");
    w.render(file);
    std::string first, second;
    ASSERT_TRUE(test::ssconvert_csv(file, folder.file("first.csv"), "\"Cash Flows\"", first));
    ASSERT_TRUE(test::ssconvert_csv(file, folder.file("second.csv"), "Messages", second));
    EXPECT_EQ(first.substr(0, first.find("two")),
              "Program name,Pr\u00e9stamos \u0394\u03ac\u03bd\u03b5\u03b9\u03b1 \u6c34,,,\n"
              "Year,Total,--,,\n"
              "2024,-1234.5,0.125,,5.25\n");
    EXPECT_EQ(second, "W001:  a warning\n");
}

TEST(XlsxWriter, TemplateWidthsAndFailures) {
    // make_templates.py: every sheet of 4.bin has column A 55 wide, the others 12.
    const auto widths = xlsx_writer::template_widths(file_bytes(shipped_template("4.bin")));
    ASSERT_EQ(widths.size(), 8u);
    for (const auto& [sheet, w] : widths) {
        EXPECT_EQ(w.default_width, 12u) << sheet;
        EXPECT_EQ(w.columns, (std::map<unsigned, unsigned>{{0, 55}})) << sheet;
    }

    scratch_folder folder;
    xlsx_writer missing(folder.file("no.bin"));
    missing.add_label("x", '\'');
    try {
        missing.render();
        ADD_FAILURE() << "rendered without a template";
    } catch (const text_error& e) {
        EXPECT_EQ(e.text(), "clip_xlsx::render unable to open \"" + folder.file("no.bin") + "\"");
    }

    // An output that cannot be written leaves nothing behind and says so.
    xlsx_writer w(shipped_template("4.bin"));
    w.add_label("x", '\'');
    const std::string nowhere = folder.file("missing/out.xlsx");
    try {
        w.render(nowhere);
        ADD_FAILURE() << "wrote into a missing folder";
    } catch (const text_error& e) {
        EXPECT_EQ(e.text(), "clip_xlsx::render unable to open spreadsheet output file " + nowhere);
    }
    EXPECT_TRUE(folder.names().empty());

    // No cell at all still makes a workbook with one sheet; rendering without a path writes nothing.
    xlsx_writer empty(shipped_template("4.bin"));
    EXPECT_FALSE(empty.render().empty());
    EXPECT_TRUE(folder.names().empty());
}

}  // namespace
}  // namespace fv
