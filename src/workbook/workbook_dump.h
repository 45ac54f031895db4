// What a reader sees in a workbook, as tab-separated lines: the format, the
// file and its date, the sheets' names and what was left out (for formats that
// name their sheets), the ranges with their corners, the candidate ranges, and
// every data cell with its kind, result codes and value. Used by the wbdump
// tool and by the tests that compare it with another reader.
#pragma once

#include <ostream>
#include <string>

#include "workbook/workbook_file.h"

namespace fv {

// Writes the dump of a loaded workbook (see docs/wbdump.md for the format).
void dump_workbook(workbook_file& book, std::ostream& out);

// The text of a cell as dumped: backslash, tab, newline, carriage return and
// other control bytes written as \\ \t \n \r \xHH; all other bytes as they are.
std::string dump_escape(const std::string& text);

// A number as dumped: "%.17g", which reads back to the same double.
std::string dump_number(double number);

// The name of a format kind: "none", "123", "wk4", "wk3", "wk1", "xls", "xlsx", "ods".
const char* format_kind_name(format_kind kind);

}  // namespace fv
