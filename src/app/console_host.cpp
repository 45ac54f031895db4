#include "app/console_host.h"

#include <cstdio>

namespace fv {

void console_host::show_message(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

bool console_host::print_text(const std::string& text, const std::string& spreadsheet,
                              const std::string& run_time) {
    if (text.empty()) return true;
    std::string failure;
    if (printer_.print(text, spreadsheet, run_time, failure)) return true;
    show_message(failure);
    return false;
}

std::optional<std::string> console_host::choose_range(const std::string& spreadsheet,
                                                      const std::vector<std::string>&) {
    show_message("The spreadsheet " + spreadsheet +
                 " has more than one range and none with the default name(s).\n"
                 "Name the range to use on the command line.");
    return std::nullopt;
}

}  // namespace fv
