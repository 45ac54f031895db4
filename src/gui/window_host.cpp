// How a windowed document reaches the user.
#include "gui/window_host.h"

#include "app/display_numbers.h"
#include "app/document.h"
#include "gui/display_view.h"
#include "gui/print_text.h"
#include "gui/user_prompts.h"

namespace fv {

window_host::window_host(user_prompts& prompts, settings_store& store, QWidget* window, display_view* view,
                         std::function<void(const std::string&)> status)
    : prompts_(prompts), store_(store), window_(window), view_(view), status_(std::move(status)) {}

void window_host::show_message(const std::string& text) { prompts_.message(window_, text); }

std::optional<std::string> window_host::choose_range(const std::string& spreadsheet,
                                                     const std::vector<std::string>& candidates) {
    return prompts_.choose_range(window_, spreadsheet, candidates);
}

void window_host::wide_lines_notice() { prompts_.wide_lines_notice(window_, store_); }

void window_host::set_status(const std::string& text) {
    if (status_) status_(text);
}

int window_host::existing_display(int wanted) const {
    if (document_ == nullptr) return 0;
    for (int display : {wanted, messages_display, source_display})
        if (document_->has_display(display)) return display;
    return 0;
}

void window_host::select_display(int display) {
    if (view_ == nullptr || document_ == nullptr) return;
    wait_cursor waiting;
    const int shown = existing_display(display);
    if (shown == 0) {
        view_->clear_display();
        return;
    }
    view_->show_display(shown, document_->display_text(shown).value_or(std::string()));
}

bool window_host::print_text(const std::string& text, const std::string& spreadsheet, const std::string& run_time) {
    std::string failure;
    if (print_display_text(text, spreadsheet, run_time, failure)) return true;
    show_message(failure);
    return false;
}

}  // namespace fv
