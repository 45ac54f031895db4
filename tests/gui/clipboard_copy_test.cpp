// The clipboard copy against a clipboard that fails on request: every failure
// shows its own message, a failed writer leaves the other forms, and a failed
// format ends the copy without the formats after it.
#include "gui/clipboard_copy.h"

#include <gtest/gtest.h>

#include "desktop_test_support.h"
#include "gui/document_window.h"
#include "gui/print_text.h"

namespace fv {
namespace {

struct failing_clipboard : clipboard_target {
    bool fail_open = false, fail_empty = false;
    std::string fail_register;  // format name
    std::string fail_put;       // format name, "" for text
    bool put_failure_is_memory = false;
    bool any_put_fails = false;

    std::vector<std::string> placed;
    bool opened = false, closed = false;

    bool open() override {
        opened = !fail_open;
        return opened;
    }
    bool empty() override { return !fail_empty; }
    bool register_format(const std::string& name) override { return name != fail_register; }
    put_result put(const std::string& format, const std::vector<unsigned char>& data) override {
        EXPECT_FALSE(data.empty());
        if (any_put_fails && format == fail_put)
            return put_failure_is_memory ? put_result::no_memory : put_result::refused;
        placed.push_back(format.empty() ? "text" : format);
        return put_result::placed;
    }
    void close() override { closed = true; }
};

const std::string writer_text =
    "\" format.\nOne or more files in the root directory for this program may be corrupted\nIt may be necessary to "
    "reinstall this program\n\nTechnical message: ";

TEST(ClipboardCopy, EveryFailureHasItsMessageAndWhatSurvives) {
    test::desktop d("clipboard-failures");
    document_window* frame = d.frame->open_file(test::example("direct_loan.wk1"));
    ASSERT_NE(frame, nullptr);
    const display_page& page = *frame->document().page_of(1);
    const page_selection block{2, 1, 4, 30};

    struct expected {
        const char* what;
        std::function<void(failing_clipboard&)> arrange;
        bool templates_missing;
        std::vector<std::string> messages;
        std::vector<std::string> placed;
        bool closed;
    };
    const expected cases[] = {
        {"all well", [](failing_clipboard&) {}, false, {}, {"Wk3", "Wk1", "text"}, true},
        {"no clipboard", [](failing_clipboard& c) { c.fail_open = true; }, false,
         {"CKdmView::DoClipboard was unable to open the clipboard"}, {}, false},
        {"not emptied", [](failing_clipboard& c) { c.fail_empty = true; }, false,
         {"CKdmView::DoClipboard was unable to empty the clipboard"}, {"Wk3", "Wk1", "text"}, true},
        {"Wk3 not registered", [](failing_clipboard& c) { c.fail_register = "Wk3"; }, false,
         {"CKdmView::DoClipboard was unable to register \"Wk3\" format"}, {}, true},
        {"Wk1 not registered", [](failing_clipboard& c) { c.fail_register = "Wk1"; }, false,
         {"CKdmView::DoClipboard was unable to register \"Wk1\" format"}, {"Wk3"}, true},
        {"no memory for Wk3",
         [](failing_clipboard& c) {
             c.any_put_fails = true;
             c.fail_put = "Wk3";
             c.put_failure_is_memory = true;
         },
         false, {"CKdmView::DoClipboard was unable to allocate global memory"}, {}, true},
        {"Wk3 refused",
         [](failing_clipboard& c) {
             c.any_put_fails = true;
             c.fail_put = "Wk3";
         },
         false, {"CKdmView::DoClipboard was unable to set wk3 clipboard data"}, {}, true},
        {"Wk1 refused",
         [](failing_clipboard& c) {
             c.any_put_fails = true;
             c.fail_put = "Wk1";
         },
         false, {"CKdmView::DoClipboard was unable to set clipboard data"}, {"Wk3"}, true},
        {"text refused",
         [](failing_clipboard& c) {
             c.any_put_fails = true;
             c.fail_put = "";
         },
         false, {"CKdmView::DoClipboard was unable to set clipboard data"}, {"Wk3", "Wk1"}, true},
        // Without the templates the text still reaches the clipboard.
        {"templates missing", [](failing_clipboard&) {}, true,
         {"Unable to create clipboard information in \"wk3" + writer_text,
          "Unable to create clipboard information in \"wk1" + writer_text},
         {"text"}, true},
    };
    for (const expected& c : cases) {
        SCOPED_TRACE(c.what);
        failing_clipboard clipboard;
        c.arrange(clipboard);
        copy_settings settings;
        settings.program_directory = c.templates_missing ? d.folder.at("nowhere/") : test::program_folder();
        std::vector<std::string> messages;
        const bool done = copy_display_block(page, block, settings, clipboard,
                                             [&](const std::string& text) { messages.push_back(text); });
        ASSERT_EQ(messages.size(), c.messages.size());
        for (std::size_t i = 0; i < messages.size(); ++i)
            EXPECT_EQ(messages[i].substr(0, c.messages[i].size()), c.messages[i]);
        EXPECT_EQ(clipboard.placed, c.placed);
        EXPECT_EQ(clipboard.closed, c.closed);
        EXPECT_EQ(done, c.messages.empty() || std::string(c.what) == "not emptied" ||
                            std::string(c.what) == "templates missing");
    }

    // The technical message of a missing template names it.
    failing_clipboard clipboard;
    copy_settings settings;
    settings.program_directory = d.folder.at("nowhere/");
    settings.spreadsheet_formats_only = true;
    std::vector<std::string> messages;
    copy_display_block(page, block, settings, clipboard, [&](const std::string& text) { messages.push_back(text); });
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find("3.bin"), std::string::npos);
    EXPECT_NE(messages[1].find("1.bin"), std::string::npos);
    EXPECT_TRUE(clipboard.placed.empty());  // spreadsheet formats only, and neither could be made
}

TEST(ClipboardCopy, BlockTextTakesTheSelectedFields) {
    test::desktop d("clipboard-text");
    document_window* frame = d.frame->open_file(test::example("direct_loan.wk1"));
    ASSERT_NE(frame, nullptr);
    const display_page& page = *frame->document().page_of(1);
    const std::vector<std::string> lines = print_lines(*frame->document().display_text(1));
    // Whole lines come out as the view shows them.
    EXPECT_EQ(block_text(page, {1, 0, 2, 0}), lines[0] + "\r\n" + lines[1] + "\r\n");
    // All zeros: the whole display.
    EXPECT_EQ(block_text(page, {}), *frame->document().display_text(1));
}

}  // namespace
}  // namespace fv
