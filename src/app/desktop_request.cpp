#include "app/desktop_request.h"

namespace fv {

std::optional<std::vector<std::string>> desktop_files(const std::vector<std::string>& words) {
    if (words.empty()) return std::vector<std::string>{};
    if (words[0] != "--open") return std::nullopt;
    return std::vector<std::string>(words.begin() + 1, words.end());
}

}  // namespace fv
