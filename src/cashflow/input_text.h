// Small text tools of the range parser: reading a leading integer the way the
// input's years and tags are written, and filling a message pattern's "%s"
// and "%d" places with texts of any length.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace fv {

// Leading decimal integer after blanks and tabs, with an optional sign; 0 when
// there are no digits. Saturates at the int range instead of overflowing.
int leading_integer(std::string_view text);

// The text after its leading blanks and tabs.
std::string_view skip_blanks(std::string_view text);

// Replaces each "%s" or "%d" of the pattern, in order, by the next argument.
// The result grows as needed, so cell texts of any length fit.
std::string fill(std::string_view pattern, std::initializer_list<std::string_view> args);

// A double's integer part as an int, saturated; NaN gives INT_MIN so that any
// range check rejects it.
int truncate_to_int(double value);

}  // namespace fv
