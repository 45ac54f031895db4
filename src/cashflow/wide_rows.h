// Rows of more than 60 periodic amounts are divided into rows of at most 60
// before display, so no display line grows wider than its columns.
#pragma once

#include "cashflow/cohort.h"

namespace fv {

inline constexpr std::size_t widest_row = 60;

// Divides every wide row of the cohort (and its parts, in order); the new rows
// follow their originals. True when any row was divided.
bool divide_wide_rows(cohort& cohort);

}  // namespace fv
