// The foot of the program's notices: a check box that says whether the
// notice shows again, and the OK button.
#pragma once

#include <QString>

class QCheckBox;
class QDialog;
class QVBoxLayout;

namespace fv {

// Adds the check box (checked as given) and an OK row that accepts the dialog; returns the check box.
QCheckBox* add_check_and_ok(QDialog& dialog, QVBoxLayout& layout, const QString& check_label, bool checked);

}  // namespace fv
