// Discounting a row while writing its derivation to a display page: the
// amounts, the factor of each, the discounted amounts and the present value.
#pragma once

#include <span>

#include "display/gr_page.h"
#include "pv/cf_pvfact.h"

namespace fv {

// The same present value as cf_pvfact::discount; the four derivation lines
// and an empty line go to the page in the line type given.
double discount_shown(cf_pvfact& factors, int frequency, int point, std::span<const double> amounts, int start,
                      gr_page& page, const gr_line_type& type);

}  // namespace fv
