// The editing a parsed program goes through before any calculation: like rows
// combined, rows distributed to disbursement periods, annual totals spread,
// the consistency warnings, wide rows divided and trailing zeros trimmed.
#pragma once

#include "cashflow/credit_program.h"

namespace fv {

// Runs each step over every cohort before the next step begins. True when a
// row was divided for being wider than the displays take.
bool edit_input(credit_program& program);

}  // namespace fv
