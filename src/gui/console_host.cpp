// The console host. Printing needs a QGuiApplication for fonts and the print
// system; a batch run needs no screen, so unless the user picked a platform
// the offscreen one is used: it works with no display server, and a stale
// DISPLAY cannot abort the run. Qt sets the C library locale from the
// environment when it starts; the program's own locale is put back at once so
// numbers keep being read and written with a decimal point. Qt's own notes
// (a missing runtime folder, say) would mix with the run's messages on
// standard error, so only its critical messages are let through.
#include "gui/console_host.h"

#include <QGuiApplication>

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "gui/print_text.h"

namespace fv {

namespace {

void critical_only(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtCriticalMsg && type != QtFatalMsg) return;
    const QByteArray bytes = text.toLocal8Bit();
    std::fprintf(stderr, "%s\n", bytes.constData());
}

}  // namespace

console_host::console_host() = default;

console_host::~console_host() {
    if (!application_) return;
    application_.reset();
    qInstallMessageHandler(previous_handler_);
}

void console_host::show_message(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

bool console_host::ensure_application() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) return true;
    if (QCoreApplication::instance() != nullptr) return false;  // a non-GUI application is running

    argument_texts_ = {"ferravane"};
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    if (chosen == nullptr || *chosen == '\0') {
        argument_texts_.push_back("-platform");
        argument_texts_.push_back("offscreen");
    }
    argv_.clear();
    for (std::string& text : argument_texts_) argv_.push_back(text.data());
    argv_.push_back(nullptr);
    argc_ = static_cast<int>(argument_texts_.size());

    previous_handler_ = qInstallMessageHandler(critical_only);
    const char* current = std::setlocale(LC_ALL, nullptr);
    const std::string program_locale = current != nullptr ? current : "C";
    application_ = std::make_unique<QGuiApplication>(argc_, argv_.data());
    std::setlocale(LC_ALL, program_locale.c_str());
    return true;
}

bool console_host::print_text(const std::string& text, const std::string& spreadsheet,
                              const std::string& run_time) {
    if (text.empty()) return true;
    if (!ensure_application()) {
        show_message("Printing is not available: the graphical interface could not be started.");
        return false;
    }
    std::string failure;
    if (print_display_text(text, spreadsheet, run_time, failure)) return true;
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
