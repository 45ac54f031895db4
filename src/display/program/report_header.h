// The header block every display opens with: who ran what, when, on which
// spreadsheet range and with which rates. The import file repeats its labels.
#pragma once

#include <string>

#include "cashflow/credit_program.h"
#include "display/display_page.h"

namespace fv {

// A header label: the text followed by dots up to exactly 54 characters.
std::string report_label(const std::string& text);

// "Construction model" or "Multiple loan model".
const char* pro_rata_method_name(loan_model loan_type);
// "Budget formulation" ... "Analysis", or "(Unknown)" for none.
const char* purpose_name(std::optional<calculation_purpose> purpose);
// Range name, two blanks, range coordinates.
std::string range_text(const credit_program& program);

// A new page holding the header lines in `first_layout` (taken into the page): 11 with
// the short flag, else 13. The caller adds its own lines after them; the
// page's first line type is `first_layout`.
display_page make_page_header(const credit_program& program, line_layout first_layout, const std::string& title, bool short_header);

}  // namespace fv
