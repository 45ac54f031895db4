// Finding out, before and while the desktop starts, whether there is a display.
#include "gui/display_check.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace fv {

namespace {

QtMessageHandler previous_handler = nullptr;

bool set(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

void end_without_display(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        if (previous_handler != nullptr) previous_handler(type, context, text);
        return;
    }
    std::fprintf(stderr, "%s\n", no_display_message);
    std::fflush(stderr);
    std::_Exit(no_display_status);
}

}  // namespace

const char* const no_display_message =
    "No display is available, so the desktop program cannot start.\n"
    "The batch commands need no display, for example:\n"
    "  ferravane file OUTPUT SPREADSHEET RANGE\n"
    "  ferravane import OUTPUT SPREADSHEET RANGE\n"
    "(ferravane --help lists them all.)";

bool display_expected() { return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM"); }

platform_start_guard::platform_start_guard() { previous_handler = qInstallMessageHandler(end_without_display); }

void platform_start_guard::stop() {
    if (!watching_) return;
    watching_ = false;
    qInstallMessageHandler(previous_handler);
}

}  // namespace fv
