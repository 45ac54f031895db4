// Control characters out of texts bound for line-oriented files.
#include "display/program/safe_text.h"

namespace fv {

std::string safe_text(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) c = ' ';
    }
    return out;
}

}  // namespace fv
