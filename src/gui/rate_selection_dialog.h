// The "Rate Selection Dialog": chooses the category and rate set a document's
// calculation discounts with, names the own-rate file, creates own rate sets
// (yield curve or flat rate) and deletes them, lists all rates and opens the
// zero-subsidy calculator. The document's rate choice lives in its
// document_rates; what the dialog must remember between openings (the file
// name box, the file last loaded, whether that name is bad) lives in a
// rate_dialog_memory the document keeps as long as it lives.
//
// An own-rate file is only ever written right after it was read again from
// disk without a fault, so a file another program changed meanwhile keeps its
// changes, and a file that is not an own-rate file is never overwritten.
#pragma once

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

#include "app/rate_selection_state.h"
#include "app/settings_store.h"
#include "gui/dialog_services.h"
#include "gui/flat_rate_dialog.h"
#include "gui/yield_curve_dialog.h"
#include "gui/yield_curve_view.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace fv {

struct rate_dialog_memory {
    std::string file_box;        // the own-rate file name box
    std::string committed_name;  // what Cancel puts back
    std::string last_loaded;     // the file the own sets were last loaded from
    // The name in the box cannot be opened or created, or its file is not an
    // own-rate file: nothing may be created, deleted or saved under it.
    bool bad_file_name = false;
    bool first_fill = true;
    bool initialised = false;
};

// What the dialog needs from the application.
struct rate_dialog_environment {
    // The file name of another open document whose chosen own rate set has
    // this title (case ignored); nothing when no other document uses it.
    std::function<std::optional<std::string>(const std::string& title)> document_using_title;
    // The own-rates-changed notice: own rate sets were added to or deleted
    // from this file, or (new_default) it became the default own-rate file;
    // the other open documents reload their own rate sets.
    std::function<void(const std::string& own_file, bool new_default)> own_rates_changed;
    // "&Copy to clipboard" of the rate listing; plain text when not set.
    std::function<void(const rate_collection& rates)> copy_listing;
};

// The own-rates-changed notice reaching one document: its own rate sets are
// reloaded from `own_file`, which also becomes its dialog's file name. The
// failure text when the file did not load (the name is then marked bad).
std::optional<std::string> reload_own_rates(document_rates& rates, rate_dialog_memory& memory,
                                            const std::string& own_file);

class rate_selection_dialog : public QDialog {
public:
    rate_selection_dialog(settings_store& store, document_rates& rates, rate_dialog_memory& memory,
                          rate_dialog_environment environment, dialog_services services,
                          QWidget* parent = nullptr);

    // The buttons; each false while the dialog is to stay open.
    bool use_for_this_document();
    bool save_as_default();
    void cancel_choice();
    void enter_new_filename();
    void create_yield_curve();
    void create_flat_rate();
    void delete_highlighted();
    void view_all_rates();
    void zero_subsidy_rate();

    void accept() override;  // "&USE FOR THIS DOCUMENT ONLY"
    void reject() override;  // the hidden Cancel, Escape, closing the window

    // The dialogs the buttons open; tests put scripted answers in their place.
    std::function<std::optional<yield_curve_entry>(const yield_curve_entry& shown)> ask_yield_curve;
    std::function<std::optional<flat_rate_entry>(const flat_rate_entry* shown)> ask_flat_rate;
    std::function<std::optional<std::string>(const std::string& current)> ask_file_name;
    std::function<void(const rate_set* chosen)> open_zero_subsidy;

    QRadioButton* category_button(rate_source source) const;
    QComboBox* list(rate_source source) const;
    QLineEdit* file_name_box() const { return file_name_; }
    QPushButton* create_yield_curve_button() const { return create_curve_; }
    QPushButton* create_flat_rate_button() const { return create_flat_; }
    QPushButton* delete_button() const { return delete_; }
    // The curve of the highlighted set: the checked category's current item.
    yield_curve_view* curve_view() const { return curve_; }
    const rate_set* highlighted_set() const;

private:
    void open_first_time();
    void fill_lists();
    void fill_own_list();
    void show_category();
    // Takes the values of the controls; false when the file name is bad.
    bool take_values();
    bool check_file_name();
    // Loads the own sets; a failure is shown and marks the name bad.
    bool load_own(const std::string& path);
    // Reads the own-rate file again just before a change is written.
    bool reload_before_change();
    bool creation_allowed();
    // A new own set's title, after the file is read again: taken, asked for
    // again (a duplicate or a title that cannot be stored; the reason shown),
    // or the creation stops.
    enum class title_check { take, ask_again, stop };
    title_check check_new_title(const std::string& title);
    void add_own_set(const std::string& title, const std::array<double, 9>& values);
    void notify_own_rates_changed(bool new_default);
    void show_highlighted_curve();

    settings_store& store_;
    document_rates& rates_;
    rate_dialog_memory& memory_;
    rate_dialog_environment environment_;
    dialog_services services_;

    QButtonGroup* categories_;
    std::array<QRadioButton*, 3> category_buttons_{};
    std::array<QComboBox*, 3> lists_{};
    QLineEdit* file_name_;
    QPushButton* create_curve_;
    QPushButton* create_flat_;
    QPushButton* delete_;
    yield_curve_view* curve_ = nullptr;
};

// The message for an own-rate file name that can be neither opened nor created.
std::string own_file_name_message(const std::string& name);

}  // namespace fv
