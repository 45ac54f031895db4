// The "Tips " window: a modeless window with one topic's text, a "Close"
// button and a "Print" button. Several may be open at once; each frees itself
// when closed.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

#include "gui/dialog_services.h"

class QPlainTextEdit;
class QPushButton;

namespace fv {

class topics;

class tips_window : public QDialog {
public:
    tips_window(const std::string& text, dialog_services services, QWidget* parent = nullptr);

    // "Print": the text now in the box, as a free text; false when the
    // printing failed (the reason was shown).
    bool print();

    // The text now in the box, with the topic's own line ends made LF.
    std::string text() const;
    QPlainTextEdit* box() const { return box_; }

    // The free-text print; tests put a recorder in its place.
    std::function<bool(const std::string& text, std::string& failure)> print_text;

private:
    dialog_services services_;
    QPlainTextEdit* box_;
};

// The text of a topic, or "Topic not found" when there is none or it cannot be read.
std::string topic_text(const topics* help, const std::string& name);

// Opens a Tips window with `text` and returns it; it deletes itself on close.
tips_window* open_tips_window(const std::string& text, dialog_services services, QWidget* parent);

}  // namespace fv
