// The "Output preferences" dialog: which displays are kept for viewing,
// printed and written to the output spreadsheet, and that spreadsheet's name.
// The name is checked only while some display goes to the spreadsheet; the
// check makes sure the file can be written without emptying a file that is
// already there.
#pragma once

#include <QDialog>

#include <array>
#include <string>

#include "app/settings_store.h"
#include "app/display_numbers.h"
#include "gui/dialog_services.h"

class QCheckBox;
class QLineEdit;

namespace fv {

// The check of a spreadsheet output name: "" and the full path when it can
// be written, else the message to show.
struct output_name_check {
    std::string message;
    std::string full_path;
};
output_name_check check_output_file_name(const std::string& name);

class output_preferences_dialog : public QDialog {
public:
    enum column { view_column = 0, print_column = 1, spreadsheet_column = 2 };

    output_preferences_dialog(settings_store& store, dialog_services services, QWidget* parent = nullptr);

    bool store_values();
    void accept() override;

    // Display 1 to 7 of a column.
    QCheckBox* box(int column, int display) const;
    QLineEdit* file_name() const { return file_name_; }

private:
    void load();
    int mask_of(int column) const;

    settings_store& store_;
    dialog_services services_;
    std::array<std::array<QCheckBox*, display_count>, 3> boxes_{};
    QLineEdit* file_name_;
};

}  // namespace fv
