// The details of the subsidy calculation: for each cohort the three totals and
// the arithmetic of each component, from the cohort's values by line type.
#pragma once

#include "cashflow/cf_pgm.h"
#include "display/gr_page.h"

namespace fv {

gr_line_type details_line_type();

// Writes each cohort's details section in the display's second line type;
// program type 2 uses the loan-guarantee layout, any other the direct-loan one.
void write_details_lines(gr_page& page, const gr_line_type& lt1, const cf_pgm& program);

}  // namespace fv
