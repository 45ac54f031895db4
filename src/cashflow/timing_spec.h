// The grammar of a timing specification, the short free text that gives a
// frequency, a point within the period and optionally a starting year and
// period: "quarterly, end", "annual-of-quarterly middle",
// "monthly beginning 2001:4". Used by the "Timing" keyword and by a bracketed
// specification in a row label.
#pragma once

#include <string_view>

namespace fv {

// Parses text; true when it is understood (an empty text is). Each output may
// be null; an output is written only with a nonzero value the text gave, so
// the caller's values survive otherwise. A starting year must lie in
// 1992-3000 and a period in 1-12 (period 1 when none is written).
bool parse_timing_spec(std::string_view text, int* frequency, int* annual_total_frequency, int* point, int* year, int* period);

}  // namespace fv
