// Check box and OK row of a notice.
#include "gui/notice_rows.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace fv {

QCheckBox* add_check_and_ok(QDialog& dialog, QVBoxLayout& layout, const QString& check_label, bool checked) {
    auto* check = new QCheckBox(check_label, &dialog);
    check->setChecked(checked);
    layout.addWidget(check);

    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout.addWidget(buttons);
    return check;
}

}  // namespace fv
