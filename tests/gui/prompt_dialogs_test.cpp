// The small dialogs of the desktop host: the range selection dialog, the
// wide-lines notice and Getting Started with their settings.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>

#include "app/settings_keys.h"
#include "app/topics.h"
#include "desktop_test_support.h"
#include "gui/getting_started_dialog.h"
#include "gui/range_selection_dialog.h"
#include "gui/wide_lines_notice_dialog.h"

namespace fv {
namespace {

bool shows_label(const QWidget& dialog, const std::string& text) {
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        if (label->text().toStdString() == text) return true;
    return false;
}

TEST(RangeSelectionDialog, ListsTheCandidatesAlphabeticallyWithTheFirstSelected) {
    range_selection_dialog dialog("/data/two ranges.wk1", {"trq2", "Alpha", "beta"});
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Select a range from the dropdown box");
    ASSERT_EQ(dialog.list()->count(), 3);
    EXPECT_EQ(dialog.list()->itemText(0).toStdString(), "Alpha");
    EXPECT_EQ(dialog.list()->itemText(2).toStdString(), "trq2");
    EXPECT_EQ(dialog.chosen(), "Alpha");
    dialog.list()->setCurrentIndex(2);
    EXPECT_EQ(dialog.chosen(), "trq2");
    EXPECT_TRUE(shows_label(dialog, "If you do not want to continue opening this file, press \"Cancel\" button."));
    dialog.list()->setCurrentIndex(-1);
    EXPECT_EQ(dialog.chosen(), "");  // no selection: an empty name
}

TEST(WideLinesNotice, RepairsOnOpeningAndWritesOnlyAChange) {
    memory_settings_store store;
    {
        wide_lines_notice_dialog notice(store);
        EXPECT_EQ(notice.windowTitle().toStdString(), "Very wide lines are being reorganized");
        // Absent: written as 1 at once and shown checked.
        EXPECT_EQ(store.read_int(settings::runtime_options, settings::input_too_wide_option, -7), 1);
        EXPECT_TRUE(notice.check_box()->isChecked());
        EXPECT_EQ(notice.check_box()->text().toStdString(), "Continue to display this warning.  ");
        notice.check_box()->setChecked(false);
        notice.accept();
    }
    EXPECT_EQ(store.read_int(settings::runtime_options, settings::input_too_wide_option, -7), 0);
    {
        wide_lines_notice_dialog notice(store);
        EXPECT_FALSE(notice.check_box()->isChecked());
        notice.accept();
    }
    EXPECT_EQ(store.read_int(settings::runtime_options, settings::input_too_wide_option, -7), 0);
}

TEST(GettingStarted, TheCheckBoxDecidesTheNextStart) {
    memory_settings_store store;
    topics help;
    help.set_file_name(std::string(FV_BINARY_DIR) + "/topics.txt");
    ASSERT_NO_THROW(help.load());
    {
        getting_started_dialog dialog(store, &help);
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Getting Started:  How to use this program");
        // A clean store asks for the dialog at start-up.
        EXPECT_EQ(store.read_int(settings::runtime_options, settings::startup_logo, -7), 1);
        EXPECT_TRUE(dialog.check_box()->isChecked());
        const QPlainTextEdit* text = dialog.findChild<QPlainTextEdit*>();
        ASSERT_NE(text, nullptr);
        const std::string process = *help.lookup("process");
        EXPECT_EQ(text->toPlainText().toStdString().substr(0, 20), process.substr(0, 20));
        dialog.check_box()->setChecked(false);
        dialog.reject();  // however it is left
    }
    EXPECT_EQ(store.read_int(settings::runtime_options, settings::startup_logo, -7), 0);
    {
        getting_started_dialog dialog(store, nullptr);
        EXPECT_FALSE(dialog.check_box()->isChecked());
        EXPECT_EQ(dialog.findChild<QPlainTextEdit*>()->toPlainText().toStdString(), "Topic not found");
        dialog.check_box()->setChecked(true);
        dialog.accept();
    }
    EXPECT_EQ(store.read_int(settings::runtime_options, settings::startup_logo, -7), 1);
}

}  // namespace
}  // namespace fv
