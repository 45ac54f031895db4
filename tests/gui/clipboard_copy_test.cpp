// The clipboard copy against a clipboard that fails on request: every failure
// shows its own message, a failed writer leaves the other forms, and a failed
// format ends the copy without the formats after it.
#include "gui/clipboard_copy.h"

#include <gtest/gtest.h>

#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <variant>

#include "desktop_test_support.h"
#include "gui/document_window.h"
#include "gui/print_text.h"
#include "workbook/workbook_file.h"

namespace fv {
namespace {

struct failing_clipboard : clipboard_target {
    bool fail_open = false, fail_empty = false;
    std::string fail_register;  // format name
    std::string fail_put;       // format name, "" for text
    bool put_failure_is_memory = false;
    bool any_put_fails = false;

    std::vector<std::string> placed;
    std::map<std::string, std::string> contents;
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
        contents[placed.back()].assign(data.begin(), data.end());
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
        {"all well", [](failing_clipboard&) {}, false, {}, {"Wk3", "Wk1", "text", "text/html", "text/tab-separated-values"}, true},
        {"no clipboard", [](failing_clipboard& c) { c.fail_open = true; }, false,
         {"CKdmView::DoClipboard was unable to open the clipboard"}, {}, false},
        {"not emptied", [](failing_clipboard& c) { c.fail_empty = true; }, false,
         {"CKdmView::DoClipboard was unable to empty the clipboard"}, {"Wk3", "Wk1", "text", "text/html", "text/tab-separated-values"}, true},
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
         {"text", "text/html", "text/tab-separated-values"}, true},
        {"HTML refused",
         [](failing_clipboard& c) {
             c.any_put_fails = true;
             c.fail_put = "text/html";
         },
         false, {"CKdmView::DoClipboard was unable to set clipboard data"}, {"Wk3", "Wk1", "text"}, true},
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

// A cell as a spreadsheet holds it: a label's text or a figure.
using sheet_cell = std::variant<std::string, double>;
using cell_position = std::pair<int, int>;  // row and column from 0

// The "Wk1" form read back by the WK1 reader.
std::map<cell_position, sheet_cell> wk1_cells(const std::string& bytes, const std::string& path) {
    std::ofstream(path, std::ios::binary) << bytes;
    workbook_file book(path);
    book.load();
    std::map<cell_position, sheet_cell> cells;
    for (const cell_address& at : book.data_cell_addresses()) {
        const std::string where = at.to_text();
        double value = 0;
        std::string text;
        if (book.read_cell(where, value) == 0)
            cells[{at.row, at.column}] = value;
        else if (book.read_cell(where, text) == 0)
            cells[{at.row, at.column}] = text;
    }
    return cells;
}

// The texts of the HTML form's table as Qt's own HTML reader sees them.
std::map<cell_position, std::string> html_cells(const std::string& html) {
    QTextDocument document;
    document.setHtml(QString::fromUtf8(html));
    QTextTable* table = nullptr;
    for (QTextFrame* frame : document.rootFrame()->childFrames())
        if ((table = qobject_cast<QTextTable*>(frame)) != nullptr) break;
    EXPECT_NE(table, nullptr);
    std::map<cell_position, std::string> cells;
    if (table == nullptr) return cells;
    for (int r = 0; r < table->rows(); ++r)
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            QTextCursor cursor = cell.firstCursorPosition();
            cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            const std::string text = cursor.selectedText().toStdString();
            if (!text.empty()) cells[{r, c}] = text;
        }
    return cells;
}

std::map<cell_position, std::string> tab_separated_cells(const std::string& text) {
    std::map<cell_position, std::string> cells;
    std::istringstream lines(text);
    std::string line;
    for (int r = 0; std::getline(lines, line); ++r) {
        EXPECT_TRUE(!line.empty() && line.back() == '\r') << "lines end in CR LF";
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream fields(line);
        std::string field;
        for (int c = 0; std::getline(fields, field, '\t'); ++c)
            if (!field.empty()) cells[{r, c}] = field;
    }
    return cells;
}

// Every cell of the WK1 form is in the other form at the same place: a label
// as the same text, a figure as a text that reads back as the same number.
void expect_same_cells(const std::map<cell_position, sheet_cell>& expected,
                       const std::map<cell_position, std::string>& found) {
    EXPECT_EQ(found.size(), expected.size());
    for (const auto& [at, cell] : expected) {
        SCOPED_TRACE(testing::Message() << "row " << at.first << " column " << at.second);
        const auto text = found.find(at);
        ASSERT_NE(text, found.end());
        if (const double* value = std::get_if<double>(&cell)) {
            char* end = nullptr;
            EXPECT_EQ(std::strtod(text->second.c_str(), &end), *value) << text->second;
            EXPECT_EQ(*end, '\0') << text->second;
        } else {
            EXPECT_EQ(text->second, std::get<std::string>(cell));
        }
    }
}

TEST(ClipboardCopy, HtmlAndTabSeparatedFormsHoldTheCellsOfTheWk1Form) {
    test::desktop d("clipboard-html");
    document_window* frame = d.frame->open_file(test::example("direct_loan.wk1"));
    ASSERT_NE(frame, nullptr);
    d.action(main_window::command::calculate)->trigger();
    for (int display : {1, 2}) {
        SCOPED_TRACE(display);
        const display_page* page = frame->document().page_of(display);
        ASSERT_NE(page, nullptr);
        failing_clipboard clipboard;
        copy_settings settings;
        settings.program_directory = test::program_folder();
        std::vector<std::string> messages;
        ASSERT_TRUE(copy_display_block(*page, page_selection{}, settings, clipboard,
                                       [&](const std::string& text) { messages.push_back(text); }));
        EXPECT_TRUE(messages.empty());
        const auto expected = wk1_cells(clipboard.contents["Wk1"], d.folder.at("copy.wk1"));
        ASSERT_GT(expected.size(), 10u);
        expect_same_cells(expected, html_cells(clipboard.contents["text/html"]));
        expect_same_cells(expected, tab_separated_cells(clipboard.contents["text/tab-separated-values"]));
    }
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
