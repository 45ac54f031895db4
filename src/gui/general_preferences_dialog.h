// The "General preferences" dialog: reads its settings when it opens (absent
// values are repaired and written at once), checks the budget year on OK and
// writes back only what the user changed, besides the range names and the
// clipboard choice, which every OK writes. Cancel writes nothing more.
#pragma once

#include <QDialog>

#include <array>
#include <ctime>

#include "app/settings_store.h"
#include "gui/dialog_services.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QButtonGroup;

namespace fv {

// The text both preference dialogs show.
extern const char* const preferences_note;

class general_preferences_dialog : public QDialog {
public:
    general_preferences_dialog(settings_store& store, dialog_services services, std::time_t now,
                               QWidget* parent = nullptr);

    // Checks and writes the values; false (with the message shown) while the
    // dialog is to stay open.
    bool store_values();
    void accept() override;

    QCheckBox* auto_calc() const { return auto_calc_; }
    QCheckBox* first_year_is_by() const { return first_year_is_by_; }
    QCheckBox* single_effective_rate() const { return single_effective_rate_; }
    QCheckBox* wk_only() const { return wk_only_; }
    QLineEdit* budget_year() const { return budget_year_; }
    QLineEdit* range_names() const { return range_names_; }
    QRadioButton* purpose_button(int n) const { return purpose_[static_cast<std::size_t>(n)]; }
    QRadioButton* conflict_button(int n) const { return conflict_[static_cast<std::size_t>(n)]; }

private:
    void load();

    settings_store& store_;
    dialog_services services_;
    std::time_t now_;

    QCheckBox* auto_calc_;
    QCheckBox* first_year_is_by_;
    QCheckBox* single_effective_rate_;
    QCheckBox* wk_only_;
    QLineEdit* budget_year_;
    QLineEdit* range_names_;
    std::array<QRadioButton*, 5> purpose_{};
    std::array<QRadioButton*, 2> conflict_{};
    QButtonGroup* purpose_group_;
    QButtonGroup* conflict_group_;

    // The values as read (after the repairs), to write only what changed.
    int read_auto_calc_ = 0;
    int read_first_year_ = 0;
    int read_single_rate_ = 0;
    int read_conflict_ = 0;
    int read_budget_year_ = 0;
    int read_purpose_ = 0;
};

}  // namespace fv
