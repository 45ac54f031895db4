// The "Output preferences" dialog.
#include "gui/output_preferences_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "app/display_numbers.h"
#include "app/output_format.h"
#include "app/settings_keys.h"
#include "gui/general_preferences_dialog.h"

namespace fv {

namespace {

struct box_label {
    const char* text;
    bool enabled;
};

// By column (view, printer, spreadsheet), then display 1 to 7.
const box_label box_labels[3][7] = {
    {{"Source data (always shown)", false},
     {"Subsidy and its components (always shown)", false},
     {"Present value factors", true},
     {"Distribution to disbursement periods", true},
     {"Derivation of present values", true},
     {"Details of the subsidy calculation", true},
     {"Errors and warning messages (always shown)", false}},
    {{"Source data (never printed)", false},
     {"Subsidy and its components", true},
     {"Present value factors (never printed)", false},
     {"Distribution to disbursement periods (never printed)", false},
     {"Derivation of present values (never printed)", false},
     {"Details of the subsidy calculation", true},
     {"Errors and warning messages", true}},
    {{"Source data", true},
     {"Subsidy and its components", true},
     {"Present value factors", true},
     {"Distribution to disbursement periods", true},
     {"Derivation of present values", true},
     {"Details of the subsidy calculation", true},
     {"Errors and warning messages", true}},
};

const char* const headings[3] = {
    "VIEW preferences (displays checked below will be viewable in the display views, which can be opened via the "
    "button bar or the \"View\" menu).",
    "PRINTER output preferences.  The displays checked below will be sent automatically to the default printer.",
    "SPREADSHEET output preferences (displays checked below will be included in the output spreadsheet)."};

const std::string* const mask_keys[3] = {&settings::online_view_options, &settings::online_print_options,
                                         &settings::online_spreadsheet_options};

bool ends_in_wk3(const std::string& name) {
    if (name.size() < 5) return false;
    const std::string end = name.substr(name.size() - 3);
    return (end[0] == 'w' || end[0] == 'W') && (end[1] == 'k' || end[1] == 'K') && end[2] == '3';
}

}  // namespace

output_name_check check_output_file_name(const std::string& name) {
    if (name.empty()) return {"Missing spreadsheet output file name", {}};
    if (!ends_in_wk3(name) && !has_xlsx_extension(name))
        return {"Spreadsheet output file name must have a \"wk3\" extension", {}};
    const std::string full = full_path_of(name);
    if (full.empty()) return {"Unable to find a suitable path", {}};

    // Opened for appending, as a batch "wk3" run opens it: an existing file
    // keeps its content, and a file made only for the test is removed again.
    std::error_code ignored;
    const bool existed = std::filesystem::exists(full, ignored);
    // Never blocking: a pipe without a reader is a problem, not a hang.
    errno = 0;
    const int file = std::filesystem::is_directory(full, ignored)
                         ? -1
                         : ::open(full.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    int problem = file < 0 ? (errno != 0 ? errno : EISDIR) : 0;
    if (file >= 0 && ::close(file) != 0) problem = errno != 0 ? errno : EIO;
    if (file >= 0 && !existed) std::filesystem::remove(full, ignored);
    if (problem != 0)
        return {"Filename:  " + full + "\n\nProblem:   " + file_problem_text(problem, full) +
                    "\n\nPlease change the file, directory, or drive",
                {}};
    return {"", full};
}

output_preferences_dialog::output_preferences_dialog(settings_store& store, dialog_services services,
                                                     QWidget* parent)
    : QDialog(parent), store_(store), services_(std::move(services)) {
    setWindowTitle(QStringLiteral("Output preferences"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    for (int column = 0; column < 3; ++column) {
        auto* heading = new QLabel(QString::fromUtf8(headings[column]), this);
        heading->setWordWrap(true);
        grid->addWidget(heading, 0, column);
        for (int display = 1; display <= display_count; ++display) {
            const box_label& label = box_labels[column][display - 1];
            auto* box = new QCheckBox(QString::fromUtf8(label.text), this);
            box->setEnabled(label.enabled);
            grid->addWidget(box, display, column);
            boxes_[static_cast<std::size_t>(column)][static_cast<std::size_t>(display - 1)] = box;
        }
    }
    layout->addLayout(grid);
    auto* name_heading = new QLabel(
        QStringLiteral("FILENAME for the spreadsheet output.  If this file already exists, it will be overwritten."),
        this);
    name_heading->setWordWrap(true);
    layout->addWidget(name_heading);
    file_name_ = new QLineEdit(this);
    layout->addWidget(file_name_);
    auto* note = new QLabel(QString::fromUtf8(preferences_note), this);
    note->setWordWrap(true);
    layout->addWidget(note);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* explain = buttons->addButton(QStringLiteral("&Explain"), QDialogButtonBox::HelpRole);
    connect(explain, &QPushButton::clicked, this, [this] { services_.explain("explain-output"); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    load();
}

QCheckBox* output_preferences_dialog::box(int column, int display) const {
    return boxes_.at(static_cast<std::size_t>(column)).at(static_cast<std::size_t>(display - 1));
}

void output_preferences_dialog::load() {
    const std::string& section = settings::runtime_options;
    for (int column = 0; column < 3; ++column) {
        int mask = store_.read_int(section, *mask_keys[column], -1);
        if (mask == -1) {
            mask = 0;
            store_.write_int(section, *mask_keys[column], 0);
        }
        for (int display = 1; display <= display_count; ++display)
            box(column, display)->setChecked((mask & settings::display_bit(display)) != 0);
    }
    file_name_->setText(file_name_to_qstring(store_.read_text(section, settings::online_filename, "")));
}

int output_preferences_dialog::mask_of(int column) const {
    int mask = 0;
    for (int display = 1; display <= display_count; ++display)
        if (box(column, display)->isChecked()) mask |= settings::display_bit(display);
    return mask;
}

bool output_preferences_dialog::store_values() {
    const int masks[3] = {mask_of(view_column), mask_of(print_column), mask_of(spreadsheet_column)};
    std::string name = file_name_from_qstring(file_name_->text());
    if (masks[spreadsheet_column] != 0) {
        const output_name_check checked = check_output_file_name(name);
        if (!checked.message.empty()) {
            services_.tell(checked.message);
            return false;
        }
        name = checked.full_path;
        file_name_->setText(file_name_to_qstring(name));
    }
    const std::string& section = settings::runtime_options;
    for (int column = 0; column < 3; ++column) store_.write_int(section, *mask_keys[column], masks[column]);
    store_.write_text(section, settings::online_filename, name);
    return true;
}

void output_preferences_dialog::accept() {
    if (store_values()) QDialog::accept();
}

}  // namespace fv
