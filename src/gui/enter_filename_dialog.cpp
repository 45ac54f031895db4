// The "Enter a new filename for own rates" dialog.
#include "gui/enter_filename_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "gui/dialog_services.h"

namespace fv {

enter_filename_dialog::enter_filename_dialog(const std::string& current, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Enter a new filename for own rates"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QStringLiteral("In the space below, enter the filename you would like to use for your "
                                           "own rate assumptions.  Then, click OK."),
                            this);
    text->setWordWrap(true);
    layout->addWidget(text);
    box_ = new QLineEdit(file_name_to_qstring(current), this);
    box_->setMinimumWidth(400);
    layout->addWidget(box_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

std::string enter_filename_dialog::entry() const { return file_name_from_qstring(box_->text().trimmed()); }

std::optional<std::string> ask_own_file_name(const std::string& current, QWidget* parent) {
    enter_filename_dialog dialog(current, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.entry();
}

}  // namespace fv
