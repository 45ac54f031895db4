// The editing a parsed program goes through before any calculation: like rows
// combined, rows distributed to disbursement periods, annual totals spread,
// the consistency warnings, wide rows divided and trailing zeros trimmed.
#pragma once

#include <memory>

#include "cashflow/credit_program.h"
#include "cashflow/distribution.h"

namespace fv {

// Edits every cohort, on up to `threads` threads. The outcome is the one of
// running each step over every cohort before the next step begins: a failure
// in combining rows comes before one in distributing them, and of two in the
// same step the first cohort's; the warnings come in cohort order, none when
// editing fails. True when a row was divided for being wider than the
// displays take. With parts built when used, each cohort keeps its rows as
// combined, and a calculation edits them again to have the parts.
bool edit_input(credit_program& program, unsigned threads = 1,
                distribution_parts parts = distribution_parts::kept);

// A cohort whose parts are built when used: a copy edited again from its
// combined rows, parts and all, for a calculation to work on. Nothing for a
// cohort that keeps its parts.
std::unique_ptr<cohort> cohort_with_parts(const cohort& cohort);

}  // namespace fv
