// The rate selection dialog on the shipped rate file and an own-rate file in
// a scratch folder: which choices it offers, creating and deleting own rate
// sets (with the duplicate-title, in-use and bad-file-name cases), and that an
// own-rate file is written only over a file that reads as one, keeping what
// another program added meanwhile. Also the rate listing and the zero-subsidy
// calculator it opens.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/settings_keys.h"
#include "dialog_test_support.h"
#include "gui/display_rates_dialog.h"
#include "gui/rate_selection_dialog.h"
#include "gui/zero_subsidy_dialog.h"
#include "rates/own_rates.h"

namespace fv {
namespace {

using test::file_content;
using test::message_recorder;
using test::scratch_folder;
namespace keys = settings;
const std::string& section = keys::runtime_options;

const std::string rate_file = FV_SOURCE_DIR "/data/rates.txt";
const std::string own_text =
    "#CLIENT-RATE-FILE\n\n"
    "\"Low\"  1.0000  1.1000  1.2000  1.3000  1.4000  1.5000  1.6000  1.7000  1.8000\n"
    "\"Mid\"  3.0000  3.1000  3.2000  3.3000  3.4000  3.5000  3.6000  3.7000  3.8000\n";

void write_file(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The flat-rate dialog answering with these values.
std::function<std::optional<flat_rate_entry>(const flat_rate_entry*)> flat_answer(std::string title, double rate,
                                                                                  int kind) {
    return [=](const flat_rate_entry*) {
        flat_rate_entry entry;
        entry.title = title;
        entry.rate = rate;
        entry.kind = kind;
        return std::optional<flat_rate_entry>(entry);
    };
}

bool has_title(const std::string& file_text, const std::string& title) {
    return file_text.find("\"" + title + "\"") != std::string::npos;
}

class RateSelection : public ::testing::Test {
protected:
    scratch_folder folder{"rates"};
    std::string own = folder.at("own rates.txt");
    memory_settings_store store;
    message_recorder recorder;
    document_rates rates;
    rate_dialog_memory memory;
    std::vector<std::string> notices;
    std::optional<std::string> other_document;  // file name of a window using the title asked about
    std::vector<std::string> titles_asked;

    void SetUp() override { write_file(own, own_text); }

    std::unique_ptr<rate_selection_dialog> open(const std::string& own_setting) {
        store.write_text(section, keys::own_filename, own_setting);
        rates = make_document_rates(store, rate_file, own_setting);
        EXPECT_FALSE(rates.failure.has_value()) << rates.failure.value_or("");
        return reopen();
    }
    std::unique_ptr<rate_selection_dialog> reopen() {
        rate_dialog_environment environment;
        environment.own_rates_changed = [this](const std::string& file, bool new_default) {
            notices.push_back(file + (new_default ? " (default)" : ""));
        };
        environment.document_using_title = [this](const std::string& title) {
            titles_asked.push_back(title);
            return other_document;
        };
        return std::make_unique<rate_selection_dialog>(store, rates, memory, environment, recorder.services());
    }
    std::vector<std::string> own_list(const rate_selection_dialog& dialog) const {
        std::vector<std::string> out;
        for (int n = 0; n < dialog.list(rate_source::own)->count(); ++n) out.push_back(dialog.list(rate_source::own)->itemText(n).toStdString());
        return out;
    }
};

TEST_F(RateSelection, WithoutAnOwnFileNameTheOwnChoicesAreOff) {
    store.write_int(section, keys::rate_source, 2);
    auto dialog = open("");
    EXPECT_TRUE(dialog->category_button(rate_source::budget)->isChecked());
    EXPECT_FALSE(dialog->category_button(rate_source::own)->isEnabled());
    EXPECT_FALSE(dialog->list(rate_source::own)->isEnabled());
    EXPECT_FALSE(dialog->create_yield_curve_button()->isEnabled());
    EXPECT_FALSE(dialog->create_flat_rate_button()->isEnabled());
    EXPECT_FALSE(dialog->delete_button()->isEnabled());
    EXPECT_GT(dialog->list(rate_source::actual)->count(), 0);
    EXPECT_GT(dialog->list(rate_source::budget)->count(), 0);

    dialog->create_yield_curve();
    EXPECT_EQ(recorder.last(), "Please enter a filename in the box marked \"Filename for your own assumptions\" before "
                               "creating new rates.");
    dialog->delete_highlighted();
    EXPECT_EQ(recorder.last().rfind("To delete an item in the \"own assumptions\" box:\n", 0), 0u) << recorder.last();
    EXPECT_TRUE(dialog->use_for_this_document());
}

TEST_F(RateSelection, RemembersTheStoredChoicesAndSavesThemAsDefault) {
    store.write_int(section, keys::rate_source, 2);
    store.write_text(section, keys::rate_item_own, "MID");
    store.write_text(section, keys::rate_item_actual, "FY 2022 average");
    auto dialog = open("own rates.txt" == own ? own : own);
    EXPECT_EQ(dialog->file_name_box()->text().toStdString(), own);
    EXPECT_TRUE(dialog->category_button(rate_source::own)->isChecked());
    EXPECT_TRUE(dialog->delete_button()->isEnabled());
    EXPECT_EQ(own_list(*dialog), (std::vector<std::string>{"Low", "Mid"}));
    EXPECT_EQ(dialog->list(rate_source::own)->currentText().toStdString(), "Mid");
    EXPECT_EQ(dialog->list(rate_source::actual)->currentText().toStdString(), "FY 2022 average");

    dialog->category_button(rate_source::actual)->setChecked(true);
    dialog->list(rate_source::budget)->setCurrentIndex(1);
    dialog->list(rate_source::own)->setCurrentIndex(0);
    ASSERT_TRUE(dialog->save_as_default());
    EXPECT_EQ(store.read_int(section, keys::rate_source, -1), 0);
    EXPECT_EQ(store.read_text(section, keys::rate_item_own, ""), "Low");
    EXPECT_EQ(store.read_text(section, keys::rate_item_actual, ""), "FY 2022 average");
    EXPECT_EQ(store.read_text(section, keys::rate_item_forecast, ""), rates.rates.budget().at(1).title);
    EXPECT_EQ(store.read_text(section, keys::own_filename, ""), own);
    EXPECT_EQ(notices, std::vector<std::string>{own + " (default)"});
    EXPECT_EQ(rates.selection.source, rate_source::actual);
    EXPECT_EQ(rates.selection.title_of(rate_source::own), "Low");
}

TEST_F(RateSelection, CreatesYieldCurveAndFlatRateSetsInTheFile) {
    auto dialog = open(own);
    dialog->ask_yield_curve = [](const yield_curve_entry&) {
        yield_curve_entry entry;
        entry.title = "High";
        entry.rates = {6, 6.1, 6.2, 6.3, 6.4, 6.5, 6.6, 6.7, 6.8};
        return std::optional<yield_curve_entry>(entry);
    };
    dialog->create_yield_curve();
    EXPECT_TRUE(recorder.messages.empty()) << recorder.last();
    EXPECT_TRUE(has_title(file_content(own), "High"));
    EXPECT_EQ(own_list(*dialog), (std::vector<std::string>{"High", "Low", "Mid"}));
    EXPECT_TRUE(dialog->category_button(rate_source::own)->isEnabled());
    EXPECT_EQ(notices.size(), 1u);

    dialog->ask_flat_rate = flat_answer("Flat", 6.09, flat_effective_annual);
    dialog->create_flat_rate();
    const rate_set* flat = rates.rates.find_by_title(rate_source::own, "Flat");
    ASSERT_NE(flat, nullptr);
    for (double rate : flat->rates) EXPECT_DOUBLE_EQ(rate, (std::sqrt(1.0609) - 1) * 200);  // unrounded
    EXPECT_TRUE(has_title(file_content(own), "Flat"));
    EXPECT_EQ(notices.size(), 2u);
}

TEST_F(RateSelection, DuplicateTitleShowsTheDialogAgainWithItsEntries) {
    auto dialog = open(own);
    std::vector<yield_curve_entry> shown;
    dialog->ask_yield_curve = [&](const yield_curve_entry& entry) -> std::optional<yield_curve_entry> {
        shown.push_back(entry);
        if (shown.size() > 1) return std::nullopt;  // the user cancels the second time
        yield_curve_entry typed;
        typed.title = "mID";
        typed.rate_texts[0] = "2.5";
        typed.rates[0] = 2.5;
        return typed;
    };
    const std::string before = file_content(own);
    dialog->create_yield_curve();
    EXPECT_EQ(recorder.last(), "The title duplicates the name of another set of rates.\nNames must be unique.\n");
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].title, "mID");
    EXPECT_EQ(shown[1].rate_texts[0], "2.5");
    EXPECT_EQ(file_content(own), before);
    EXPECT_TRUE(notices.empty());
}

TEST_F(RateSelection, DeletesOnlyWhatNoOtherWindowUses) {
    store.write_text(section, keys::rate_item_own, "Low");
    auto dialog = open(own);
    dialog->category_button(rate_source::own)->setChecked(true);
    dialog->list(rate_source::own)->setCurrentIndex(0);
    other_document = "/data/loans/guarantee.wk1";
    const std::string before = file_content(own);
    dialog->delete_highlighted();
    EXPECT_EQ(recorder.last(), "This rate choice is currently in use in another window\nSee the window with the file "
                               "named:\n\n        /data/loans/guarantee.wk1");
    EXPECT_EQ(titles_asked, std::vector<std::string>{"Low"});
    EXPECT_EQ(file_content(own), before);
    EXPECT_EQ(store.read_text(section, keys::rate_item_own, ""), "Low");

    other_document.reset();
    dialog->delete_highlighted();
    EXPECT_FALSE(has_title(file_content(own), "Low"));
    EXPECT_TRUE(has_title(file_content(own), "Mid"));
    EXPECT_EQ(file_content(rate_collection::backup_name(own)), before);
    EXPECT_EQ(store.read_text(section, keys::rate_item_own, "<absent>"), "");
    EXPECT_EQ(own_list(*dialog), std::vector<std::string>{"Mid"});
    EXPECT_EQ(notices.size(), 1u);
}

TEST_F(RateSelection, ANameThatCannotBeCreatedKeepsTheDialogOpenUntilFixedOrCancelled) {
    auto dialog = open(own);
    const std::string bad = folder.at("no such folder/own.txt");
    dialog->file_name_box()->setText(QString::fromStdString(bad));
    EXPECT_FALSE(dialog->use_for_this_document());
    EXPECT_EQ(recorder.last(), own_file_name_message(bad));
    EXPECT_FALSE(dialog->create_yield_curve_button()->isEnabled());
    EXPECT_FALSE(dialog->category_button(rate_source::own)->isEnabled());
    EXPECT_FALSE(dialog->save_as_default());
    EXPECT_EQ(store.read_text(section, keys::own_filename, ""), own);

    // Cancel puts the committed name back and reloads its sets.
    dialog->reject();
    EXPECT_EQ(dialog->file_name_box()->text().toStdString(), own);
    EXPECT_FALSE(memory.bad_file_name);
    EXPECT_EQ(rates.rates.own().size(), 2u);

    // A new name that does not exist yet is created empty.
    auto again = reopen();
    const std::string fresh = folder.at("fresh.txt");
    again->file_name_box()->setText(QString::fromStdString(fresh));
    EXPECT_TRUE(again->use_for_this_document());
    EXPECT_TRUE(std::filesystem::exists(fresh));
    EXPECT_EQ(file_content(fresh), "");
    EXPECT_TRUE(rates.rates.own().empty());
    EXPECT_EQ(memory.committed_name, fresh);
}

TEST_F(RateSelection, AFileThatIsNoOwnRateFileIsNeverOverwritten) {
    const std::string notes = folder.at("notes.txt");
    const std::string precious = "Meeting notes, not rates\nline two\n";
    write_file(notes, precious);
    auto dialog = open(own);
    dialog->category_button(rate_source::own)->setChecked(true);
    dialog->file_name_box()->setText(QString::fromStdString(notes));
    int asked = 0;
    dialog->ask_yield_curve = [&](const yield_curve_entry&) {
        ++asked;
        yield_curve_entry entry;
        entry.title = "New";
        entry.rates.fill(5);
        return std::optional<yield_curve_entry>(entry);
    };
    EXPECT_FALSE(dialog->use_for_this_document());
    EXPECT_NE(recorder.last().find("#CLIENT-RATE-FILE"), std::string::npos) << recorder.last();
    dialog->create_yield_curve();
    EXPECT_EQ(recorder.last(), "The filename in the box marked \"Filename for your own assumptions\"\nmust be fixed "
                               "before creating new rates.");
    dialog->delete_highlighted();
    EXPECT_FALSE(dialog->save_as_default());
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(file_content(notes), precious);
    EXPECT_FALSE(std::filesystem::exists(rate_collection::backup_name(notes)));
    EXPECT_EQ(rates.rates.own_file_path(), std::nullopt);

    // A file damaged by someone else after it was loaded is not written over either.
    dialog->file_name_box()->setText(QString::fromStdString(own));
    ASSERT_TRUE(dialog->use_for_this_document());
    write_file(own, precious);
    dialog->create_yield_curve();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(file_content(own), precious);
    EXPECT_FALSE(dialog->create_yield_curve_button()->isEnabled());
}

TEST_F(RateSelection, ASetAnotherProgramAddedMeanwhileIsKept) {
    auto dialog = open(own);
    write_file(own, own_text + "\"Theirs\"  2.0000  2.0000  2.0000  2.0000  2.0000  2.0000  2.0000  2.0000  2.0000\n");
    dialog->ask_flat_rate = flat_answer("Ours", 4, flat_bond_equivalent);
    dialog->create_flat_rate();
    const std::string text = file_content(own);
    for (const char* title : {"Low", "Mid", "Theirs", "Ours"}) EXPECT_TRUE(has_title(text, title)) << title;
    EXPECT_EQ(own_list(*dialog), (std::vector<std::string>{"Low", "Mid", "Ours", "Theirs"}));
}

TEST_F(RateSelection, EnterNewFilename) {
    auto dialog = open(own);
    std::vector<std::string> entries = {folder.at("missing/x.txt"), folder.at("second.txt")};
    std::vector<std::string> shown;
    dialog->ask_file_name = [&](const std::string& current) -> std::optional<std::string> {
        shown.push_back(current);
        if (entries.empty()) return std::nullopt;
        const std::string entry = entries.front();
        entries.erase(entries.begin());
        return entry;
    };
    dialog->enter_new_filename();
    ASSERT_EQ(shown.size(), 2u);  // asked again after the name that cannot be created
    EXPECT_EQ(shown[0], own);
    EXPECT_EQ(recorder.messages.at(0), own_file_name_message(folder.at("missing/x.txt")));
    EXPECT_TRUE(std::filesystem::exists(folder.at("second.txt")));
    EXPECT_EQ(store.read_text(section, keys::own_filename, ""), folder.at("second.txt"));
    EXPECT_EQ(dialog->file_name_box()->text().toStdString(), folder.at("second.txt"));
    EXPECT_TRUE(dialog->create_yield_curve_button()->isEnabled());

    // Cancel in the entry dialog changes nothing.
    dialog->enter_new_filename();
    EXPECT_EQ(store.read_text(section, keys::own_filename, ""), folder.at("second.txt"));
}

TEST_F(RateSelection, ListsAllRatesAndOpensTheZeroSubsidyDialogOnTheChosenSet) {
    auto dialog = open(own);
    display_rates_dialog listing(rates.rates, {}, true);
    EXPECT_EQ(listing.listing_text(), rates.rates.list_text(true));
    EXPECT_EQ(listing.windowTitle().toStdString(), "Listing of available discount rates");
    EXPECT_EQ(std::string(rate_listing_header[0]),
              "     Category                   13    26    52    2     3     5     7     10    30");
    std::string shown = listing.listing_text();
    std::erase(shown, '\r');
    EXPECT_EQ(listing.listing()->toPlainText().toStdString(), shown);
    EXPECT_NE(shown.find("FY 2022 average"), std::string::npos);
    EXPECT_NE(shown.find("Mid"), std::string::npos);

    std::optional<std::string> opened_on;
    dialog->open_zero_subsidy = [&](const rate_set* chosen) { opened_on = chosen ? chosen->title : "<none>"; };
    dialog->category_button(rate_source::own)->setChecked(true);
    dialog->list(rate_source::own)->setCurrentIndex(1);
    dialog->zero_subsidy_rate();
    EXPECT_EQ(opened_on, "Mid");
}

TEST(ZeroSubsidyDialog, QuarterlyOnAFlatCurveAndTheSolversLimits) {
    // On a flat bond-equivalent curve b a quarter discounts by (1 + b/200)^-1/2,
    // so b = 200 x (1.015^2 - 1) makes 1.5 percent a quarter the neutral rate.
    const double b = 200 * (1.015 * 1.015 - 1);
    rate_set flat(rate_source::own, "Flat 6.045", {b, b, b, b, b, b, b, b, b});
    message_recorder recorder;
    zero_subsidy_dialog dialog(&flat, recorder.services());
    EXPECT_EQ(dialog.result()->text().toStdString(), "??");
    EXPECT_EQ(dialog.term()->text().toStdString(), "30");
    EXPECT_EQ(dialog.forecast()->text().toStdString(), "Flat 6.045");
    EXPECT_TRUE(dialog.principal_button(0)->isChecked());
    EXPECT_TRUE(dialog.frequency_button(0)->isChecked());

    dialog.frequency_button(2)->setChecked(true);
    ASSERT_TRUE(dialog.calculate()) << recorder.last();
    EXPECT_EQ(dialog.result()->text().toStdString(), "6.1364");

    dialog.frequency_button(0)->setChecked(true);
    dialog.term()->setText("101");
    EXPECT_FALSE(dialog.calculate());
    EXPECT_EQ(recorder.last(), "cf_pvfact::nr_helper\tcalled periods beyond 100 years");
    EXPECT_EQ(dialog.result()->text().toStdString(), "6.1364");  // still usable, nothing half-done

    dialog.frequency_button(3)->setChecked(true);
    dialog.term()->setText(" 40 years");
    EXPECT_TRUE(dialog.calculate()) << recorder.last();
    dialog.term()->setText("none");
    EXPECT_TRUE(dialog.calculate());
    EXPECT_EQ(dialog.result()->text().toStdString(), "0.0000");

    zero_subsidy_dialog without(nullptr, recorder.services());
    EXPECT_FALSE(without.calculate());
    EXPECT_EQ(without.result()->text().toStdString(), "??");
}

}  // namespace
}  // namespace fv
