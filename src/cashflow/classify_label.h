// The recognizer of first-column texts: forgiving (any case, short prefixes,
// a leading "(...)" tag skipped) and dependent on the program type, because
// the same word names different lines for direct loans and guarantees.
#pragma once

#include <string_view>

#include "cashflow/line_code.h"

namespace fv {

// The line_code code of a first-column text; program_type 0 unknown, 1 direct
// loan, 2 loan guarantee. Never returns CR_SPEC_MAX.
line_code classify_label(std::string_view text, int program_type);

}  // namespace fv
