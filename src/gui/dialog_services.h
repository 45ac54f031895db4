// What the desktop dialogs share: how they show a message or a help topic (a
// message box and a Tips window in the program, a recorder in tests), number
// fields read in the C locale whatever the user's locale is, and the file
// checks of the dialogs that take a file name.
#pragma once

#include <functional>
#include <optional>
#include <string>

class QString;
class QWidget;

namespace fv {

struct dialog_services {
    // A message the user must read before going on; the dialog stays usable.
    std::function<void(const std::string&)> message;
    // Opens the Tips window of a help topic ("&Explain" buttons).
    std::function<void(const std::string&)> show_topic;

    void tell(const std::string& text) const {
        if (message) message(text);
    }
    void explain(const std::string& topic) const {
        if (show_topic) show_topic(topic);
    }
};

// Runs a button's work; a failure text it throws is shown instead of ending
// the program, and the dialog stays usable.
void guarded(const dialog_services& services, const std::function<void()>& work);

// Messages in a modal message box over `parent`; topics go nowhere until the
// caller sets show_topic.
dialog_services message_box_services(QWidget* parent);

QString to_qstring(const std::string& text);
std::string to_std(const QString& text);
// File names keep their bytes, whatever they are.
QString file_name_to_qstring(const std::string& name);
std::string file_name_from_qstring(const QString& name);

// A number typed into a box: blanks around it are allowed and an empty box is
// 0 (a rate not entered). Nothing when the text is not a number.
std::optional<double> read_number_field(const std::string& text);
// An integer typed into a box: nothing when it is not a whole number in range.
std::optional<long long> read_integer_field(const std::string& text);
// A number for a box with this many decimals, as "%.*f" in the C locale.
std::string number_field_text(double value, int decimals);

// The name as a full path, or "" when the system cannot make one.
std::string full_path_of(const std::string& name);

// The problem text the Output preferences show for a failed open (errno).
std::string file_problem_text(int error_number, const std::string& full_path);

// Opens a file for reading, or creates it empty when it cannot be read; false
// when neither works. An existing file is never changed.
bool open_or_create(const std::string& full_path);

}  // namespace fv
