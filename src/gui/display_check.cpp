// Finding out, while the desktop starts, whether the display is there.
#include "gui/display_check.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace fv {

namespace {

QtMessageHandler previous_handler = nullptr;

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

platform_start_guard::platform_start_guard() { previous_handler = qInstallMessageHandler(end_without_display); }

void platform_start_guard::stop() {
    if (!watching_) return;
    watching_ = false;
    qInstallMessageHandler(previous_handler);
}

}  // namespace fv
