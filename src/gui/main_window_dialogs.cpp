// Stand-ins for the dialogs of the dialog launcher: each says that it is not
// available, except the topics, which show their text in a message box.
#include "gui/main_window_dialogs.h"

#include <QMessageBox>
#include <QString>

#include "app/topics.h"

namespace fv {

main_window_dialogs::main_window_dialogs(std::function<void(const std::string&)> message, const topics* help)
    : message_(std::move(message)), help_(help) {}

void main_window_dialogs::not_available(const std::string& what) const {
    const std::string text = "The " + what + " dialog is not available in this build.";
    if (message_) {
        message_(text);
        return;
    }
    QMessageBox::information(nullptr, QStringLiteral("Ferravane"), QString::fromStdString(text));
}

void main_window_dialogs::preferences_general(QWidget*) { not_available("General preferences"); }

void main_window_dialogs::preferences_output(QWidget*) { not_available("Output preferences"); }

void main_window_dialogs::select_rates(QWidget*, document*) { not_available("Rate Selection"); }

void main_window_dialogs::zero_subsidy_rate(QWidget*, document*) { not_available("Zero subsidy rate"); }

void main_window_dialogs::tips(QWidget* parent, const std::string& text) {
    if (message_) {
        message_(text);
        return;
    }
    QMessageBox::information(parent, QStringLiteral("Tips "), QString::fromStdString(text));
}

void main_window_dialogs::show_topic(QWidget* parent, const std::string& name) {
    std::optional<std::string> text;
    if (help_ != nullptr) text = help_->lookup(name);
    tips(parent, text ? *text : std::string("Topic not found"));
}

}  // namespace fv
