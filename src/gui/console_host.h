// The host of a batch run without a window: messages go to standard error,
// display texts to the printer (or the PDF file FERRAVANE_PRINT_PDF names).
// The Qt application that printing needs is created on the first print only,
// so a batch run that prints nothing starts no GUI at all.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QtGlobal>

#include "app/batch_run.h"
#include "app/document_host.h"

class QGuiApplication;

namespace fv {

class console_host : public batch_host, public document_host {
public:
    console_host();
    ~console_host() override;

    console_host(const console_host&) = delete;
    console_host& operator=(const console_host&) = delete;

    // The text and a line end on standard error.
    void show_message(const std::string& text) override;
    // Prints through print_display_text; a failure's reason goes to standard error.
    bool print_text(const std::string& text, const std::string& spreadsheet, const std::string& run_time) override;

    // Nobody is there to choose: the load stops, with the reason on standard error.
    std::optional<std::string> choose_range(const std::string& spreadsheet,
                                            const std::vector<std::string>& candidates) override;
    // No window: no notice, no status line, no view.
    void wide_lines_notice() override {}
    void set_status(const std::string&) override {}
    bool has_view() const override { return false; }
    void select_display(int) override {}

    // Whether this host started the Qt application.
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
