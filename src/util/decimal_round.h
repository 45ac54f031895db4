// Rounding to a number of decimal places, half to even, where "half" is
// anything within 1e-7 of one half so that binary noise does not decide ties.
#pragma once

namespace fv {

// Rounds x to n decimal places; a negative n leaves x unchanged.
double round_decimal(double x, int n);

}  // namespace fv
