// Control characters out of texts bound for lines, quotes doubled inside quoted texts.
#include "util/safe_text.h"

#include "util/utf8_text.h"

namespace fv {

std::string safe_text(std::string_view text) { return with_controls_blanked(text); }

std::string quoted_text(std::string_view text) {
    std::string out(1, '"');
    for (const char c : safe_text(text)) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

}  // namespace fv
