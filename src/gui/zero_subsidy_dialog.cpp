// The zero-subsidy borrower's rate dialog.
#include "gui/zero_subsidy_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "pv/neutral_rate.h"
#include "util/text_error.h"

namespace fv {

zero_subsidy_dialog::zero_subsidy_dialog(const rate_set* chosen, dialog_services services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)) {
    if (chosen != nullptr) chosen_ = *chosen;
    setWindowTitle(QStringLiteral("Calculate a zero-subsidy borrower's rate"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    for (const char* text :
         {"Use this dialog to find the borrower rate that results in a zero financing subsidy.  First, push the "
          "buttons to describe the loan terms.  Then, click the \"Calculate\" button.",
          "IMPORTANT NOTE:  The rate calculated below does NOT apply to loans with options for prepayment, "
          "adjustable interest rates, grace periods, and other options."}) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        label->setWordWrap(true);
        layout->addWidget(label);
    }

    auto* groups = new QHBoxLayout;
    auto* principal_box = new QGroupBox(QStringLiteral("Principal payments"), this);
    auto* principal_layout = new QVBoxLayout(principal_box);
    principal_group_ = new QButtonGroup(this);
    const char* const principal_labels[2] = {"Amortized over life of loan", "Balloon payment (at maturity)"};
    for (int n = 0; n < 2; ++n) {
        auto* button = new QRadioButton(QString::fromUtf8(principal_labels[n]), principal_box);
        principal_group_->addButton(button, n);
        principal_layout->addWidget(button);
        principal_[static_cast<std::size_t>(n)] = button;
    }
    groups->addWidget(principal_box);
    auto* frequency_box = new QGroupBox(QStringLiteral("Payment frequency"), this);
    auto* frequency_layout = new QVBoxLayout(frequency_box);
    frequency_group_ = new QButtonGroup(this);
    const char* const frequency_labels[4] = {"Annual", "Semiannual", "Quarterly", "Monthly"};
    for (int n = 0; n < 4; ++n) {
        auto* button = new QRadioButton(QString::fromUtf8(frequency_labels[n]), frequency_box);
        frequency_group_->addButton(button, n);
        frequency_layout->addWidget(button);
        frequency_[static_cast<std::size_t>(n)] = button;
    }
    groups->addWidget(frequency_box);
    layout->addLayout(groups);

    auto* form = new QFormLayout;
    term_ = new QLineEdit(QStringLiteral("30"), this);
    form->addRow(QStringLiteral("Enter the term of the loan in whole years"), new QWidget(this));
    form->addRow(QStringLiteral("Years"), term_);
    forecast_ = new QLineEdit(chosen_ ? to_qstring(chosen_->title) : QString(), this);
    forecast_->setReadOnly(true);
    form->addRow(QStringLiteral("Interest rate forecast"), forecast_);
    result_ = new QLineEdit(QStringLiteral("??"), this);
    result_->setReadOnly(true);
    auto* result_row = new QHBoxLayout;
    result_row->addWidget(result_);
    result_row->addWidget(new QLabel(QStringLiteral("Percent"), this));
    form->addRow(QStringLiteral("Zero-subsidy borrower's rate"), result_row);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* run = buttons->addButton(QStringLiteral("&Calculate"), QDialogButtonBox::ActionRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    QPushButton* explain = buttons->addButton(QStringLiteral("&Explain"), QDialogButtonBox::HelpRole);
    run->setDefault(true);
    connect(run, &QPushButton::clicked, this, [this] { calculate(); });
    connect(explain, &QPushButton::clicked, this, [this] { services_.explain("explain-zero"); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    principal_[principal_amortized]->setChecked(true);
    frequency_[0]->setChecked(true);
}

bool zero_subsidy_dialog::calculate() {
    if (!chosen_) return false;
    try {
        const double rate = zero_subsidy_rate(*chosen_, principal_group_->checkedId(), frequency_group_->checkedId(),
                                              read_term_years(to_std(term_->text())));
        result_->setText(to_qstring(format_zero_subsidy_rate(rate)));
        return true;
    } catch (const text_error& failure) {
        services_.tell(failure.text());
    }
    return false;
}

}  // namespace fv
