// Printing for a run without a window. Printing needs a QGuiApplication for
// fonts and the print system; it is created on the first print only and lives
// as long as this printer, so a batch run that prints nothing starts no GUI.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QtGlobal>

#include "app/display_printer.h"

class QGuiApplication;

namespace fv {

class batch_printer : public display_printer {
public:
    batch_printer();
    ~batch_printer() override;

    batch_printer(const batch_printer&) = delete;
    batch_printer& operator=(const batch_printer&) = delete;

    // Prints through print_display_text, starting the application first when needed.
    bool print(const std::string& text, const std::string& spreadsheet, const std::string& run_time,
               std::string& failure) override;

    // Whether this printer started the Qt application.
    bool started_gui() const { return application_ != nullptr; }

private:
    bool ensure_application();

    // QGuiApplication keeps references to its arguments for its whole life.
    int argc_ = 0;
    std::vector<std::string> argument_texts_;
    std::vector<char*> argv_;
    std::unique_ptr<QGuiApplication> application_;
    QtMessageHandler previous_handler_ = nullptr;
};

}  // namespace fv
