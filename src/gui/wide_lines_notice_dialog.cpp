// The wide-lines notice and its one setting.
#include "gui/wide_lines_notice_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

#include "app/settings_keys.h"
#include "gui/notice_rows.h"

namespace fv {

wide_lines_notice_dialog::wide_lines_notice_dialog(settings_store& store, QWidget* parent)
    : QDialog(parent), store_(store) {
    setWindowTitle(QStringLiteral("Very wide lines are being reorganized"));
    read_ = store_.read_int(settings::runtime_options, settings::input_too_wide_option, -1);
    if (read_ == -1) {
        read_ = 1;
        store_.write_int(settings::runtime_options, settings::input_too_wide_option, 1);
    }

    auto* layout = new QVBoxLayout(this);
    const char* const texts[] = {
        "When input lines have more more than 60 columns of data, they don't display well.  To improve the output "
        "appearance, one or more individual lines of input data have been divided into two or more lines.  This "
        "change will not affect the subsidy calculation.",
        "This message is display just once each time a spreadsheet is read using the File-Open menu.  If several "
        "lines are affected, you will only see the message once.  ",
        "If you do not want this message to appear, click on the check box below to REMOVE the check mark.",
        "If you remove the check mark and want to restore it later, use the Action -- General Preferences menu to "
        "redisplay this box.",
    };
    for (const char* text : texts) {
        auto* label = new QLabel(QString::fromUtf8(text), this);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    check_ = add_check_and_ok(*this, *layout, QStringLiteral("Continue to display this warning.  "), read_ != 0);
}

void wide_lines_notice_dialog::accept() {
    const int now = check_->isChecked() ? 1 : 0;
    if (now != read_) store_.write_int(settings::runtime_options, settings::input_too_wide_option, now);
    QDialog::accept();
}

}  // namespace fv
