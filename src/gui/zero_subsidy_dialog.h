// The "Calculate a zero-subsidy borrower's rate" dialog: the loan's principal
// payments, payment frequency and term, and the rate set chosen in the rate
// selection dialog; "&Calculate" shows the effective annual rate at which the
// financing subsidy is zero. The search is the core's.
#pragma once

#include <QDialog>

#include <array>
#include <optional>
#include <string>

#include "gui/dialog_services.h"
#include "rates/rate_set.h"

class QButtonGroup;
class QLineEdit;
class QRadioButton;

namespace fv {

class zero_subsidy_dialog : public QDialog {
public:
    // `chosen` is the rate set to discount with (copied); none disables the
    // calculation.
    zero_subsidy_dialog(const rate_set* chosen, dialog_services services, QWidget* parent = nullptr);

    // "&Calculate": true when a result is shown.
    bool calculate();

    QRadioButton* principal_button(int n) const { return principal_.at(static_cast<std::size_t>(n)); }
    QRadioButton* frequency_button(int n) const { return frequency_.at(static_cast<std::size_t>(n)); }
    QLineEdit* term() const { return term_; }
    QLineEdit* forecast() const { return forecast_; }
    QLineEdit* result() const { return result_; }

private:
    std::optional<rate_set> chosen_;
    dialog_services services_;
    std::array<QRadioButton*, 2> principal_{};
    std::array<QRadioButton*, 4> frequency_{};
    QButtonGroup* principal_group_;
    QButtonGroup* frequency_group_;
    QLineEdit* term_;
    QLineEdit* forecast_;
    QLineEdit* result_;
};

}  // namespace fv
