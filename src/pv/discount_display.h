// Discounting a row while writing its derivation to a display page: the
// amounts, the factor of each, the discounted amounts and the present value.
#pragma once

#include <span>

#include "display/display_page.h"
#include "pv/present_value_factors.h"

namespace fv {

// The same present value as present_value_factors::discount; the four derivation lines
// and an empty line go to the page in the line type given.
double discount_shown(present_value_factors& factors, int frequency, int point, std::span<const double> amounts, int start,
                      display_page& page, const line_layout& type);

}  // namespace fv
