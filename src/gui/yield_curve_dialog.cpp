// The "Create new yield curve assumptions" dialog.
#include "gui/yield_curve_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "rates/own_rates.h"

namespace fv {

namespace {

const char* const rate_labels[9] = {"13 weeks", "26 weeks", "52 weeks", "2 years", "3 years",
                                    "5 years",  "7 years",  "10 years", "30 years"};

}  // namespace

yield_curve_dialog::yield_curve_dialog(dialog_services services, const yield_curve_entry& shown, QWidget* parent)
    : QDialog(parent), services_(std::move(services)), entry_(shown) {
    setWindowTitle(QStringLiteral("Create new yield curve assumptions"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("Use this dialog box to create a new set of interest rate assumptions "
                                            "under the \"Use own assumptions\" section of the rate selection dialog."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* form = new QFormLayout;
    title_ = new QLineEdit(to_qstring(shown.title), this);
    form->addRow(QStringLiteral("Title"), title_);
    for (std::size_t n = 0; n < rates_.size(); ++n) {
        rates_[n] = new QLineEdit(to_qstring(shown.rate_texts[n]), this);
        form->addRow(QString::fromUtf8(rate_labels[n]), rates_[n]);
    }
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    QPushButton* fill = buttons->addButton(QStringLiteral("&Interpolate"), QDialogButtonBox::ActionRole);
    QPushButton* explain = buttons->addButton(QStringLiteral("&Explain"), QDialogButtonBox::HelpRole);
    ok->setDefault(true);
    connect(fill, &QPushButton::clicked, this, [this] { guarded(services_, [this] { interpolate(); }); });
    connect(explain, &QPushButton::clicked, this, [this] { services_.explain("explain-create"); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

bool yield_curve_dialog::read_boxes() {
    entry_.title = to_std(title_->text());
    for (std::size_t n = 0; n < rates_.size(); ++n) {
        entry_.rate_texts[n] = to_std(rates_[n]->text());
        const std::optional<double> value = read_number_field(entry_.rate_texts[n]);
        if (!value) {
            services_.tell("Please enter a number.");
            rates_[n]->setFocus();
            return false;
        }
        entry_.rates[n] = *value;
    }
    return true;
}

bool yield_curve_dialog::take_values() {
    if (!read_boxes()) return false;
    const std::string message = check_yield_curve_entry(entry_.rates, entry_.title);
    if (!message.empty()) {
        services_.tell(message);
        return false;
    }
    return true;
}

bool yield_curve_dialog::interpolate() {
    if (!read_boxes()) return false;
    const interpolation_result result = interpolate_own_curve(entry_.rates);
    if (!result.message.empty()) {
        services_.tell(result.message);
        return false;
    }
    for (std::size_t n = 0; n < rates_.size(); ++n) {
        entry_.rates[n] = result.rates[n];
        entry_.rate_texts[n] = number_field_text(result.rates[n], 4);
        rates_[n]->setText(to_qstring(entry_.rate_texts[n]));
    }
    return true;
}

void yield_curve_dialog::accept() {
    if (take_values()) QDialog::accept();
}

}  // namespace fv
