#include "app/settings_store.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace fv {

std::int32_t memory_settings_store::read_int(const std::string& section, const std::string& key,
                                             std::int32_t when_absent) {
    const auto found = values_.find({section, key});
    if (found == values_.end()) return when_absent;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(found->second.c_str(), &end, 10);
    if (end == found->second.c_str() || errno != 0 || value < INT32_MIN || value > INT32_MAX) return when_absent;
    return static_cast<std::int32_t>(value);
}

void memory_settings_store::write_int(const std::string& section, const std::string& key, std::int32_t value) {
    values_[{section, key}] = std::to_string(value);
}

std::string memory_settings_store::read_text(const std::string& section, const std::string& key,
                                             const std::string& when_absent) {
    const auto found = values_.find({section, key});
    return found == values_.end() ? when_absent : found->second;
}

void memory_settings_store::write_text(const std::string& section, const std::string& key, const std::string& value) {
    values_[{section, key}] = value;
}

}  // namespace fv
