// "Select a range from the dropdown box": asked while a spreadsheet opens when
// it has several candidate ranges and none carries a default name.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QComboBox;

namespace fv {

class range_selection_dialog : public QDialog {
public:
    // `candidates` are listed in alphabetical order, the first one selected.
    range_selection_dialog(const std::string& spreadsheet, std::vector<std::string> candidates,
                           QWidget* parent = nullptr);

    // The selected name; "" with no selection.
    std::string chosen() const;
    QComboBox* list() const { return list_; }

private:
    QComboBox* list_;
};

}  // namespace fv
