// Numbers read as the C library reads them in the C locale, whatever locale
// the desktop has set: a decimal point, never a decimal comma.
#pragma once

#include <cstddef>
#include <string_view>

namespace fv {

// strtod in the C locale: leading white space, a sign, decimal or hexadecimal
// digits, "inf" and "nan"; a value too small to hold reads as 0 or nearly so,
// one too large as an infinity. `used` is the count of characters read, 0
// when no number starts the text (the result is then 0).
double c_strtod(std::string_view text, std::size_t& used);

}  // namespace fv
