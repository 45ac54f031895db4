// The four factor tables (annual, semiannual, quarterly, monthly) written to a
// display page: the factor at the beginning, middle and end of every period
// over 100 years.
#pragma once

#include "display/gr_page.h"
#include "pv/cf_pvfact.h"

namespace fv {

// The page's line types: the frame's (55, then every 12 columns) and the
// tables' (30, then every 13), each 1201 fields whatever the program.
gr_line_type factor_frame_line_type();
gr_line_type factor_table_line_type();

// Builds the twelve tables (throws when the engine has no factors) and writes
// them in `type`.
void write_factor_tables(cf_pvfact& factors, gr_page& page, const gr_line_type& type);

}  // namespace fv
