// The main window on the offscreen platform: opening examples, calculating,
// the display commands and their enabled states, cycling, copying a block in
// three formats (read back through our own readers), printing a view into a
// PDF file (read back with pdftotext), the recent-file list, the range
// choice, and what a failure leaves behind.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QProgressDialog>
#include <QUrl>

#include <filesystem>
#include <fstream>

#include "app/settings_keys.h"
#include "desktop_test_support.h"
#include "gui/document_window.h"
#include "gui/clipboard_copy.h"
#include "gui/desktop.h"
#include "gui/print_text.h"
#include "gui/view_print.h"
#include "gui/window_host.h"
#include "workbook/workbook_file.h"
#include "workbook/lotus_writer.h"

namespace fv {
namespace {

using command = main_window::command;
using test::desktop;
using test::example;


void write_file(const std::string& path, const QByteArray& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.constData(), bytes.size());
}

// The pane line that starts with `prefix`, 1-based; 0 when none does.
int line_starting(const std::string& text, const std::string& prefix) {
    const std::vector<std::string> lines = print_lines(text);
    for (std::size_t n = 0; n < lines.size(); ++n)
        if (lines[n].rfind(prefix, 0) == 0) return static_cast<int>(n + 1);
    return 0;
}

std::vector<std::string> words_of(const std::string& line) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while ((at = line.find_first_not_of(' ', at)) != std::string::npos) {
        const std::size_t end = line.find(' ', at);
        words.push_back(line.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end;
    }
    return words;
}

// Runs of blanks as one blank: a PDF reader spaces words its own way.
std::string squeeze(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out.push_back(c);
    }
    return out;
}

std::string rtrim(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::vector<bool> enabled_displays(const desktop& d) {
    std::vector<bool> enabled;
    for (int n = 0; n < 7; ++n)
        enabled.push_back(d.action(static_cast<command>(static_cast<int>(command::display1) + n))->isEnabled());
    return enabled;
}

TEST(Desktop, OpensCalculatesSwitchesAndCyclesDisplays) {
    desktop d("displays");
    EXPECT_EQ(d.frame->windowTitle().toStdString(), "Ferravane (1999 Version)");
    EXPECT_EQ(d.frame->status_text().toStdString(), "Ready");
    EXPECT_FALSE(d.action(command::calculate)->isEnabled());

    document_window* frame = d.frame->open_file(example("direct_loan.wk1"));
    ASSERT_NE(frame, nullptr) << (d.prompts.messages.empty() ? "" : d.prompts.messages.front());
    ASSERT_TRUE(d.prompts.messages.empty()) << d.prompts.messages.front();
    const std::string path = frame->document().path();
    EXPECT_EQ(d.frame->document_windows().size(), 1u);
    EXPECT_EQ(d.frame->active_document_window(), frame);
    EXPECT_EQ(d.frame->status_text().toStdString(), path + ":  Done");
    // Without automatic calculation and without messages the source data show.
    EXPECT_EQ(frame->view()->current_display(), 1);
    EXPECT_EQ(frame->view()->shown_text(), *frame->document().display_text(1));
    EXPECT_TRUE(frame->view()->isReadOnly());
    EXPECT_EQ(enabled_displays(d), (std::vector<bool>{true, false, false, false, false, false, true}));

    d.action(command::calculate)->trigger();
    EXPECT_TRUE(d.prompts.messages.empty());
    EXPECT_EQ(frame->view()->current_display(), 2);
    EXPECT_NE(frame->view()->shown_text().find("Budget forecast rates, Budget 2001"), std::string::npos);
    EXPECT_EQ(enabled_displays(d), (std::vector<bool>{true, true, false, false, false, false, true}));

    // A disabled display command does nothing.
    d.action(command::display3)->trigger();
    EXPECT_EQ(frame->view()->current_display(), 2);
    d.action(command::display7)->trigger();
    EXPECT_EQ(frame->view()->current_display(), 7);
    EXPECT_EQ(frame->view()->shown_text(), *frame->document().display_text(7));

    // Only 1, 2 and 7 exist: next runs 7, 1, 2, 7; previous 7, 2, 1, 7.
    std::vector<int> forward, backward;
    for (int i = 0; i < 3; ++i) {
        d.action(command::next_display)->trigger();
        forward.push_back(frame->view()->current_display());
    }
    for (int i = 0; i < 3; ++i) {
        d.action(command::previous_display)->trigger();
        backward.push_back(frame->view()->current_display());
    }
    EXPECT_EQ(forward, (std::vector<int>{1, 2, 7}));
    EXPECT_EQ(backward, (std::vector<int>{2, 1, 7}));

    // With every display kept for viewing all seven can be shown.
    d.set(settings::online_view_options, 0x3C);
    d.action(command::calculate)->trigger();
    EXPECT_EQ(enabled_displays(d), std::vector<bool>(7, true));
    d.action(command::display5)->trigger();
    EXPECT_EQ(frame->view()->current_display(), 5);
    d.action(command::next_display)->trigger();
    EXPECT_EQ(frame->view()->current_display(), 6);
}

TEST(Desktop, CopiesTheSelectedBlockInThreeFormats) {
    desktop d("copy");
    document_window* frame = d.frame->open_file(example("direct_loan.wk1"));
    ASSERT_NE(frame, nullptr);
    d.action(command::calculate)->trigger();
    ASSERT_EQ(frame->view()->current_display(), 2);

    const std::string shown = frame->view()->shown_text();
    const int first = line_starting(shown, "  2001");
    const int last = line_starting(shown, "  2003");
    ASSERT_GT(first, 0);
    ASSERT_EQ(last, first + 2);
    const std::vector<std::string> lines = print_lines(shown);
    frame->view()->select_block(first, 1, last, static_cast<int>(lines[last - 1].size()));
    const page_selection block = frame->view()->selection_block();
    EXPECT_EQ(block.first_line, static_cast<unsigned>(first));
    EXPECT_EQ(block.last_line, static_cast<unsigned>(last));

    d.action(command::copy)->trigger();
    ASSERT_TRUE(d.prompts.messages.empty()) << d.prompts.messages.front();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    ASSERT_TRUE(data->hasFormat(QStringLiteral("Wk3")));
    ASSERT_TRUE(data->hasFormat(QStringLiteral("Wk1")));
    ASSERT_TRUE(data->hasText());
    EXPECT_TRUE(data->hasHtml());
    EXPECT_TRUE(data->hasFormat(QString::fromLatin1(tab_separated_format)));

    std::string expected_text;
    for (int n = first; n <= last; ++n) expected_text += rtrim(lines[n - 1]) + "\r\n";
    EXPECT_EQ(data->text().toStdString(), expected_text);

    // Both spreadsheet forms read back through our readers hold the same cells:
    // numbers where the display has numbers, labels elsewhere.
    for (const char* format : {"Wk1", "Wk3"}) {
        SCOPED_TRACE(format);
        const std::string extension = std::string(format) == "Wk1" ? ".wk1" : ".wk3";
        const std::string file = d.folder.at(std::string("clipboard") + extension);
        write_file(file, data->data(QString::fromLatin1(format)));
        workbook_file book(file);
        ASSERT_NO_THROW(book.load());
        for (int row = 0; row < 3; ++row) {
            const std::vector<std::string> words = words_of(lines[first - 1 + row]);
            ASSERT_EQ(words.size(), 8u);
            for (std::size_t column = 0; column < words.size(); ++column) {
                const std::string address_text =
                    std::string("A:") + static_cast<char>('A' + column) + std::to_string(row + 1);
                double number = 0;
                std::string text;
                if (words[column] == "(C)") {
                    EXPECT_EQ(book.read_cell(address_text, text), 0) << address_text;
                    EXPECT_EQ(text, "(C)") << address_text;
                } else {
                    EXPECT_EQ(book.read_cell(address_text, number), 0) << address_text;
                    EXPECT_DOUBLE_EQ(number, std::strtod(words[column].c_str(), nullptr)) << address_text;
                }
            }
        }
    }

    // Spreadsheet formats only: no text on the clipboard.
    d.set(settings::do_wk_only, 1);
    d.action(command::copy)->trigger();
    data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasFormat(QStringLiteral("Wk3")));
    EXPECT_TRUE(data->hasFormat(QStringLiteral("Wk1")));
    EXPECT_FALSE(data->hasText());
    EXPECT_FALSE(data->hasHtml());
}

TEST(Desktop, PrintsTheShownDisplayWithPageFooters) {
    if (!test::have_tool("pdftotext")) GTEST_SKIP() << "poppler-utils' pdftotext is not installed";
    desktop d("print");
    const std::string pdf = d.folder.at("printed.pdf");
    test::scoped_env target(print_pdf_variable, pdf.c_str());
    // The present value factors make a display of several pages.
    d.set(settings::online_view_options, 0x04);
    document_window* frame = d.frame->open_file(example("direct_loan.wk1"));
    ASSERT_NE(frame, nullptr);
    d.action(command::calculate)->trigger();
    d.action(command::display3)->trigger();
    ASSERT_EQ(frame->view()->current_display(), 3);
    const std::vector<std::string> lines = frame->view()->lines();
    // US Letter at 1200 dpi holds 90 lines a page.
    const int pages = view_page_count(static_cast<int>(lines.size()), 90);
    ASSERT_GE(pages, 2);

    d.action(command::print)->trigger();
    ASSERT_TRUE(d.prompts.messages.empty()) << d.prompts.messages.front();
    EXPECT_EQ(d.prompts.print_dialogs, 0);  // a PDF target needs no dialog
    const std::string written = d.folder.at("printed-view.pdf");
    ASSERT_TRUE(std::filesystem::exists(written));
    std::string text;
    ASSERT_TRUE(test::run_command("pdftotext -layout '" + written + "' -", text));
    for (int page = 1; page <= pages; ++page) {
        const std::string footer = "page " + std::to_string(page) + " of " + std::to_string(pages);
        EXPECT_NE(text.find(footer), std::string::npos) << footer;
    }
    EXPECT_EQ(text.find("page " + std::to_string(pages + 1) + " of"), std::string::npos);
    EXPECT_NE(text.find("Rural Water Facility Loans"), std::string::npos);
    EXPECT_NE(text.find("Display type"), std::string::npos);
    // Page 1 ends with line 90 and page 2 begins with line 91 (pages are
    // separated by form feeds in pdftotext's output).
    const std::size_t page_break = text.find('\f');
    ASSERT_NE(page_break, std::string::npos);
    const std::string first_page = squeeze(text.substr(0, page_break));
    const std::string second_page =
        squeeze(text.substr(page_break + 1, text.find('\f', page_break + 1) - page_break - 1));
    EXPECT_NE(first_page.find(squeeze(rtrim(lines[89]))), std::string::npos) << lines[89];
    EXPECT_NE(second_page.find(squeeze(rtrim(lines[90]))), std::string::npos) << lines[90];
    EXPECT_EQ(second_page.find(squeeze(rtrim(lines[0]))), std::string::npos);
}

TEST(Desktop, PrintDialogIsToldThePageCountAndCancelPrintsNothing) {
    desktop d("print-dialog");
    test::scoped_env no_pdf(print_pdf_variable, nullptr);
    document_window* frame = d.frame->open_file(example("loan_guarantee.wk1"));
    ASSERT_NE(frame, nullptr);
    d.prompts.print_answer = false;
    d.action(command::print)->trigger();
    EXPECT_EQ(d.prompts.print_dialogs, 1);
    EXPECT_GE(d.prompts.told_pages, 1);
    EXPECT_TRUE(d.prompts.messages.empty());
}

TEST(Desktop, AFileAlreadyOpenBringsItsWindowForward) {
    desktop d("twice");
    document_window* first = d.frame->open_file(example("direct_loan.wk1"));
    document_window* second = d.frame->open_file(example("loan_guarantee.wk1"));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(d.frame->active_document_window(), second);
    // Another spelling of the same file.
    document_window* again = d.frame->open_file(std::string(FV_SOURCE_DIR) + "/examples/../examples/direct_loan.wk1");
    EXPECT_EQ(again, first);
    EXPECT_EQ(d.frame->document_windows().size(), 2u);
    EXPECT_EQ(d.frame->active_document_window(), first);

    // File, Open of several files at once.
    d.prompts.files_to_open = {example("warnings.wk1"), example("loan_guarantee.wk1")};
    d.action(command::open)->trigger();
    EXPECT_EQ(d.frame->document_windows().size(), 3u);
    EXPECT_EQ(d.frame->active_document_window(), second);

    // Closing a window tells who keeps something per document.
    std::vector<const document*> closed;
    d.frame->set_document_closed([&](const document* document) { closed.push_back(document); });
    const document* first_document = &first->document();
    d.frame->mdi_area()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
    d.action(command::close)->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(d.frame->document_windows().size(), 2u);
    EXPECT_EQ(closed, std::vector<const document*>{first_document});
}

TEST(Desktop, AFailedOpenShowsItsMessageAndLeavesNoWindow) {
    desktop d("damaged");
    const std::string damaged = d.folder.at("damaged.wk1");
    write_file(damaged, QByteArray("\x00\x00\x02\x00\x06", 5));
    EXPECT_EQ(d.frame->open_file(damaged), nullptr);
    ASSERT_EQ(d.prompts.messages.size(), 1u);
    EXPECT_EQ(d.prompts.messages[0].rfind(
                  "The spreadsheet file may be damaged or not in the format indicated by the extension", 0),
              0u);
    EXPECT_TRUE(d.frame->document_windows().empty());
    EXPECT_TRUE(d.frame->mdi_area()->subWindowList().isEmpty());
    EXPECT_EQ(d.frame->status_text().toStdString(), "Ready");
    EXPECT_TRUE(d.frame->recent_files().files().empty());
    EXPECT_FALSE(d.action(command::calculate)->isEnabled());

    // A file that does not exist is no different, and the program goes on.
    EXPECT_EQ(d.frame->open_file(d.folder.at("absent.xls")), nullptr);
    EXPECT_EQ(d.prompts.messages.size(), 2u);
    EXPECT_NE(d.frame->open_file(example("direct_loan.xls")), nullptr);
    EXPECT_EQ(d.frame->document_windows().size(), 1u);
}

TEST(Desktop, TheRangeIsAskedForAndCancelLeavesNothing) {
    desktop d("range");
    std::vector<test::wk1::cell_spec> cells = {
        {"A:A1", std::string("Name")}, {"A:B1", std::string("Two ranges")},
        {"A:A2", std::string("Program type")}, {"A:B2", std::string("direct")},
        {"A:A3", std::string("Budget year")}, {"A:B3", 2001.0},
        {"A:A4", std::string("Obligations")},
        {"A:A5", std::string("Disbursements")}, {"A:B5", 100.0},
        {"A:A6", std::string("Principal pmts, scheduled")}, {"A:B6", 60.0}, {"A:C6", 40.0},
        {"A:A7", std::string("Interest pmts, scheduled")}, {"A:B7", 5.0}, {"A:C7", 2.0},
    };
    const test::bytes bytes = test::wk1::workbook(cells, {{"Zeta", "A:A1", "A:H7"}, {"Beta", "A:A1", "A:H7"}});
    const std::string file = d.folder.at("two ranges.wk1");
    write_file(file, QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));

    d.prompts.range_answer.reset();
    EXPECT_EQ(d.frame->open_file(file), nullptr);
    EXPECT_EQ(d.prompts.range_questions, 1);
    EXPECT_EQ(d.prompts.range_candidates, (std::vector<std::string>{"Beta", "Zeta"}));
    EXPECT_TRUE(d.prompts.messages.empty());
    EXPECT_TRUE(d.frame->document_windows().empty());

    d.prompts.range_answer = "Zeta";
    document_window* frame = d.frame->open_file(file);
    ASSERT_NE(frame, nullptr) << (d.prompts.messages.empty() ? "" : d.prompts.messages.front());
    EXPECT_EQ(frame->document().range_name(), "Zeta");

    // Reload chooses the range again; a file gone meanwhile closes the window.
    d.prompts.range_answer = "Beta";
    d.action(command::reload)->trigger();
    EXPECT_EQ(d.prompts.range_questions, 3);
    EXPECT_EQ(frame->document().range_name(), "Beta");
    EXPECT_EQ(frame->view()->current_display(), 1);
    std::filesystem::remove(file);
    d.action(command::reload)->trigger();
    EXPECT_EQ(d.prompts.messages.size(), 1u);
    EXPECT_TRUE(d.frame->document_windows().empty());
}

TEST(Desktop, AFailedCalculationShowsTheMessagesNotAnOldSubsidy) {
    desktop d("failed-calc");
    document_window* frame = d.frame->open_file(example("direct_loan.wk1"));
    ASSERT_NE(frame, nullptr);
    d.action(command::calculate)->trigger();
    ASSERT_EQ(frame->view()->current_display(), 2);

    // Spreadsheet output asked for with no file name: the calculation stops.
    d.set(settings::online_spreadsheet_options, 0x02);
    d.action(command::calculate)->trigger();
    ASSERT_EQ(d.prompts.messages.size(), 1u);
    EXPECT_EQ(d.prompts.messages[0], "Options call for spreadsheet output, but no filename provided");
    EXPECT_TRUE(frame->document().calculation_failed());
    EXPECT_EQ(frame->view()->current_display(), 7);
    EXPECT_EQ(frame->view()->shown_text(), *frame->document().display_text(7));
    EXPECT_FALSE(d.action(command::display2)->isEnabled());

    // Put right, the next calculation shows the subsidy again.
    d.set(settings::online_spreadsheet_options, 0);
    d.action(command::calculate)->trigger();
    EXPECT_EQ(frame->view()->current_display(), 2);
    EXPECT_TRUE(d.action(command::display2)->isEnabled());
}

TEST(Desktop, MenusToolbarAndRecentFiles) {
    desktop d("menus");
    std::vector<std::string> toolbar;
    for (QAction* item : d.frame->toolbar_actions()) toolbar.push_back(item->iconText().toStdString());
    EXPECT_EQ(toolbar, (std::vector<std::string>{"Open", "Cut", "Copy", "Paste", "Print", "Help", "1", "2", "3",
                                                 "4", "5", "6", "7", "Calc", "Reload", "Charts"}));
    for (command which : {command::cut, command::paste, command::help_topics})
        EXPECT_FALSE(d.action(which)->isEnabled());
    EXPECT_EQ(d.action(command::display4)->text().toStdString(), "&4  Disbursement period data");
    EXPECT_EQ(d.action(command::display4)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_4));
    EXPECT_EQ(d.action(command::next_display)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    EXPECT_EQ(d.action(command::previous_display)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    EXPECT_EQ(d.action(command::copy)->shortcuts().size(), 2);

    ASSERT_NE(d.frame->open_file(example("direct_loan.wk1")), nullptr);
    ASSERT_NE(d.frame->open_file(example("warnings.wk3")), nullptr);
    const std::vector<std::string> recent = d.frame->recent_files().files();
    ASSERT_EQ(recent.size(), 2u);
    EXPECT_EQ(recent[0], std::filesystem::canonical(example("warnings.wk3")).string());
    EXPECT_EQ(d.store->read_text(settings::recent_file_list, "File2", ""),
              std::filesystem::canonical(example("direct_loan.wk1")).string());
    std::vector<std::string> entries;
    for (QAction* item : d.frame->recent_menu()->actions())
        if (item->text().startsWith(QLatin1Char('&')) && item->text().size() > 2 && item->text()[1].isDigit())
            entries.push_back(item->text().toStdString());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], "&1 " + recent[0]);

    // A recent file that has gone away is reported and leaves the list.
    const std::string copy = d.folder.at("copy.wk1");
    std::filesystem::copy_file(example("direct_loan.wk1"), copy);
    document_window* copied = d.frame->open_file(copy);
    ASSERT_NE(copied, nullptr);
    d.action(command::close)->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::filesystem::remove(copy);
    QAction* gone = nullptr;
    for (QAction* item : d.frame->recent_menu()->actions())
        if (item->text().endsWith(QStringLiteral("copy.wk1"))) gone = item;
    ASSERT_NE(gone, nullptr);
    gone->trigger();
    EXPECT_EQ(d.prompts.messages.size(), 1u);
    EXPECT_EQ(d.frame->recent_files().files(), recent);

    // The list lives on in the settings for the next start.
    main_window next(*d.store, test::program_folder(), nullptr, d.prompts, *d.dialogs);
    EXPECT_EQ(next.recent_files().files(), recent);
}

TEST(Desktop, OpenWordsAndDroppedFilesOpenWindows) {
    // The command line: the desktop program with files, or a batch run.
    using files = std::vector<std::string>;
    EXPECT_EQ(desktop_files({}), files{});
    EXPECT_EQ(desktop_files({"--open"}), files{});
    EXPECT_EQ(desktop_files({"--open", "a.wk1", "b b.xlsx"}), (files{"a.wk1", "b b.xlsx"}));
    EXPECT_EQ(desktop_files({"a.wk1"}), std::nullopt);  // still the batch run's "range missing"
    EXPECT_EQ(desktop_files({"print", "a.wk1", "R"}), std::nullopt);

    // Two files, two windows.
    desktop d("open-and-drop");
    d.frame->open_files({example("direct_loan.wk1"), example("warnings.wk3")});
    EXPECT_EQ(d.frame->document_windows().size(), 2u);

    // A drop of local files opens them; a drop of a web address is refused.
    QMimeData web;
    web.setUrls({QUrl(QStringLiteral("https://example.org/program.wk1"))});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(d.frame.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());

    QMimeData dropped;
    dropped.setUrls({QUrl::fromLocalFile(QString::fromStdString(example("loan_guarantee.xlsx")))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(d.frame.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(d.frame.get(), &drop);
    ASSERT_EQ(d.frame->document_windows().size(), 3u);
    EXPECT_TRUE(d.prompts.messages.empty());
    EXPECT_TRUE(d.frame->active_document_window()->title().contains(QStringLiteral("loan_guarantee.xlsx")));

    // Every toolbar button keeps its short text as its tooltip, icon or not.
    for (QAction* item : d.frame->toolbar_actions()) EXPECT_EQ(item->toolTip(), item->iconText());
}

}  // namespace
}  // namespace fv

namespace fv {
namespace {

// The desktop's watcher of a calculation: the status bar counts the cohorts,
// and the dialog's Cancel stops the calculation.
TEST(CalculationWatcher, CountsCohortsAndCancels) {
    test::scripted_prompts prompts;
    memory_settings_store store;
    QWidget window;
    std::vector<std::string> statuses;
    window_host host(prompts, store, &window, nullptr, [&](const std::string& text) { statuses.push_back(text); });
    const cohort_progress watch = host.calculation_progress();
    ASSERT_TRUE(watch);
    EXPECT_TRUE(watch(0, 280));
    EXPECT_TRUE(watch(12, 280));
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.back(), ":  Calculating subsidy, cohort 12 of 280");
    auto* dialog = window.findChild<QProgressDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->maximum(), 280);
    EXPECT_EQ(dialog->value(), 12);
    dialog->cancel();
    EXPECT_FALSE(watch(13, 280));
}

}  // namespace
}  // namespace fv
