#include "util/decimal_round.h"

#include <cmath>

namespace fv {

double round_decimal(double x, int n) {
    if (n < 0) return x;
    const double scale = std::pow(10.0, n);
    const double scaled = x * scale;
    // Past 2^52 a double has no fraction to round; scaling back could only
    // lose digits (or give an infinity).
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 4503599627370496.0) return x;
    double whole = 0.0;
    const double fraction = std::modf(scaled, &whole);  // same sign as x
    const double magnitude = std::fabs(fraction);
    const double away = (scaled < 0) ? -1.0 : 1.0;
    double chosen = whole;
    if (magnitude > 0.5000001) {
        chosen = whole + away;
    } else if (magnitude >= 0.4999999) {
        if (std::fmod(std::fabs(whole), 2.0) == 1.0) chosen = whole + away;
    }
    return chosen / scale;
}

}  // namespace fv
