// The recognizer of first-column texts: forgiving (any case, short prefixes,
// a leading "(...)" tag skipped) and dependent on the program type, because
// the same word names different lines for direct loans and guarantees.
#pragma once

#include <string_view>

#include "cashflow/cr_spec.h"

namespace fv {

// The cr_spec code of a first-column text; program_type 0 unknown, 1 direct
// loan, 2 loan guarantee. Never returns CR_SPEC_MAX.
cr_spec recode(std::string_view text, int program_type);

}  // namespace fv
