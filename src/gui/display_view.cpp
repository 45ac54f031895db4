// The display pane and the cycling order over existing displays.
#include "gui/display_view.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "app/display_numbers.h"
#include "gui/clipboard_copy.h"
#include "gui/print_text.h"
#include "util/utf8_text.h"

namespace fv {

namespace {

// The pane counts a line break as one character whatever the text used. The
// text is UTF-8; a byte that is not (a file name in another encoding) shows as
// U+FFFD, one character, as the display lines count it.
QString pane_text(const std::string& text) {
    QString shown = QString::fromStdString(valid_utf8(text));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (shown.endsWith(QLatin1Char('\n'))) shown.chop(1);
    return shown;
}

// Pane positions count UTF-16 units, display columns count characters: a
// character beyond the first plane takes two units.
std::size_t characters_in(const QString& text, int units) {
    std::size_t count = 0;
    for (int i = 0; i < units && i < text.size(); ++i)
        if (!text[i].isLowSurrogate()) ++count;
    return count;
}
int units_for(const QString& text, int characters) {
    int units = 0;
    for (int seen = 0; seen < characters && units < text.size(); ++seen)
        units += text[units].isHighSurrogate() && units + 1 < text.size() ? 2 : 1;
    return units;
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

display_view::display_view(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setUndoRedoEnabled(false);
}

bool display_view::event(QEvent* event) {
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

void display_view::show_display(int display, const std::string& text) {
    text_ = text;
    setPlainText(pane_text(text_));
    setReadOnly(true);
    current_ = display;
}

void display_view::clear_display() {
    current_ = 0;
    text_.clear();
    clear();
}

std::vector<std::string> display_view::lines() const { return print_lines(text_); }

page_selection display_view::selection_block() const {
    const QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart(), end = cursor.selectionEnd();
    // Everything in characters: line starts, and the selection's ends.
    std::vector<std::size_t> starts;
    std::size_t characters = 0, start_at = 0, end_at = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const int from = block.position();
        starts.push_back(characters);
        if (start >= from && start <= from + text.size()) start_at = characters + characters_in(text, start - from);
        if (end >= from && end <= from + text.size()) end_at = characters + characters_in(text, end - from);
        characters += characters_in(text, static_cast<int>(text.size())) + 1;  // and the line break
    }
    return fv::selection_block(starts, start_at, end_at);
}

void display_view::select_block(int first_line, int first_column, int last_line, int last_column) {
    const QTextBlock first = document()->findBlockByNumber(first_line - 1);
    const QTextBlock last = document()->findBlockByNumber(last_line - 1);
    if (!first.isValid() || !last.isValid()) return;
    QTextCursor cursor(document());
    cursor.setPosition(first.position() + units_for(first.text(), first_column - 1));
    cursor.setPosition(last.position() + units_for(last.text(), last_column), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

}  // namespace fv
