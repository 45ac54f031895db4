// The range selection dialog: the spreadsheet's path, why the user is asked,
// and a drop-down list of the candidate ranges.
#include "gui/range_selection_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace fv {

range_selection_dialog::range_selection_dialog(const std::string& spreadsheet, std::vector<std::string> candidates,
                                               QWidget* parent)
    : QDialog(parent), list_(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("Select a range from the dropdown box"));
    auto* layout = new QVBoxLayout(this);

    auto* path = new QLineEdit(QFile::decodeName(QByteArray::fromStdString(spreadsheet)), this);
    path->setReadOnly(true);
    layout->addWidget(path);

    const char* const texts[] = {
        "This sheet has more than one range, but none with the default name(s).  Ranges in the list below were "
        "selected as follows:",
        "The word \"name\" was in the upper-left corner of the range",
        "The range was contained in a single sheet (NOT a \"3-D\" range).",
        "Please select the range that has your cash flow data from the \"drop down\" list below.",
        "You can change the default range name in the Actions -- Preferences -- General dialog box.",
        "If you do not want to continue opening this file, press \"Cancel\" button.",
    };
    for (const char* text : texts) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        label->setWordWrap(true);
        layout->addWidget(label);
    }

    std::sort(candidates.begin(), candidates.end());
    for (const std::string& name : candidates) list_->addItem(QString::fromStdString(name));
    if (list_->count() > 0) list_->setCurrentIndex(0);
    layout->addWidget(list_);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

std::string range_selection_dialog::chosen() const {
    if (list_->currentIndex() < 0) return {};
    return list_->currentText().toStdString();
}

}  // namespace fv
