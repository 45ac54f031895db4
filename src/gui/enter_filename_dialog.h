// The "Enter a new filename for own rates" dialog of the rate selection
// dialog: one box holding the current own-rate file name.
#pragma once

#include <QDialog>

#include <optional>
#include <string>

class QLineEdit;

namespace fv {

class enter_filename_dialog : public QDialog {
public:
    explicit enter_filename_dialog(const std::string& current, QWidget* parent = nullptr);
    std::string entry() const;
    QLineEdit* box() const { return box_; }

private:
    QLineEdit* box_;
};

// Shows the dialog; the entry on OK, nothing on Cancel.
std::optional<std::string> ask_own_file_name(const std::string& current, QWidget* parent);

}  // namespace fv
