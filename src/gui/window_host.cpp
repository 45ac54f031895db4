// How a windowed document reaches the user.
#include "gui/window_host.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <memory>

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

// The cohorts run on other threads while this one keeps the windows painted:
// the status bar counts the cohorts, and a calculation that takes more than a
// moment shows a dialog whose Cancel stops it. The dialog is modal so nothing
// else can start or close while the document calculates.
cohort_progress window_host::calculation_progress() {
    auto dialog = std::make_shared<QProgressDialog>(QStringLiteral("Calculating subsidy..."), QStringLiteral("Cancel"),
                                                    0, 1, window_);
    dialog->setWindowTitle(QStringLiteral("Ferravane"));
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setMinimumDuration(500);
    dialog->setAutoReset(false);
    dialog->setAutoClose(false);
    const std::string path = document_ != nullptr ? document_->path() : std::string();
    return [this, dialog, path](std::size_t done, std::size_t total) {
        dialog->setMaximum(static_cast<int>(total));
        dialog->setValue(static_cast<int>(done));
        set_status(path + ":  Calculating subsidy, cohort " + std::to_string(done) + " of " + std::to_string(total));
        // Until the modal dialog shows, nothing the user does may reach a window
        // (closing or reloading the document under the running threads).
        QCoreApplication::processEvents(dialog->isVisible() ? QEventLoop::AllEvents
                                                            : QEventLoop::ExcludeUserInputEvents);
        return !dialog->wasCanceled();
    };
}

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
