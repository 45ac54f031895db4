// The "Create a yield curve based on a "Flat Rate"" dialog: a title, one rate
// and its kind. A rate that is not bond-equivalent is converted; the
// "Conversion alert" shows the rate before and after when the user asked to
// be told. The kind and that wish are remembered in the settings.
#pragma once

#include <QDialog>

#include <array>
#include <functional>
#include <string>

#include "app/settings_store.h"
#include "gui/dialog_services.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace fv {

struct flat_rate_entry {
    std::string title;
    std::string rate_text;  // the box as the user left it
    double rate = 0.0;      // as entered, before any conversion
    int kind = 0;           // flat_similar_maturity, flat_bond_equivalent, flat_effective_annual
};

// The "Conversion alert": true for "&Continue", false for "&Go back".
class conversion_alert_dialog : public QDialog {
public:
    conversion_alert_dialog(double before, double after_rounded, QWidget* parent = nullptr);
    QLineEdit* before() const { return before_; }
    QLineEdit* after() const { return after_; }

private:
    QLineEdit* before_;
    QLineEdit* after_;
};

// The two texts the alert shows: the rate as entered and the converted rate
// rounded to 2 places, both as "%.2lf  ".
std::array<std::string, 2> conversion_alert_texts(double entered_rate);

class flat_rate_dialog : public QDialog {
public:
    flat_rate_dialog(settings_store& store, dialog_services services, const flat_rate_entry* shown,
                     QWidget* parent = nullptr);

    // OK: reads the boxes, remembers the kind and the alert switch, checks,
    // and asks the alert when it is due; false keeps the dialog open.
    bool take_values();
    void accept() override;

    const flat_rate_entry& entry() const { return entry_; }

    // Asks whether to go on after a conversion (before, after rounded to 2
    // places); the conversion alert unless a test replaces it.
    std::function<bool(double, double)> confirm_conversion;

    QLineEdit* title() const { return title_; }
    QLineEdit* rate() const { return rate_; }
    QRadioButton* kind_button(int kind) const { return kinds_.at(static_cast<std::size_t>(kind)); }
    QCheckBox* alert_switch() const { return alert_; }

private:
    settings_store& store_;
    dialog_services services_;
    flat_rate_entry entry_;
    QLineEdit* title_;
    QLineEdit* rate_;
    std::array<QRadioButton*, 3> kinds_{};
    QButtonGroup* kind_group_;
    QCheckBox* alert_;
};

}  // namespace fv
