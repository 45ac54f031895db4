// The Getting Started dialog: how to proceed, and whether to show it again.
#include "gui/getting_started_dialog.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "app/settings_keys.h"
#include "gui/notice_rows.h"
#include "app/topics.h"

namespace fv {

getting_started_dialog::getting_started_dialog(settings_store& store, const topics* help, QWidget* parent)
    : QDialog(parent), store_(store) {
    setWindowTitle(QStringLiteral("Getting Started:  How to use this program"));
    read_ = settings::read_startup_logo(store_);

    auto* layout = new QVBoxLayout(this);
    std::optional<std::string> text;
    if (help != nullptr) text = help->lookup("process");
    auto* box = new QPlainTextEdit(this);
    box->setReadOnly(true);
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box->setPlainText(QString::fromUtf8(text ? text->c_str() : "Topic not found").remove(QLatin1Char('\r')));
    box->setMinimumSize(560, 320);
    layout->addWidget(box);

    check_ = add_check_and_ok(*this, *layout, QStringLiteral("&Show this message when the program starts"), read_ != 0);
}

void getting_started_dialog::done(int result) {
    const int now = check_->isChecked() ? 1 : 0;
    if ((now != 0) != (read_ != 0)) store_.write_int(settings::runtime_options, settings::startup_logo, now);
    QDialog::done(result);
}

}  // namespace fv
