// The two preference dialogs and the Alert against an INI settings file:
// what opening repairs and writes at once, what OK checks and writes, what
// Cancel leaves alone, and that checking the output file name never empties
// a file that is already there.
#include <sys/stat.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "app/settings_keys.h"
#include "dialog_test_support.h"
#include "gui/budget_rates_alert.h"
#include "gui/general_preferences_dialog.h"
#include "gui/output_preferences_dialog.h"

namespace fv {
namespace {

using test::file_content;
using test::message_recorder;
using test::settings_file;
namespace keys = settings;
const std::string& section = keys::runtime_options;

// 15 November 2000, local time: the default budget year is 2002.
std::time_t november_2000() {
    std::tm date{};
    date.tm_year = 100;
    date.tm_mon = 10;
    date.tm_mday = 15;
    date.tm_hour = 12;
    return std::mktime(&date);
}

constexpr int absent = -99;

TEST(GeneralPreferences, OpeningACleanStoreWritesTheRepairsEvenWhenCancelled) {
    settings_file file("general-clean");
    {
        auto store = file.open();
        message_recorder recorder;
        general_preferences_dialog dialog(*store, recorder.services(), november_2000());
        EXPECT_EQ(dialog.range_names()->text().toStdString(), "TRQ");
        EXPECT_EQ(dialog.budget_year()->text().toStdString(), "2002");
        EXPECT_TRUE(dialog.purpose_button(0)->isChecked());
        EXPECT_TRUE(dialog.conflict_button(0)->isChecked());
        for (int n : {1, 2, 3}) EXPECT_FALSE(dialog.purpose_button(n)->isEnabled()) << n;
        EXPECT_TRUE(dialog.purpose_button(4)->isEnabled());
        dialog.auto_calc()->setChecked(true);
        dialog.reject();
    }
    auto store = file.open();  // what reached the file
    for (const std::string* key : {&keys::auto_subsidy_calc, &keys::first_year_is_by, &keys::calc_single_effective_rate,
                                   &keys::preference_conflict, &keys::preference_purpose})
        EXPECT_EQ(store->read_int(section, *key, absent), 0) << *key;
    EXPECT_EQ(store->read_int(section, keys::budget_year, absent), 2002);
    // Only the repairs: the cancelled change and the OK-only keys are not there.
    EXPECT_EQ(store->read_text(section, keys::range_names, "<absent>"), "<absent>");
    EXPECT_EQ(store->read_int(section, keys::do_wk_only, absent), absent);
}

TEST(GeneralPreferences, StoredValuesShowAndOddOnesAreNotRewritten) {
    settings_file file("general-stored");
    auto store = file.open();
    store->write_int(section, keys::auto_subsidy_calc, 1);
    store->write_int(section, keys::first_year_is_by, 7);  // odd: shows as 0, not written on opening
    store->write_int(section, keys::preference_conflict, 1);
    store->write_int(section, keys::preference_purpose, 4);
    store->write_int(section, keys::do_wk_only, 1);
    store->write_int(section, keys::budget_year, 2031);
    store->write_text(section, keys::range_names, "DATA;TRQ");
    message_recorder recorder;
    general_preferences_dialog dialog(*store, recorder.services(), november_2000());
    EXPECT_TRUE(dialog.auto_calc()->isChecked());
    EXPECT_FALSE(dialog.first_year_is_by()->isChecked());
    EXPECT_EQ(store->read_int(section, keys::first_year_is_by, absent), 7);
    EXPECT_TRUE(dialog.conflict_button(1)->isChecked());
    EXPECT_TRUE(dialog.purpose_button(4)->isChecked());
    EXPECT_TRUE(dialog.wk_only()->isChecked());
    EXPECT_EQ(dialog.budget_year()->text().toStdString(), "2031");
    EXPECT_EQ(dialog.range_names()->text().toStdString(), "DATA;TRQ");
}

TEST(GeneralPreferences, OkChecksTheBudgetYearAndWritesOnlyWhatChanged) {
    settings_file file("general-ok");
    auto store = file.open();
    message_recorder recorder;
    general_preferences_dialog dialog(*store, recorder.services(), november_2000());

    const struct {
        const char* year;
        const char* message;
    } refused[] = {{"1991", "Please enter an integer between 1992 and 3000."},
                   {"3001", "Please enter an integer between 1992 and 3000."},
                   {"", "Please enter an integer."},
                   {"20x0", "Please enter an integer."},
                   {"2002.5", "Please enter an integer."},
                   {"99999999999999999999", "Please enter an integer."}};
    dialog.range_names()->setText("");
    for (const auto& entry : refused) {
        dialog.budget_year()->setText(entry.year);
        EXPECT_FALSE(dialog.store_values()) << entry.year;
        EXPECT_EQ(recorder.last(), entry.message) << entry.year;
    }
    // Nothing was written while the year was refused.
    EXPECT_EQ(store->read_text(section, keys::range_names, "<absent>"), "<absent>");

    // Another window changes a setting this dialog shows but the user leaves alone.
    store->write_int(section, keys::first_year_is_by, 1);
    dialog.budget_year()->setText(" 1992 ");
    dialog.single_effective_rate()->setChecked(true);
    dialog.purpose_button(4)->setChecked(true);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    auto after = file.open();
    EXPECT_EQ(after->read_text(section, keys::range_names, ""), "TRQ");  // cleared box stores "TRQ"
    EXPECT_EQ(after->read_int(section, keys::do_wk_only, absent), 0);
    EXPECT_EQ(after->read_int(section, keys::budget_year, absent), 1992);
    EXPECT_EQ(after->read_int(section, keys::calc_single_effective_rate, absent), 1);
    EXPECT_EQ(after->read_int(section, keys::preference_purpose, absent), 4);
    EXPECT_EQ(after->read_int(section, keys::first_year_is_by, absent), 1);  // unchanged here, so not overwritten
    EXPECT_EQ(recorder.topics.size(), 0u);
}

class OutputPreferences : public ::testing::Test {
protected:
    settings_file file{"output"};
    std::unique_ptr<ini_settings_store> store = file.open();
    message_recorder recorder;
};

TEST_F(OutputPreferences, OpeningRepairsTheMasksAndShowsTheirBits) {
    {
        output_preferences_dialog dialog(*store, recorder.services());
        for (int column = 0; column < 3; ++column)
            for (int display = 1; display <= 7; ++display) EXPECT_FALSE(dialog.box(column, display)->isChecked());
        dialog.reject();
    }
    for (const std::string* key :
         {&keys::online_view_options, &keys::online_print_options, &keys::online_spreadsheet_options})
        EXPECT_EQ(file.open()->read_int(section, *key, absent), 0) << *key;

    store->write_int(section, keys::online_view_options, 0x01 | 0x08 | 0x40);
    store->write_int(section, keys::online_print_options, 0x04 | 0x20);
    output_preferences_dialog dialog(*store, recorder.services());
    // Disabled boxes show their bit and keep it.
    EXPECT_TRUE(dialog.box(0, 1)->isChecked());
    EXPECT_FALSE(dialog.box(0, 1)->isEnabled());
    EXPECT_TRUE(dialog.box(0, 4)->isChecked());
    EXPECT_FALSE(dialog.box(1, 3)->isEnabled());
    EXPECT_TRUE(dialog.box(1, 3)->isChecked());
    EXPECT_TRUE(dialog.box(1, 6)->isChecked());
    dialog.box(0, 4)->setChecked(false);
    dialog.box(0, 5)->setChecked(true);
    dialog.file_name()->setText("kept as typed");
    ASSERT_TRUE(dialog.store_values());
    EXPECT_EQ(store->read_int(section, keys::online_view_options, 0), 0x01 | 0x10 | 0x40);
    EXPECT_EQ(store->read_int(section, keys::online_print_options, 0), 0x04 | 0x20);
    // With no spreadsheet output the name is stored unchecked.
    EXPECT_EQ(store->read_text(section, keys::online_filename, ""), "kept as typed");
}

TEST_F(OutputPreferences, SpreadsheetNameChecks) {
    const std::string folder = file.folder.path.string();
    const std::string no_folder = folder + "/missing/out.wk3";
    const struct {
        std::string name;
        std::string message;
    } refused[] = {
        {"", "Missing spreadsheet output file name"},
        {".wk3", "Spreadsheet output file name must have a \"wk3\" extension"},
        {folder + "/out.xls", "Spreadsheet output file name must have a \"wk3\" extension"},
        {folder + "/out.wk1", "Spreadsheet output file name must have a \"wk3\" extension"},
        {".xlsx", "Spreadsheet output file name must have a \"wk3\" extension"},
        {folder + "/out.xlsm", "Spreadsheet output file name must have a \"wk3\" extension"},
        {no_folder, "Filename:  " + no_folder +
                        "\n\nProblem:   All or part of the path is invalid.\n\nPlease change the file, directory, or drive"},
        {folder, "Spreadsheet output file name must have a \"wk3\" extension"},
    };
    output_preferences_dialog dialog(*store, recorder.services());
    dialog.box(2, 2)->setChecked(true);
    for (const auto& entry : refused) {
        dialog.file_name()->setText(QString::fromStdString(entry.name));
        EXPECT_FALSE(dialog.store_values()) << entry.name;
        EXPECT_EQ(recorder.last(), entry.message) << entry.name;
    }
    EXPECT_EQ(store->read_int(section, keys::online_spreadsheet_options, 0), 0);  // nothing written yet

    // A directory named like a spreadsheet cannot be written.
    std::filesystem::create_directory(folder + "/dir.wk3");
    dialog.file_name()->setText(QString::fromStdString(folder + "/dir.wk3"));
    EXPECT_FALSE(dialog.store_values());
    EXPECT_NE(recorder.last().find("Problem:   The file could not be accessed."), std::string::npos) << recorder.last();

    // A pipe with nobody reading it is refused at once, not waited on.
    const std::string pipe = folder + "/pipe.wk3";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    dialog.file_name()->setText(QString::fromStdString(pipe));
    EXPECT_FALSE(dialog.store_values());
    EXPECT_NE(recorder.last().find("Problem:"), std::string::npos) << recorder.last();
}

TEST_F(OutputPreferences, AcceptedNameBecomesAFullPathAndAnExistingFileKeepsItsContent) {
    const std::filesystem::path old_cwd = std::filesystem::current_path();
    std::filesystem::current_path(file.folder.path);
    const std::string existing = file.folder.at("A.WK3");
    { std::ofstream(existing, std::ios::binary) << "last run's output"; }

    output_preferences_dialog dialog(*store, recorder.services());
    dialog.box(2, 7)->setChecked(true);
    dialog.file_name()->setText("A.WK3");  // five characters, extension in capitals
    EXPECT_TRUE(dialog.store_values()) << recorder.last();
    EXPECT_EQ(file_content(existing), "last run's output");
    EXPECT_EQ(dialog.file_name()->text().toStdString(), existing);
    EXPECT_EQ(store->read_text(section, keys::online_filename, ""), existing);
    EXPECT_EQ(store->read_int(section, keys::online_spreadsheet_options, 0), 0x40);

    // A new name is checked by creating it, and the test file is not left behind.
    dialog.file_name()->setText("b.wk3");
    EXPECT_TRUE(dialog.store_values());
    EXPECT_FALSE(std::filesystem::exists(file.folder.at("b.wk3")));
    EXPECT_EQ(store->read_text(section, keys::online_filename, ""), file.folder.at("b.wk3"));

    // An Excel workbook's name is accepted too.
    dialog.file_name()->setText("c.XLSX");
    EXPECT_TRUE(dialog.store_values()) << recorder.last();
    EXPECT_EQ(store->read_text(section, keys::online_filename, ""), file.folder.at("c.XLSX"));
    std::filesystem::current_path(old_cwd);
}

TEST(BudgetRatesAlert, CancelIsTheDefaultAndGoAheadContinues) {
    budget_rates_alert alert;
    EXPECT_EQ(alert.windowTitle().toStdString(), "Alert");
    EXPECT_TRUE(alert.cancel()->isDefault());
    EXPECT_FALSE(alert.go_ahead()->isDefault());
    alert.go_ahead()->click();
    EXPECT_EQ(alert.result(), QDialog::Accepted);
    budget_rates_alert second;
    second.cancel()->click();
    EXPECT_EQ(second.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace fv
