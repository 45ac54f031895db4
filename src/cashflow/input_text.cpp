// Text helpers shared by the range parser and the row reader.
#include "cashflow/input_text.h"

#include <climits>
#include <cmath>

namespace fv {

std::string_view skip_blanks(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    return text.substr(at);
}

int leading_integer(std::string_view text) {
    text = skip_blanks(text);
    std::size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    long long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;  // saturated; stays small enough
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

std::string fill(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size() + 32);
    auto next = args.begin();
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        if (pattern[at] == '%' && at + 1 < pattern.size() && (pattern[at + 1] == 's' || pattern[at + 1] == 'd') &&
            next != args.end()) {
            out += *next++;
            ++at;
        } else {
            out += pattern[at];
        }
    }
    return out;
}

int truncate_to_int(double value) {
    if (std::isnan(value)) return INT_MIN;
    if (value >= 2147483647.0) return INT_MAX;
    if (value <= -2147483648.0) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace fv
