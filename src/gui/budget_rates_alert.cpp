// The "Alert" before the rate selection dialog.
#include "gui/budget_rates_alert.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace fv {

budget_rates_alert::budget_rates_alert(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Alert"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    const char* const texts[] = {
        "Because the PURPOSE is set to BUDGET, the budget assumptions will be used, regardless of the choices made "
        "in the Rate Selection dialog.",
        "The PURPOSE may be set in two places:",
        "It may be set in the Actions-Preferences-General dialog ",
        "It may be set in your spreadsheet with the \"purpose\" keyword.",
        "If you have specified a PURPOSE both places, the value used will depend on the \"conflict resolution\" "
        "choice made in the Actions-Preferences-General dialog.",
        "Click GO AHEAD to continue to the rate selection dialog.  Click CANCEL otherwise."};
    for (const char* text : texts) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    auto* row = new QHBoxLayout;
    go_ahead_ = new QPushButton(QStringLiteral("&Go ahead"), this);
    cancel_ = new QPushButton(QStringLiteral("&Cancel"), this);
    go_ahead_->setAutoDefault(false);
    cancel_->setDefault(true);
    connect(go_ahead_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    row->addWidget(go_ahead_);
    row->addWidget(cancel_);
    layout->addLayout(row);
}

bool confirm_budget_rates(QWidget* parent) {
    budget_rates_alert alert(parent);
    return alert.exec() == QDialog::Accepted;
}

}  // namespace fv
