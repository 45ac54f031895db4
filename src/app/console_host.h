// The host of a batch run without a window: messages go to standard error,
// display texts to a display_printer (the printer, or the PDF file
// FERRAVANE_PRINT_PDF names), which the host asks only when there is
// something to print.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/batch_run.h"
#include "app/display_printer.h"
#include "app/document_host.h"

namespace fv {

class console_host : public batch_host, public document_host {
public:
    explicit console_host(display_printer& printer) : printer_(printer) {}

    console_host(const console_host&) = delete;
    console_host& operator=(const console_host&) = delete;

    // The text and a line end on standard error.
    void show_message(const std::string& text) override;
    // An empty text prints nothing and succeeds; a failure's reason goes to standard error.
    bool print_text(const std::string& text, const std::string& spreadsheet, const std::string& run_time) override;

    // Nobody is there to choose: the load stops, with the reason on standard error.
    std::optional<std::string> choose_range(const std::string& spreadsheet,
                                            const std::vector<std::string>& candidates) override;
    // No window: no notice, no status line, no view.
    void wide_lines_notice() override {}
    void set_status(const std::string&) override {}
    bool has_view() const override { return false; }
    void select_display(int) override {}

private:
    display_printer& printer_;
};

}  // namespace fv
