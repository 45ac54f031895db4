// The "Alert" shown before the rate selection dialog when the purpose forces
// the budget assumptions: the user goes ahead to the dialog or cancels.
#pragma once

#include <QDialog>

class QPushButton;

namespace fv {

class budget_rates_alert : public QDialog {
public:
    explicit budget_rates_alert(QWidget* parent = nullptr);

    QPushButton* go_ahead() const { return go_ahead_; }
    QPushButton* cancel() const { return cancel_; }

private:
    QPushButton* go_ahead_;
    QPushButton* cancel_;
};

// Shows the alert; true when the user chose "&Go ahead".
bool confirm_budget_rates(QWidget* parent);

}  // namespace fv
