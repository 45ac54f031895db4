// The real dialogs behind the desktop's questions to the user.
#include "gui/user_prompts.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include "gui/getting_started_dialog.h"
#include "gui/range_selection_dialog.h"
#include "gui/wide_lines_notice_dialog.h"

namespace fv {

const char* const open_file_filter =
    "Spreadsheets (*.xlsx *.xlsm *.ods *.wk* *.xls *.123);;Excel files (*.xlsx *.xlsm *.xls);;"
    "OpenDocument spreadsheets (*.ods);;1-2-3 files (*.wk* *.123);;All files (*)";

wait_cursor::wait_cursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
wait_cursor::~wait_cursor() { QApplication::restoreOverrideCursor(); }

arrow_cursor::arrow_cursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
arrow_cursor::~arrow_cursor() { QApplication::restoreOverrideCursor(); }

void user_prompts::message(QWidget* parent, const std::string& text) {
    arrow_cursor arrow;
    QMessageBox::warning(parent, QStringLiteral("Ferravane"), QString::fromStdString(text));
}

std::optional<std::string> user_prompts::choose_range(QWidget* parent, const std::string& spreadsheet,
                                                      const std::vector<std::string>& candidates) {
    arrow_cursor arrow;
    range_selection_dialog dialog(spreadsheet, candidates, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.chosen();
}

void user_prompts::wide_lines_notice(QWidget* parent, settings_store& store) {
    arrow_cursor arrow;
    wide_lines_notice_dialog dialog(store, parent);
    dialog.exec();
}

std::vector<std::string> user_prompts::open_file_names(QWidget* parent) {
    const QStringList names = QFileDialog::getOpenFileNames(parent, QStringLiteral("Open"), QString(),
                                                            QString::fromLatin1(open_file_filter));
    std::vector<std::string> files;
    for (const QString& name : names) files.push_back(QFile::encodeName(name).toStdString());
    return files;
}

bool user_prompts::print_dialog(QWidget* parent, QPrinter& printer, int pages) {
    arrow_cursor arrow;
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, pages);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    return dialog.exec() == QDialog::Accepted;
}

void user_prompts::getting_started(QWidget* parent, settings_store& store, const topics* help) {
    arrow_cursor arrow;
    getting_started_dialog dialog(store, help, parent);
    dialog.exec();
}

}  // namespace fv
