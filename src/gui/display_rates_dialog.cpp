// The rate listing dialog.
#include "gui/display_rates_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "display/wk1_writer.h"
#include "display/wk3_writer.h"
#include "gui/clipboard_copy.h"
#include "gui/dialog_services.h"
#include "util/text_error.h"

namespace fv {

namespace {

std::vector<unsigned char> listing_sheet(sheet_writer& writer, const rate_collection& rates) {
    for (const rate_sheet_row& row : rates.sheet_rows()) {
        for (const rate_sheet_cell& cell : row) {
            switch (cell.type) {
                case rate_sheet_cell::kind::centred_label: writer.add_label(cell.text, '^'); break;
                case rate_sheet_cell::kind::left_label: writer.add_label(cell.text, '\''); break;
                case rate_sheet_cell::kind::number: writer.add_number(cell.value, 2); break;
            }
        }
        writer.next_row();
    }
    return writer.render();
}

}  // namespace

bool copy_rate_listing(const rate_collection& rates, const std::string& program_directory, bool spreadsheet_formats_only,
                       clipboard_target& clipboard, const std::function<void(const std::string&)>& message) {
    std::vector<unsigned char> wk1;
    std::vector<unsigned char> wk3;
    try {
        wk1_writer wk1_sheet(program_directory + "1.bin");
        wk1 = listing_sheet(wk1_sheet, rates);
        wk3_writer wk3_sheet(program_directory + "3.bin");
        wk3 = listing_sheet(wk3_sheet, rates);
    } catch (const text_error& failure) {
        message(failure.text());
        return false;
    }
    const std::string text = rates.list_text(true);

    std::vector<clipboard_item> items = {{"Wk1", std::move(wk1)}, {"Wk3", std::move(wk3)}};
    if (!spreadsheet_formats_only) items.push_back({"", std::vector<unsigned char>(text.begin(), text.end())});
    return place_on_clipboard(clipboard, items, "DisplayRates::OnEcopy", message);
}

const char* const rate_listing_header[2] = {
    "     Category                   13    26    52    2     3     5     7     10    30",
    "    and title                  week  week  week  year  year  year  year  year  year"};

display_rates_dialog::display_rates_dialog(const rate_collection& rates, std::function<void()> copy, bool text_allowed,
                                           QWidget* parent)
    : QDialog(parent), text_(rates.list_text(true)), copy_(std::move(copy)), text_allowed_(text_allowed) {
    setWindowTitle(QStringLiteral("Listing of available discount rates"));
    setModal(true);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto* layout = new QVBoxLayout(this);
    for (const char* line : rate_listing_header) {
        auto* label = new QLabel(QString::fromUtf8(line), this);
        label->setFont(fixed);
        layout->addWidget(label);
    }
    listing_ = new QPlainTextEdit(this);
    listing_->setReadOnly(true);
    listing_->setFont(fixed);
    listing_->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The box shows lines; the CR LF line ends are for the clipboard.
    QString shown = to_qstring(text_);
    shown.remove(QLatin1Char('\r'));
    listing_->setPlainText(shown);
    listing_->setMinimumSize(640, 360);
    layout->addWidget(listing_);
    auto* row = new QHBoxLayout;
    auto* copy_button = new QPushButton(QStringLiteral("&Copy to clipboard"), this);
    auto* done = new QPushButton(QStringLiteral("&Done"), this);
    done->setDefault(true);
    connect(copy_button, &QPushButton::clicked, this, [this] { copy_listing(); });
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    row->addWidget(copy_button);
    row->addWidget(done);
    layout->addLayout(row);
}

void display_rates_dialog::copy_listing() {
    if (copy_) {
        copy_();
        return;
    }
    if (text_allowed_) QApplication::clipboard()->setText(to_qstring(text_));
}

}  // namespace fv
