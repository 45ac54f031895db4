// Default range names and the choice among candidate ranges.
#include "app/range_choice.h"

#include "util/ascii.h"
#include "workbook/workbook_reader.h"

namespace fv {

std::vector<std::string> default_range_names(const std::string& setting) {
    const std::string list = setting.empty() ? std::string("TRQ") : setting;
    std::vector<std::string> names;
    std::size_t start = 0;
    while (true) {
        const std::size_t semicolon = list.find(';', start);
        names.push_back(list.substr(start, semicolon - start));
        if (semicolon == std::string::npos) break;
        start = semicolon + 1;
    }
    return names;
}

std::optional<std::string> choose_range(const std::vector<std::string>& candidates, const std::string& setting) {
    if (candidates.size() == 1) return candidates.front();
    if (candidates.empty()) return std::nullopt;
    for (const std::string& name : default_range_names(setting)) {
        for (const std::string& candidate : candidates)
            if (equal_ignoring_case(candidate, name)) return candidate;
    }
    return std::nullopt;
}

}  // namespace fv
