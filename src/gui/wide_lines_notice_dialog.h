// "Very wide lines are being reorganized": told once per load when rows of
// more than 60 periods were divided, with a check box to stop the notice.
#pragma once

#include <QDialog>

class QCheckBox;

namespace fv {

class settings_store;

class wide_lines_notice_dialog : public QDialog {
public:
    // Reads `input_too_wide_option`; an absent value is written as 1 at once.
    explicit wide_lines_notice_dialog(settings_store& store, QWidget* parent = nullptr);

    QCheckBox* check_box() const { return check_; }
    // OK: writes the check box when it differs from the value read.
    void accept() override;

private:
    settings_store& store_;
    int read_ = 1;
    QCheckBox* check_;
};

}  // namespace fv
