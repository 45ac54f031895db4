#include "app/display_presence.h"

#include <cstdlib>

namespace fv {

namespace {

bool set(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

}  // namespace

const char* const no_display_message =
    "No display is available, so the desktop program cannot start.\n"
    "The batch commands need no display, for example:\n"
    "  ferravane file OUTPUT SPREADSHEET RANGE\n"
    "  ferravane import OUTPUT SPREADSHEET RANGE\n"
    "(ferravane --help lists them all.)";

bool display_expected() { return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM"); }

}  // namespace fv
