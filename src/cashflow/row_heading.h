// The one-line description of a cash-flow row that the displays print above
// its amounts: line name, pace, timing point and start.
#pragma once

#include <string>

#include "cashflow/cash_flow_row.h"

namespace fv {

// "%s [%s, %s, %d]" for rows of annual totals and annual rows, else
// "%s [%s, %s, %d:%d]" with the start period. A part puts
// ", disbursement period %d" after the line name when `with_period` is set.
std::string row_heading(const cash_flow_row& row, bool with_period = false);

}  // namespace fv
