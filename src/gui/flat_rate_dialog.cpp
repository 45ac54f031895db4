// The flat-rate dialog and its "Conversion alert".
#include "gui/flat_rate_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/settings_keys.h"
#include "rates/own_rates.h"
#include "util/decimal_round.h"

namespace fv {

namespace {

// "%.2lf  " in the C locale.
std::string alert_number(double value) { return number_field_text(value, 2) + "  "; }

}  // namespace

std::array<std::string, 2> conversion_alert_texts(double entered_rate) {
    return {alert_number(entered_rate), alert_number(round_decimal(to_bond_equivalent(entered_rate), 2))};
}

conversion_alert_dialog::conversion_alert_dialog(double before, double after_rounded, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QStringLiteral("Conversion alert"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(
        QStringLiteral("The points of a yield curve are bond-equivalent rates, so the rate you entered has been "
                       "converted to a bond-equivalent rate.  A bond-equivalent rate b converts to an effective "
                       "annual yield r as r = ((1 + b/200) x (1 + b/200) - 1) x 100."),
        this);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* form = new QFormLayout;
    before_ = new QLineEdit(QString::fromUtf8(alert_number(before).c_str()), this);
    after_ = new QLineEdit(QString::fromUtf8(alert_number(after_rounded).c_str()), this);
    before_->setReadOnly(true);
    after_->setReadOnly(true);
    form->addRow(QStringLiteral("The rate BEFORE conversion was"), before_);
    form->addRow(QStringLiteral("The rate AFTER conversion is"), after_);
    layout->addLayout(form);
    auto* row = new QHBoxLayout;
    auto* go_on = new QPushButton(QStringLiteral("&Continue"), this);
    auto* back = new QPushButton(QStringLiteral("&Go back"), this);
    go_on->setDefault(true);
    connect(go_on, &QPushButton::clicked, this, &QDialog::accept);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);
    row->addWidget(go_on);
    row->addWidget(back);
    layout->addLayout(row);
}

flat_rate_dialog::flat_rate_dialog(settings_store& store, dialog_services services, const flat_rate_entry* shown,
                                   QWidget* parent)
    : QDialog(parent), store_(store), services_(std::move(services)) {
    setWindowTitle(QStringLiteral("Create a yield curve based on a \"Flat Rate\""));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    title_ = new QLineEdit(this);
    rate_ = new QLineEdit(this);
    form->addRow(QStringLiteral("Title"), title_);
    form->addRow(QStringLiteral("Rate (percent)"), rate_);
    layout->addLayout(form);

    auto* kind_box = new QGroupBox(QStringLiteral("What kind of rate is this?"), this);
    auto* kind_layout = new QVBoxLayout(kind_box);
    kind_group_ = new QButtonGroup(this);
    const char* const kind_labels[3] = {"&Similar maturity", "&Bond equivalent",
                                        "&Effective annual yield or single effective rate"};
    for (int kind = 0; kind < 3; ++kind) {
        auto* button = new QRadioButton(QString::fromUtf8(kind_labels[kind]), kind_box);
        kind_group_->addButton(button, kind);
        kind_layout->addWidget(button);
        kinds_[static_cast<std::size_t>(kind)] = button;
    }
    layout->addWidget(kind_box);
    alert_ = new QCheckBox(
        QStringLiteral("&Please let me know when a rate entered above is converted to a bond-equivalent rate."),
        this);
    layout->addWidget(alert_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    QPushButton* explain = buttons->addButton(QStringLiteral("&Explain"), QDialogButtonBox::HelpRole);
    ok->setDefault(true);
    connect(explain, &QPushButton::clicked, this, [this] { services_.explain("explain-flat-rate"); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    confirm_conversion = [this](double before, double after) {
        conversion_alert_dialog alert(before, after, this);
        return alert.exec() == QDialog::Accepted;
    };

    // The remembered kind and alert switch, repaired when out of range.
    const std::string& section = settings::runtime_options;
    int kind = store_.read_int(section, settings::flat_rate_type, -1);
    if (kind < 0 || kind > 2) {
        kind = 0;
        store_.write_int(section, settings::flat_rate_type, kind);
    }
    int alert = store_.read_int(section, settings::conversion_alert, -1);
    if (alert != 0 && alert != 1) {
        alert = 1;
        store_.write_int(section, settings::conversion_alert, alert);
    }
    if (shown != nullptr) {
        entry_ = *shown;
        title_->setText(to_qstring(shown->title));
        rate_->setText(to_qstring(shown->rate_text));
        if (shown->kind >= 0 && shown->kind <= 2) kind = shown->kind;
    }
    kinds_[static_cast<std::size_t>(kind)]->setChecked(true);
    alert_->setChecked(alert == 1);
}

bool flat_rate_dialog::take_values() {
    entry_.title = to_std(title_->text());
    entry_.rate_text = to_std(rate_->text());
    entry_.kind = kind_group_->checkedId() < 0 ? flat_similar_maturity : kind_group_->checkedId();
    const bool tell_conversion = alert_->isChecked();
    const std::string& section = settings::runtime_options;
    store_.write_int(section, settings::flat_rate_type, entry_.kind);
    store_.write_int(section, settings::conversion_alert, tell_conversion ? 1 : 0);

    const std::optional<double> rate = read_number_field(entry_.rate_text);
    if (!rate) {
        services_.tell("Please enter a number.");
        return false;
    }
    entry_.rate = *rate;
    const std::string message = check_flat_rate_entry(entry_.rate, entry_.title);
    if (!message.empty()) {
        services_.tell(message);
        return false;
    }
    if (flat_kind_converts(entry_.kind) && tell_conversion && confirm_conversion) {
        if (!confirm_conversion(entry_.rate, round_decimal(to_bond_equivalent(entry_.rate), 2))) return false;
    }
    return true;
}

void flat_rate_dialog::accept() {
    if (take_values()) QDialog::accept();
}

}  // namespace fv
