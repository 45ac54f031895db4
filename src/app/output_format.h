// The spreadsheet output file's format follows its name: a name ending in
// ".xlsx" (in any case) is written as an Excel workbook, any other as the
// WK3 worksheet of old.
#pragma once

#include <string>

namespace fv {

enum class spreadsheet_format { wk3, xlsx };

// ".xlsx" at the end, ignoring case, after at least one character.
bool has_xlsx_extension(const std::string& name);

spreadsheet_format spreadsheet_format_of(const std::string& name);

// The name of a display's worksheet in an XLSX output, as the View menu names it.
const char* display_sheet_name(int display);

}  // namespace fv
