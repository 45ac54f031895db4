// The derivation of present values drawn from what the subsidy engine
// derived: per cohort a heading, then per discounted row its heading and, when
// it was discounted on the grid, the original values, the factor of each, the
// discounted values and the present value.
#pragma once

#include "display/display_page.h"
#include "subsidy/cohort_subsidy.h"

namespace fv {

// Writes one cohort's derivation in the line type given.
void write_cohort_derivation(display_page& page, const line_layout& type, const cohort_derivation& derivation);

}  // namespace fv
