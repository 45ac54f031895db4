// The header block every display opens with: who ran what, when, on which
// spreadsheet range and with which rates. The import file repeats its labels.
#pragma once

#include <string>

#include "cashflow/cf_pgm.h"
#include "display/gr_page.h"

namespace fv {

// A header label: the text followed by dots up to exactly 54 characters.
std::string report_label(const std::string& text);

// "Construction model" or "Multiple loan model".
const char* pro_rata_method_name(int loan_type);
// "Budget formulation" ... "Analysis" for purposes 1 to 5, else "(Unknown)".
const char* purpose_name(int purpose);
// Range name, two blanks, range coordinates.
std::string range_text(const cf_pgm& program);

// A new page holding the header lines in `lt1` (taken into the page): 11 with
// the short flag, else 13. The caller adds its own lines after them; the
// page's first line type is `lt1`.
gr_page make_page_header(const cf_pgm& program, gr_line_type lt1, const std::string& title, bool short_header);

}  // namespace fv
