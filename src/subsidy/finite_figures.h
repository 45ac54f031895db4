// Amounts near the largest number a double holds add up to infinity, and
// infinities subtract to "not a number". A cohort whose figures leave the
// finite numbers has no subsidy to report: its calculation fails with a
// message naming the cohort, and the row where one can be told, instead of
// printing "inf" or "nan" as if they were results.
#pragma once

#include <string>

#include "cashflow/cohort.h"

namespace fv {

// "Cohort 2001 cannot be calculated: the value of the row "Defaults" (cell
// A:A14) is not a finite number. ..."
std::string non_finite_row_message(const cohort& cohort, const cash_flow_row& row);
// The same for a cohort whose totals overflowed, with no single row to blame.
std::string non_finite_cohort_message(const cohort& cohort);

// Throws the row's message (and marks the cohort's subsidy not computed) when
// the value is not finite.
void require_finite_row_value(cohort& cohort, const cash_flow_row& row, double value);
// Throws the cohort's message (and marks its subsidy not computed) when any
// figure of its results record is not finite.
void require_finite_results(cohort& cohort);

}  // namespace fv
