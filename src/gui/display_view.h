// The view of a document: a read-only, fixed-pitch text pane showing one of
// the document's seven displays. It keeps its own copy of the shown text, so
// the document may free or rebuild its displays without the pane changing
// until another display is selected.
#pragma once

#include <QPlainTextEdit>

#include <functional>
#include <string>
#include <vector>

#include "display/display_page.h"

namespace fv {

// The display that next (or previous) shows from `current`, in cyclic order
// 1..7, skipping those that do not exist and `current` itself; 0 when there is
// none or no display is shown yet.
int cycle_display(int current, bool forward, const std::function<bool(int)>& exists);

class display_view : public QPlainTextEdit {
public:
    explicit display_view(QWidget* parent = nullptr);

    // Puts a display's text into the pane and records its number.
    void show_display(int display, const std::string& text);
    // Forgets the shown display (Reload).
    void clear_display();

    // 0 before any display was selected.
    int current_display() const { return current_; }
    const std::string& shown_text() const { return text_; }
    // The lines of the pane, for printing.
    std::vector<std::string> lines() const;
    // The block the selection covers, for the clipboard.
    page_selection selection_block() const;
    // Selects from the first character of line `first_line`, column
    // `first_column` to `last_column` of `last_line` inclusive (all from 1).
    void select_block(int first_line, int first_column, int last_line, int last_column);

protected:
    // Copy keys belong to the window's Copy command, which copies the block
    // in all three forms, not to the text pane's own plain copy.
    bool event(QEvent* event) override;

private:
    int current_ = 0;
    std::string text_;
};

}  // namespace fv
