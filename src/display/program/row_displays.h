// The two displays that list the cash-flow rows of every cohort: the source
// data as edited for the calculation, and the distribution of each row to the
// cohort's disbursement periods.
#pragma once

#include "cashflow/credit_program.h"
#include "display/display_page.h"

namespace fv {

// Amount columns of the widest row of any cohort.
unsigned widest_row(const credit_program& program);

// The first line types of the two displays for a column count from wide_column_count.
line_layout source_layout(unsigned columns);
line_layout distribution_layout(unsigned columns);

void write_source_lines(display_page& page, const line_layout& first_layout, const credit_program& program);
void write_distribution_lines(display_page& page, const line_layout& first_layout, const credit_program& program);

}  // namespace fv
