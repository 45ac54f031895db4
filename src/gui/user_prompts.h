// Everything the desktop asks of the user in a modal window: messages, the
// range choice, the wide-lines notice, the file-open dialog, the print dialog
// and "Getting Started". The windows go through this interface so that tests
// can answer in place of a person; the defaults show the real dialogs. The
// wait cursor of a load or a calculation is lifted while a question is open.
#pragma once

#include <optional>
#include <string>
#include <vector>

class QPrinter;
class QWidget;

namespace fv {

class settings_store;
class topics;

class user_prompts {
public:
    virtual ~user_prompts() = default;

    virtual void message(QWidget* parent, const std::string& text);
    // The range selection dialog: the chosen name, nothing on Cancel.
    virtual std::optional<std::string> choose_range(QWidget* parent, const std::string& spreadsheet,
                                                    const std::vector<std::string>& candidates);
    // "Very wide lines are being reorganized", with its check box.
    virtual void wide_lines_notice(QWidget* parent, settings_store& store);
    // File, Open: the chosen files (several at once), none on Cancel.
    virtual std::vector<std::string> open_file_names(QWidget* parent);
    // The print dialog, told the page count; false on Cancel.
    virtual bool print_dialog(QWidget* parent, QPrinter& printer, int pages);
    // "Getting Started:  How to use this program".
    virtual void getting_started(QWidget* parent, settings_store& store, const topics* help);
};

// The filter of File, Open: spreadsheets of every kind first.
extern const char* const open_file_filter;

// Shows the wait cursor for its lifetime.
class wait_cursor {
public:
    wait_cursor();
    ~wait_cursor();
    wait_cursor(const wait_cursor&) = delete;
    wait_cursor& operator=(const wait_cursor&) = delete;
};

// The normal arrow while a modal question is open under a wait cursor.
class arrow_cursor {
public:
    arrow_cursor();
    ~arrow_cursor();
    arrow_cursor(const arrow_cursor&) = delete;
    arrow_cursor& operator=(const arrow_cursor&) = delete;
};

}  // namespace fv
