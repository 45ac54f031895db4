// The recognizer of first-column texts: forgiving (any case, short prefixes,
// a leading "(...)" tag skipped) and dependent on the program type, because
// the same word names different lines for direct loans and guarantees.
#pragma once

#include <string_view>

#include "cashflow/line_code.h"

namespace fv {

// The line code of a first-column text for a program type (program_unknown,
// program_direct_loan, program_loan_guarantee). Never returns
// line_code::end_marker.
line_code classify_label(std::string_view text, int program_type);

}  // namespace fv
