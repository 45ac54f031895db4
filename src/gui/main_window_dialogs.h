// The dialogs the main window opens but does not own: the preference dialogs,
// the rate selection dialog, the zero-subsidy rate dialog and the Tips windows.
// The window calls them through this interface; the defaults say that the
// dialog is not available, so the window works before the dialogs are wired in.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace fv {

class document;
class topics;

class main_window_dialogs {
public:
    // `message` shows a text to the user; `help` gives the topic texts (may be null).
    explicit main_window_dialogs(std::function<void(const std::string&)> message = {}, const topics* help = nullptr);
    virtual ~main_window_dialogs() = default;

    // "General preferences" and "Output preferences".
    virtual void preferences_general(QWidget* parent);
    virtual void preferences_output(QWidget* parent);
    // "&Select rates...": for the active document, or for none (the defaults
    // of future documents) when no document is open.
    virtual void select_rates(QWidget* parent, document* document);
    // The zero-subsidy borrower's rate, with the document's chosen rate set.
    virtual void zero_subsidy_rate(QWidget* parent, document* document);
    // A "Tips " window holding `text`.
    virtual void tips(QWidget* parent, const std::string& text);
    // The Tips window of a named topic, or of "Topic not found".
    virtual void show_topic(QWidget* parent, const std::string& name);

protected:
    void not_available(const std::string& what) const;
    const topics* help() const { return help_; }

private:
    std::function<void(const std::string&)> message_;
    const topics* help_;
};

}  // namespace fv
