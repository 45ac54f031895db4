// The exact decimal-to-extended conversion used for WK3 number cells: a
// number text becomes the 10-byte 80-bit extended real nearest to its decimal
// value, rounded once, so 0.1 is the extended value nearest to one tenth and
// not the widened double nearest to it.
#pragma once

#include <array>
#include <string_view>

namespace fv {

// 8 bytes of mantissa (integer bit included), then 2 bytes of sign and
// exponent, little-endian.
using extended_bytes = std::array<unsigned char, 10>;

// Leading blanks and tabs are skipped; the number ends at the next blank, tab
// or the end of the text. At most 19 digits, one sign before the first digit,
// one decimal point; anything else throws text_error with the reason. A text
// without digits is zero, and a zero is always written without a sign.
extended_bytes decimal_to_extended(std::string_view number_text);

}  // namespace fv
