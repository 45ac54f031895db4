// The body of the subsidy and components display, and of the messages
// display: the lines after the header block.
#pragma once

#include "cashflow/credit_program.h"
#include "display/display_page.h"

namespace fv {

// Field ends of the subsidy display's first line type (all margins 4).
line_layout subsidy_layout();
// Writes the table of cohorts, the footnotes and the line types they use.
void write_subsidy_lines(display_page& page, const line_layout& first_layout, const credit_program& program);

line_layout messages_layout();
void write_messages_lines(display_page& page, const line_layout& first_layout, const message_list& messages);

}  // namespace fv
