// The display pane and the cycling order over existing displays.
#include "gui/kdm_view.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "gui/clipboard_copy.h"
#include "gui/print_text.h"

namespace fv {

namespace {

constexpr int display_count = 7;

// The pane counts a line break as one character whatever the text used. Cell
// texts may carry UTF-8; anything that is not valid UTF-8 is taken byte for byte.
QString pane_text(const std::string& text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString shown = decoder(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    if (decoder.hasError()) shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (shown.endsWith(QLatin1Char('\n'))) shown.chop(1);
    return shown;
}

}  // namespace

int cycle_display(int current, bool forward, const std::function<bool(int)>& exists) {
    if (current < 1 || current > display_count) return 0;
    for (int step = 1; step < display_count; ++step) {
        const int candidate = forward ? (current - 1 + step) % display_count + 1
                                      : (current - 1 - step + display_count) % display_count + 1;
        if (exists(candidate)) return candidate;
    }
    return 0;
}

CKdmView::CKdmView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setUndoRedoEnabled(false);
}

bool CKdmView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool control_insert = key->key() == Qt::Key_Insert && key->modifiers() == Qt::ControlModifier;
        if (key->matches(QKeySequence::Copy) || control_insert) {
            event->ignore();
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

void CKdmView::show_display(int display, const std::string& text) {
    text_ = text;
    setPlainText(pane_text(text_));
    setReadOnly(true);
    current_ = display;
}

void CKdmView::clear_display() {
    current_ = 0;
    text_.clear();
    clear();
}

std::vector<std::string> CKdmView::lines() const { return print_lines(text_); }

gr_selection CKdmView::selection_block() const {
    const QTextCursor cursor = textCursor();
    std::vector<std::size_t> starts;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        starts.push_back(static_cast<std::size_t>(block.position()));
    return fv::selection_block(starts, static_cast<std::size_t>(cursor.selectionStart()),
                               static_cast<std::size_t>(cursor.selectionEnd()));
}

void CKdmView::select_block(int first_line, int first_column, int last_line, int last_column) {
    const QTextBlock first = document()->findBlockByNumber(first_line - 1);
    const QTextBlock last = document()->findBlockByNumber(last_line - 1);
    if (!first.isValid() || !last.isValid()) return;
    QTextCursor cursor(document());
    cursor.setPosition(first.position() + first_column - 1);
    cursor.setPosition(last.position() + last_column, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

}  // namespace fv
