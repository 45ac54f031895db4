// The two displays that list the cash-flow rows of every cohort: the source
// data as edited for the calculation, and the distribution of each row to the
// cohort's disbursement periods.
#pragma once

#include "cashflow/cf_pgm.h"
#include "display/gr_page.h"

namespace fv {

// Amount columns of the widest row of any cohort.
unsigned widest_row(const cf_pgm& program);

// The first line types of the two displays for a column count from wide_column_count.
gr_line_type source_line_type(unsigned columns);
gr_line_type distribution_line_type(unsigned columns);

void write_source_lines(gr_page& page, const gr_line_type& lt1, const cf_pgm& program);
void write_distribution_lines(gr_page& page, const gr_line_type& lt1, const cf_pgm& program);

}  // namespace fv
