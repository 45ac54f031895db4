// The host of a document that has a window: its messages and questions go to
// modal dialogs over the window, its stage to the main window's status bar,
// the display it selects into its view, and its automatic prints to the
// printer (or the PDF file FERRAVANE_PRINT_PDF names).
#pragma once

#include <functional>
#include <string>

#include "app/document_host.h"

class QWidget;

namespace fv {

class document;
class display_view;
class settings_store;
class user_prompts;

class window_host : public document_host {
public:
    window_host(user_prompts& prompts, settings_store& store, QWidget* window, display_view* view,
                std::function<void(const std::string&)> status);

    // The document whose displays the view shows; set once it exists.
    void set_document(const document* document) { document_ = document; }

    void show_message(const std::string& text) override;
    std::optional<std::string> choose_range(const std::string& spreadsheet,
                                            const std::vector<std::string>& candidates) override;
    void wide_lines_notice() override;
    void set_status(const std::string& text) override;
    cohort_progress calculation_progress() override;
    bool has_view() const override { return view_ != nullptr; }
    // `ShowDisplay`. A display that does not exist is never shown: the
    // messages display stands in for it, else the source data.
    void select_display(int display) override;
    bool print_text(const std::string& text, const std::string& spreadsheet, const std::string& run_time) override;

    // The display to show in place of one that does not exist; 0 for none.
    int existing_display(int wanted) const;

private:
    user_prompts& prompts_;
    settings_store& store_;
    QWidget* window_;
    display_view* view_;
    std::function<void(const std::string&)> status_;
    const document* document_ = nullptr;
};

}  // namespace fv
