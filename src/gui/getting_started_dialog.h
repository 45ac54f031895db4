// "Getting Started:  How to use this program": shown at start-up while
// `startup_logo` asks for it, and from the Getting Started menu.
#pragma once

#include <QDialog>

class QCheckBox;

namespace fv {

class settings_store;
class topics;

class getting_started_dialog : public QDialog {
public:
    // Reads `startup_logo` (written as 1 when absent); the text is the topic
    // "process" when `help` has it.
    getting_started_dialog(settings_store& store, const topics* help, QWidget* parent = nullptr);

    QCheckBox* check_box() const { return check_; }
    // However the dialog is left, a changed check box is written.
    void done(int result) override;

private:
    settings_store& store_;
    int read_ = 1;
    QCheckBox* check_;
};

}  // namespace fv
