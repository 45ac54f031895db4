// The dialogs wired to open documents: deleting an own rate set that another
// window's document has chosen is refused with that window's file name, a
// deletion reaches the other documents reading the same own-rate file, and
// the Alert comes first when the purpose forces the budget rates (cancelling
// it leaves the rate choice alone). The modal dialogs are driven from a timer
// inside their own event loop, as a user would.
#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QComboBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "app/document.h"
#include "app/settings_keys.h"
#include "dialog_test_support.h"
#include "gui/budget_rates_alert.h"
#include "gui/desktop_dialogs.h"
#include "gui/rate_selection_dialog.h"

namespace fv {
namespace {

using test::file_content;
using test::message_recorder;
using test::scratch_folder;
namespace keys = settings;
const std::string& section = keys::runtime_options;

struct quiet_host : document_host {
    std::vector<std::string> messages;
    void show_message(const std::string& text) override { messages.push_back(text); }
    std::optional<std::string> choose_range(const std::string&, const std::vector<std::string>& candidates) override {
        if (candidates.empty()) return std::nullopt;
        return candidates.front();
    }
    void wide_lines_notice() override {}
    void set_status(const std::string&) override {}
    bool has_view() const override { return false; }
    void select_display(int) override {}
    bool print_text(const std::string&, const std::string&, const std::string&) override { return true; }
};

// Runs `user` on the modal dialog that `open` shows, once it is up.
void with_modal(const std::function<void(QWidget*)>& user, const std::function<void()>& open) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ran = modal != nullptr;
        if (modal != nullptr) user(modal);
    });
    open();
    EXPECT_TRUE(ran) << "no modal dialog came up";
}

class DesktopDialogs : public ::testing::Test {
protected:
    scratch_folder folder{"launcher"};
    std::string own = folder.at("own.txt");
    std::string own_text =
        "#CLIENT-RATE-FILE\n\n"
        "\"Low\"  1.0000  1.1000  1.2000  1.3000  1.4000  1.5000  1.6000  1.7000  1.8000\n"
        "\"Mid\"  3.0000  3.1000  3.2000  3.3000  3.4000  3.5000  3.6000  3.7000  3.8000\n";
    memory_settings_store store;
    quiet_host host;
    message_recorder recorder;
    std::unique_ptr<document> mine, theirs;
    std::unique_ptr<desktop_dialogs> dialogs;

    void SetUp() override {
        std::ofstream(own, std::ios::binary) << own_text;
        store.write_text(section, keys::own_filename, own);
        store.write_int(section, keys::preference_conflict, 1);
        store.write_int(section, keys::preference_purpose, 4);  // analysis: no Alert
        const std::string program_directory = FV_SOURCE_DIR "/data/";
        mine = std::make_unique<document>(store, host, program_directory);
        theirs = std::make_unique<document>(store, host, program_directory);
        ASSERT_TRUE(theirs->load_spreadsheet(FV_SOURCE_DIR "/examples/direct_loan.wk1"))
            << (host.messages.empty() ? "" : host.messages.back());
        dialogs = std::make_unique<desktop_dialogs>(
            store, nullptr, program_directory + "rates.txt",
            [this] { return std::vector<document*>{mine.get(), theirs.get()}; }, recorder.services().message);
    }

    // Highlights an own set in the dialog up and deletes it.
    std::function<void(QWidget*)> delete_own(const QString& title) {
        return [title](QWidget* modal) {
            auto* dialog = dynamic_cast<rate_selection_dialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            dialog->category_button(rate_source::own)->setChecked(true);
            dialog->list(rate_source::own)->setCurrentIndex(dialog->list(rate_source::own)->findText(title));
            dialog->delete_highlighted();
            dialog->reject();
        };
    }
};

TEST_F(DesktopDialogs, AnOwnSetAnotherWindowUsesIsNotDeleted) {
    theirs->rates().selection.source = rate_source::own;
    theirs->rates().selection.title_of(rate_source::own) = "low";
    with_modal(delete_own("Low"), [&] { dialogs->select_rates(nullptr, mine.get()); });
    EXPECT_EQ(recorder.last(), "This rate choice is currently in use in another window\nSee the window with the file "
                               "named:\n\n        " FV_SOURCE_DIR "/examples/direct_loan.wk1");
    EXPECT_EQ(file_content(own), own_text);

    // Once that window chooses another set, the deletion goes through and
    // reaches its document too.
    theirs->rates().selection.title_of(rate_source::own) = "Mid";
    with_modal(delete_own("Low"), [&] { dialogs->select_rates(nullptr, mine.get()); });
    EXPECT_EQ(file_content(own).find("\"Low\""), std::string::npos);
    ASSERT_EQ(theirs->rates().rates.own().size(), 1u);
    EXPECT_EQ(theirs->rates().rates.own()[0].title, "Mid");
    EXPECT_EQ(mine->rates().rates.own().size(), 1u);
}

TEST_F(DesktopDialogs, TheAlertComesFirstWhenThePurposeForcesBudgetRates) {
    store.write_int(section, keys::preference_purpose, 0);  // budget formulation, dialog choices win
    const rate_selection_state before = mine->rates().selection;
    with_modal(
        [](QWidget* modal) {
            auto* alert = dynamic_cast<budget_rates_alert*>(modal);
            ASSERT_NE(alert, nullptr);
            alert->cancel()->click();
        },
        [&] { dialogs->select_rates(nullptr, mine.get()); });
    EXPECT_FALSE(dialogs->memory_of(mine.get()).initialised);  // the rate dialog never opened
    EXPECT_EQ(mine->rates().selection.source, before.source);

    // "&Go ahead" continues to the rate dialog.
    bool rate_dialog_shown = false;
    with_modal(
        [&](QWidget* modal) {
            QTimer::singleShot(0, [&] {
                auto* dialog = dynamic_cast<rate_selection_dialog*>(QApplication::activeModalWidget());
                rate_dialog_shown = dialog != nullptr;
                if (dialog != nullptr) dialog->reject();
            });
            dynamic_cast<budget_rates_alert*>(modal)->go_ahead()->click();
        },
        [&] { dialogs->select_rates(nullptr, mine.get()); });
    EXPECT_TRUE(rate_dialog_shown);
}

}  // namespace
}  // namespace fv
