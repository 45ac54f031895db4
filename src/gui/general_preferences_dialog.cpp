// The "General preferences" dialog.
#include "gui/general_preferences_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/settings_keys.h"

namespace fv {

const char* const preferences_note =
    "PLEASE NOTE:  The changes you make here will affect other open documents and documents opened in the "
    "future.  Changes to open documents will appear when the subsidy is calculated.";

namespace {

constexpr int lowest_budget_year = 1992;
constexpr int highest_budget_year = 3000;

QLabel* wrapped_label(const char* text, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setWordWrap(true);
    return label;
}

}  // namespace

general_preferences_dialog::general_preferences_dialog(settings_store& store, dialog_services services,
                                                       std::time_t now, QWidget* parent)
    : QDialog(parent), store_(store), services_(std::move(services)), now_(now) {
    setWindowTitle(QStringLiteral("General preferences"));
    setModal(true);
    setMinimumWidth(760);  // room for the wrapped texts to take their height
    auto* layout = new QVBoxLayout(this);

    auto_calc_ = new QCheckBox(
        QStringLiteral("&Automatic calculation of the subsidy when a spreadsheet is opened"), this);
    first_year_is_by_ = new QCheckBox(
        QStringLiteral("Treat the first cash flows cohort as the &BUDGET year, not CURRENT year"), this);
    single_effective_rate_ = new QCheckBox(
        QStringLiteral("&Calculate the single effective rate when the subsidy is calculated"), this);
    wk_only_ = new QCheckBox(
        QStringLiteral("Copy to clipboard in &spreadsheet format ONLY (see \"Explain\" for details)"), this);
    for (QCheckBox* box : {auto_calc_, first_year_is_by_, single_effective_rate_, wk_only_}) layout->addWidget(box);

    layout->addWidget(wrapped_label("Budget year assumptions to use   (This value may be ignored when the \"budget "
                                    "year\" is provided in the spreadsheet.  See \"conflict resolution\" below.)",
                                    this));
    budget_year_ = new QLineEdit(this);
    layout->addWidget(budget_year_);
    layout->addWidget(wrapped_label("Default range names (separated by semicolons) in order of preferences.", this));
    range_names_ = new QLineEdit(this);
    layout->addWidget(range_names_);

    auto* purpose_box = new QGroupBox(QStringLiteral("Purpose"), this);
    auto* purpose_layout = new QVBoxLayout(purpose_box);
    purpose_group_ = new QButtonGroup(this);
    const char* const purposes[5] = {"Budget &formulation", "Interest &rate reestimate", "&Technical reestimate",
                                     "&Modificatoin", "A&nalysis"};
    for (int n = 0; n < 5; ++n) {
        auto* button = new QRadioButton(QString::fromUtf8(purposes[n]), purpose_box);
        // Reestimates and modifications are not offered yet.
        button->setEnabled(n == 0 || n == 4);
        purpose_group_->addButton(button, n);
        purpose_layout->addWidget(button);
        purpose_[static_cast<std::size_t>(n)] = button;
    }

    auto* conflict_box = new QGroupBox(QStringLiteral("Conflict resolution"), this);
    auto* conflict_layout = new QVBoxLayout(conflict_box);
    conflict_layout->addWidget(wrapped_label(
        "When choices made in the spreadsheet differ from choices made in a dialog boxes for the items below, "
        "please indicate below which you want to be be used.",
        conflict_box));
    // The choices it governs, one a line.
    conflict_layout->addWidget(new QLabel(QStringLiteral("    Budget year assumptions\n    Purpose\n    Rates selection\n"
                                                         "    Whether to compute the single effective rate\n"
                                                         "    Name of the output spreadsheet"),
                                          conflict_box));
    conflict_group_ = new QButtonGroup(this);
    const char* const conflicts[2] = {"Use spreadsheet choices", "Use TRQ choice made in dialog boxes"};
    for (int n = 0; n < 2; ++n) {
        auto* button = new QRadioButton(QString::fromUtf8(conflicts[n]), conflict_box);
        conflict_group_->addButton(button, n);
        conflict_layout->addWidget(button);
        conflict_[static_cast<std::size_t>(n)] = button;
    }
    auto* groups = new QHBoxLayout;
    groups->addWidget(purpose_box);
    groups->addWidget(conflict_box, 1);
    layout->addLayout(groups);
    layout->addWidget(wrapped_label(preferences_note, this));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* explain = buttons->addButton(QStringLiteral("&Explain"), QDialogButtonBox::HelpRole);
    connect(explain, &QPushButton::clicked, this, [this] { services_.explain("explain-preferences"); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    load();
}

void general_preferences_dialog::load() {
    const std::string& section = settings::runtime_options;
    wk_only_->setChecked(store_.read_int(section, settings::do_wk_only, 0) != 0);
    range_names_->setText(to_qstring(settings::read_range_names(store_)));

    // Absent switches are written as 0; other odd values show as 0 unwritten.
    auto read_switch = [&](const std::string& key) {
        const int value = store_.read_int(section, key, -1);
        if (value == -1) {
            store_.write_int(section, key, 0);
            return 0;
        }
        return value;
    };
    read_auto_calc_ = read_switch(settings::auto_subsidy_calc);
    read_first_year_ = read_switch(settings::first_year_is_by);
    read_single_rate_ = read_switch(settings::calc_single_effective_rate);
    read_conflict_ = read_switch(settings::preference_conflict);
    auto_calc_->setChecked(read_auto_calc_ == 1);
    first_year_is_by_->setChecked(read_first_year_ == 1);
    single_effective_rate_->setChecked(read_single_rate_ == 1);
    conflict_[read_conflict_ == 1 ? 1 : 0]->setChecked(true);

    read_budget_year_ = settings::read_budget_year(store_, now_);
    budget_year_->setText(QString::number(read_budget_year_));

    read_purpose_ = store_.read_int(section, settings::preference_purpose, -1);
    if (read_purpose_ < 0) {
        read_purpose_ = 0;
        store_.write_int(section, settings::preference_purpose, 0);
    }
    // A value with no button shows none and is kept unless the user picks one.
    if (read_purpose_ <= 4) purpose_[static_cast<std::size_t>(read_purpose_)]->setChecked(true);
}

bool general_preferences_dialog::store_values() {
    const std::optional<long long> year = read_integer_field(to_std(budget_year_->text()));
    if (!year) {
        services_.tell("Please enter an integer.");
        return false;
    }
    if (*year < lowest_budget_year || *year > highest_budget_year) {
        services_.tell("Please enter an integer between " + std::to_string(lowest_budget_year) + " and " +
                       std::to_string(highest_budget_year) + ".");
        return false;
    }

    const std::string& section = settings::runtime_options;
    std::string names = to_std(range_names_->text());
    if (names.empty()) names = "TRQ";
    store_.write_text(section, settings::range_names, names);
    store_.write_int(section, settings::do_wk_only, wk_only_->isChecked() ? 1 : 0);

    auto write_changed = [&](const std::string& key, int value, int read) {
        if (value != read) store_.write_int(section, key, value);
    };
    write_changed(settings::auto_subsidy_calc, auto_calc_->isChecked() ? 1 : 0, read_auto_calc_);
    write_changed(settings::first_year_is_by, first_year_is_by_->isChecked() ? 1 : 0, read_first_year_);
    write_changed(settings::budget_year, static_cast<int>(*year), read_budget_year_);
    write_changed(settings::calc_single_effective_rate, single_effective_rate_->isChecked() ? 1 : 0,
                  read_single_rate_);
    const int purpose = purpose_group_->checkedId();
    if (purpose >= 0) write_changed(settings::preference_purpose, purpose, read_purpose_);
    write_changed(settings::preference_conflict, conflict_group_->checkedId() == 1 ? 1 : 0, read_conflict_);
    return true;
}

void general_preferences_dialog::accept() {
    if (store_values()) QDialog::accept();
}

}  // namespace fv
