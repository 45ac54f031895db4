// Control characters out of texts bound for lines, quotes doubled inside quoted texts.
#include "util/safe_text.h"

namespace fv {

std::string safe_text(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) c = ' ';
    }
    return out;
}

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
