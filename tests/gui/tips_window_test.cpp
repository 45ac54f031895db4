// The "Tips " window on the shipped topics file: the text of a topic as its
// source file has it, "Topic not found" for a name the index lacks, and Print
// sending the text in the box to the free-text print, with a failure shown.
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

#include "app/topics.h"
#include "dialog_test_support.h"
#include "gui/tips_window.h"

namespace fv {
namespace {

using test::file_content;
using test::message_recorder;

// Line ends as the window shows them; the topics file keeps no line end after a text.
std::string lf_only(std::string text) {
    std::erase(text, '\r');
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

class TipsWindow : public ::testing::Test {
protected:
    topics help;
    void SetUp() override {
        help.set_file_name(FV_SOURCE_DIR "/data/topics.txt");
        help.load();
    }
};

TEST_F(TipsWindow, ShowsTheTopicTextOfTheShippedFile) {
    for (const char* name : {"whats-new", "explain-rates", "process"}) {
        const std::string source = file_content(std::string(FV_SOURCE_DIR "/topics/") + name + ".txt");
        ASSERT_FALSE(source.empty()) << name;
        message_recorder recorder;
        tips_window window(topic_text(&help, name), recorder.services());
        EXPECT_EQ(window.windowTitle().toStdString(), "Tips ");
        EXPECT_EQ(lf_only(window.text()), lf_only(source)) << name;
        EXPECT_TRUE(window.box()->isReadOnly());
    }
    EXPECT_EQ(topic_text(&help, "WHATS-NEW"), topic_text(&help, "whats-new"));  // names ignore case
    EXPECT_EQ(topic_text(&help, "no-such-topic"), "Topic not found");
    EXPECT_EQ(topic_text(nullptr, "whats-new"), "Topic not found");
}

TEST_F(TipsWindow, PrintSendsTheBoxTextAndShowsAFailure) {
    message_recorder recorder;
    tips_window window(topic_text(&help, "check-list"), recorder.services());
    std::vector<std::string> printed;
    bool works = true;
    window.print_text = [&](const std::string& text, std::string& failure) {
        printed.push_back(text);
        if (!works) failure = "No printer is available.";
        return works;
    };
    EXPECT_TRUE(window.print());
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0], window.box()->toPlainText().toStdString());
    EXPECT_TRUE(recorder.messages.empty());
    works = false;
    EXPECT_FALSE(window.print());
    EXPECT_EQ(recorder.last(), "No printer is available.");

    // Several windows may be open; each frees itself when closed.
    QPointer<tips_window> first = open_tips_window("one", recorder.services(), nullptr);
    QPointer<tips_window> second = open_tips_window("two", recorder.services(), nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(second->isVisible());
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_FALSE(second.isNull());
    delete second.data();
}

}  // namespace
}  // namespace fv
