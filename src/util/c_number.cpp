// strtod_l against one C locale kept for the whole run.
#include "util/c_number.h"

#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace fv {

double c_strtod(std::string_view text, std::size_t& used) {
    static const locale_t c_locale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const std::string copy(text);  // strtod needs the terminator
    char* end = nullptr;
    const double value = ::strtod_l(copy.c_str(), &end, c_locale);
    used = static_cast<std::size_t>(end - copy.c_str());
    return value;
}

}  // namespace fv
