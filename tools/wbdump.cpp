// wbdump FILE: prints what the workbook readers see in a spreadsheet file, for
// users who want to know why their spreadsheet is not read as they expect.
//
// Output (stdout), one tab-separated line per fact, in this order:
//   format    <kind number> <kind name>      kind: 0 none, 1 123, 2 wk4, 3 wk3, 4 wk1, 5 xls,
//                                            6 xlsx, 7 ods
//   file      <full path>
//   date      <file date, 24 characters, or empty>
//   sheet     <letter> <name>                 XLSX and ODS: the sheets a coordinate names
//   omitted   <what> <count>                  XLSX and ODS: sheets, cells-beyond-row-65536,
//                                            cells-beyond-column-IV, texts-cut; when not 0
//   range     <name> <sheet1> <row1> <column1> <sheet2> <row2> <column2> <A:B2..A:H40>
//             one per listed range, in file order; corners 1-based; the text form
//             is "-" when a corner cannot be named
//   candidate <name>                          one per range offered for cash-flow estimates
//   cell      <coordinate> <kind> <text code> <text> <number code> <number>
//             one per coordinate holding a data cell, in coordinate order
//             (sheet, row, column):
//             kind 0 none, 1 number, 2 text, 3 other; codes 0 delivered,
//             1 no cell, 2 error value, 3 not available, 4 text where a number
//             was asked, 5 number where a text was asked, 6 empty formula
//             result, 7 not read. The text is given only with code 0, with
//             \\ \t \n \r and \xHH escapes for backslash and control bytes;
//             the number only with code 0, printed "%.17g" (reads back exactly).
// When the file cannot be loaded, the reason goes to stderr and the exit
// status is 1; a wrong command line gives status 2. See docs/wbdump.md.
#include <cstdio>
#include <iostream>
#include <string>

#include "util/text_error.h"
#include "workbook/workbook_file.h"
#include "workbook/workbook_dump.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: wbdump FILE\n");
        return 2;
    }
    fv::workbook_file book(argv[1]);
    try {
        book.load();
        fv::dump_workbook(book, std::cout);
    } catch (const fv::text_error& failure) {
        std::cout.flush();
        std::fprintf(stderr, "wbdump: %s\n", failure.text().c_str());
        return 1;
    } catch (const std::exception& failure) {
        std::cout.flush();
        std::fprintf(stderr, "wbdump: %s\n", failure.what());
        return 1;
    }
    std::cout.flush();
    return std::cout ? 0 : 1;
}
