// Decimal text to 80-bit extended real, exactly: with m the digits as an
// integer and k the digits after the point, the value m / 10^k is computed in
// integer arithmetic wide enough to see every bit the quotient needs, then
// rounded once to a 64-bit mantissa, to nearest, ties to even. Both m and
// 10^k fit in 64 bits for up to 19 digits, so nothing is lost before that.
#include "display/decimal_to_extended.h"

#include <bit>
#include <cstdint>

#include "util/text_error.h"

namespace fv {

namespace {

using u128 = unsigned __int128;

constexpr int max_digits = 19;
constexpr int exponent_bias = 16383;

}  // namespace

extended_bytes decimal_to_extended(std::string_view number_text) {
    std::size_t at = 0;
    while (at < number_text.size() && (number_text[at] == ' ' || number_text[at] == '\t')) ++at;
    std::size_t end = at;
    while (end < number_text.size() && number_text[end] != ' ' && number_text[end] != '\t') ++end;

    bool negative = false, signed_already = false, point_seen = false;
    int digits = 0, after_point = 0;
    std::uint64_t m = 0;
    for (std::size_t i = at; i < end; ++i) {
        const char c = number_text[i];
        if (c == '+' || c == '-') {
            if (signed_already) throw text_error("make_bcd:  multiple signs in string");
            if (digits > 0) throw text_error("make_bcd:  sign found after first digit");
            signed_already = true;
            negative = c == '-';
        } else if (c == '.') {
            if (point_seen) throw text_error("make_bcd:  multiple decimal points in string");
            point_seen = true;
        } else if (c >= '0' && c <= '9') {
            if (++digits > max_digits) throw text_error("make_bcd:  more than 19 digits in BCD number");
            m = m * 10 + static_cast<std::uint64_t>(c - '0');
            if (point_seen) ++after_point;
        } else {
            throw text_error("make_bcd:  strange character in number string");
        }
    }

    extended_bytes out{};
    if (m == 0) return out;

    std::uint64_t d = 1;
    for (int i = 0; i < after_point; ++i) d *= 10;

    // Put m's top bit at bit 127 of the numerator so the quotient keeps at
    // least 64 significant bits (d < 2^64).
    const int lead = std::countl_zero(m);
    const u128 numerator = static_cast<u128>(m << lead) << 64;
    const u128 q = numerator / d;
    const std::uint64_t r = static_cast<std::uint64_t>(numerator % d);

    int bits = 128;
    while (bits > 0 && ((q >> (bits - 1)) & 1) == 0) --bits;
    const int shift = bits - 64;  // 0 to 64: the quotient has 64 to 128 bits
    std::uint64_t mantissa = static_cast<std::uint64_t>(q >> shift);
    int exponent = shift - lead + exponent_bias - 1;

    // What was dropped, (low + r/d) / 2^shift, against one half.
    const u128 low = shift == 0 ? 0 : q & ((static_cast<u128>(1) << shift) - 1);
    const u128 dropped = low * d + r;  // below 2^shift * d <= 2^128
    const u128 half = shift == 0 ? 0 : (static_cast<u128>(1) << (shift - 1)) * d;
    bool up;
    if (shift == 0) {
        up = static_cast<u128>(r) * 2 > d || (static_cast<u128>(r) * 2 == d && (mantissa & 1));
    } else {
        up = dropped > half || (dropped == half && (mantissa & 1));
    }
    if (up && ++mantissa == 0) {
        mantissa = std::uint64_t{1} << 63;
        ++exponent;
    }

    for (int i = 0; i < 8; ++i) out[i] = static_cast<unsigned char>(mantissa >> (8 * i));
    const unsigned sign_exponent = static_cast<unsigned>(exponent) | (negative ? 0x8000u : 0u);
    out[8] = static_cast<unsigned char>(sign_exponent);
    out[9] = static_cast<unsigned char>(sign_exponent >> 8);
    return out;
}

}  // namespace fv
