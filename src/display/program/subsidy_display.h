// The body of the subsidy and components display, and of the messages
// display: the lines after the header block.
#pragma once

#include "cashflow/cf_pgm.h"
#include "display/gr_page.h"

namespace fv {

// Field ends of the subsidy display's first line type (all margins 4).
gr_line_type subsidy_line_type();
// Writes the table of cohorts, the footnotes and the line types they use.
void write_subsidy_lines(gr_page& page, const gr_line_type& lt1, const cf_pgm& program);

gr_line_type messages_line_type();
void write_messages_lines(gr_page& page, const gr_line_type& lt1, const cf_messages& messages);

}  // namespace fv
