// Control characters out of texts bound for line-oriented files.
#include "display/program/safe_text.h"

#include "util/utf8_text.h"

namespace fv {

std::string safe_text(std::string_view text) { return with_controls_blanked(text); }

}  // namespace fv
