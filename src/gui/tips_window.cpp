// The "Tips " window.
#include "gui/tips_window.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/topics.h"
#include "gui/print_text.h"

namespace fv {

namespace {

// CR LF, LF CR and lone CRs all end a line.
QString shown_lines(const std::string& text) {
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t n = 0; n < text.size(); ++n) {
        const char c = text[n];
        if (c == '\r' || c == '\n') {
            if (n + 1 < text.size() && (text[n + 1] == '\r' || text[n + 1] == '\n') && text[n + 1] != c) ++n;
            lines += '\n';
        } else if (c != '\0') {
            lines += c;
        }
    }
    return to_qstring(lines);
}

}  // namespace

std::string topic_text(const topics* help, const std::string& name) {
    if (help != nullptr) {
        if (std::optional<std::string> text = help->lookup(name)) {
            // The lookup ends the text with a NUL; the window shows what precedes it.
            const std::size_t end = text->find('\0');
            if (end != std::string::npos) text->resize(end);
            return *text;
        }
    }
    return "Topic not found";
}

tips_window::tips_window(const std::string& text, dialog_services services, QWidget* parent)
    : QDialog(parent), services_(std::move(services)) {
    setWindowTitle(QStringLiteral("Tips "));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    box_ = new QPlainTextEdit(this);
    box_->setReadOnly(true);
    box_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box_->setPlainText(shown_lines(text));
    box_->setMinimumSize(560, 320);
    layout->addWidget(box_);
    auto* row = new QHBoxLayout;
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    auto* print_button = new QPushButton(QStringLiteral("Print"), this);
    close->setDefault(true);
    print_button->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(print_button, &QPushButton::clicked, this, [this] { print(); });
    row->addStretch();
    row->addWidget(close);
    row->addWidget(print_button);
    layout->addLayout(row);
    print_text = [](const std::string& shown, std::string& failure) { return print_free_text(shown, failure); };
}

std::string tips_window::text() const { return to_std(box_->toPlainText()); }

bool tips_window::print() {
    std::string failure;
    if (print_text && print_text(text(), failure)) return true;
    if (!failure.empty()) services_.tell(failure);
    return false;
}

tips_window* open_tips_window(const std::string& text, dialog_services services, QWidget* parent) {
    auto* window = new tips_window(text, std::move(services), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

}  // namespace fv
