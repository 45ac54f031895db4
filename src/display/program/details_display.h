// The details of the subsidy calculation: for each cohort the three totals and
// the arithmetic of each component, from the cohort's values by line type.
#pragma once

#include "cashflow/credit_program.h"
#include "display/display_page.h"

namespace fv {

line_layout details_layout();

// Writes each cohort's details section in the display's second line type;
// program type 2 uses the loan-guarantee layout, any other the direct-loan one.
void write_details_lines(display_page& page, const line_layout& first_layout, const credit_program& program);

}  // namespace fv
