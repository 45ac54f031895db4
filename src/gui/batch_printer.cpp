// A batch run needs no screen, so unless the user picked a platform the
// offscreen one is used: it works with no display server, and a stale DISPLAY
// cannot abort the run. Qt sets the C library locale from the environment
// when it starts; the program's own locale is put back at once so numbers
// keep being read and written with a decimal point. Qt's own notes (a missing
// runtime folder, say) would mix with the run's messages on standard error,
// so only its critical messages are let through.
#include "gui/batch_printer.h"

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

batch_printer::batch_printer() = default;

batch_printer::~batch_printer() {
    if (!application_) return;
    application_.reset();
    qInstallMessageHandler(previous_handler_);
}

bool batch_printer::ensure_application() {
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

bool batch_printer::print(const std::string& text, const std::string& spreadsheet, const std::string& run_time,
                          std::string& failure) {
    if (!ensure_application()) {
        failure = "Printing is not available: the graphical interface could not be started.";
        return false;
    }
    return print_display_text(text, spreadsheet, run_time, failure);
}

}  // namespace fv
