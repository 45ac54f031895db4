// Arbitrary bytes as the settings file. The text must come back byte for byte;
// every value reads; a value set reads back exactly from the new text, and the
// other values stay as they were; starting a file again keeps what it could
// read. A broken promise traps, so the fuzzer reports it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/ini_file.h"

namespace {

const char* const sections[] = {"Runtime options", "Recent File List", "", "General"};
const char* const keys[] = {"own_filename", "budget_year", "range_names", "File1", "rate_item_actual", "x"};

void require(bool promise) {
    if (!promise) __builtin_trap();
}

// The values of every key looked at but one, in one text for comparing.
std::string all_values(const fv::ini_file& file, std::string_view skip_section = {}, std::string_view skip_key = {}) {
    std::string out;
    for (const char* section : sections)
        for (const char* key : keys) {
            if (section == skip_section && key == skip_key) continue;
            const std::optional<std::string> value = file.value(section, key);
            out += value ? "=" + *value : std::string("-");
            out += '\0';
        }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const fv::ini_file file(text);
    require(file.text() == text);

    // A value made of the input's last bytes, set under a key the first byte chooses.
    const std::string value(text.substr(size - std::min<std::size_t>(size, 40)));
    const char* section = sections[size == 0 ? 0 : data[0] % 4];
    const char* key = keys[size < 2 ? 0 : data[1] % 6];
    fv::ini_file changed = file.damaged() ? file.readable_values() : file;
    const std::string others = all_values(changed, section, key);
    changed.set(section, key, value);
    const fv::ini_file again(changed.text());
    require(!again.damaged());
    require(again.value(section, key) == value);
    require(all_values(again, section, key) == others);

    const fv::ini_file clean(file.readable_values().text());
    require(!clean.damaged());
    require(all_values(clean) == all_values(file.readable_values()));
    return 0;
}
