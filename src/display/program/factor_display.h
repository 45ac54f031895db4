// The four factor tables (annual, semiannual, quarterly, monthly) written to a
// display page: the factor at the beginning, middle and end of every period
// over 100 years.
#pragma once

#include "display/display_page.h"
#include "pv/present_value_factors.h"

namespace fv {

// The page's line types: the frame's (55, then every 12 columns) and the
// tables' (30, then every 13), each 1201 fields whatever the program.
line_layout factor_frame_layout();
line_layout factor_table_layout();

// Builds the twelve tables (throws when the engine has no factors) and writes
// them in `type`.
void write_factor_tables(present_value_factors& factors, display_page& page, const line_layout& type);

}  // namespace fv
