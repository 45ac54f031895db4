// The desktop and today's spreadsheet files: the File Open filter offers
// them, they open into windows like the old formats, and the recent-file list
// keeps them and opens them again.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>

#include <filesystem>
#include <string>

#include "desktop_test_support.h"
#include "gui/document_window.h"

namespace fv {
namespace {

using command = main_window::command;
using test::desktop;
using test::example;

TEST(DesktopFormats, TheOpenFilterOffersTodaysFormats) {
    const std::string filter = open_file_filter;
    const std::string first = filter.substr(0, filter.find(";;"));
    for (const char* pattern : {"*.xlsx", "*.xlsm", "*.ods", "*.xls", "*.wk*", "*.123"})
        EXPECT_NE(first.find(pattern), std::string::npos) << pattern << " in " << first;
    EXPECT_NE(filter.find("OpenDocument spreadsheets (*.ods)"), std::string::npos);
    EXPECT_NE(filter.find("Excel files (*.xlsx *.xlsm *.xls)"), std::string::npos);
}

TEST(DesktopFormats, XlsxXlsmAndOdsOpenAndStayInTheRecentFiles) {
    desktop d("formats");
    const std::string xlsm = d.folder.at("book.xlsm");
    std::filesystem::copy_file(example("direct_loan.xlsx"), xlsm);
    d.prompts.files_to_open = {example("loan_guarantee.xlsx"), example("warnings.ods"), xlsm};
    d.action(command::open)->trigger();
    EXPECT_TRUE(d.prompts.messages.empty());
    ASSERT_EQ(d.frame->document_windows().size(), 3u);

    const std::vector<std::string> recent = d.frame->recent_files().files();
    EXPECT_EQ(recent, (std::vector<std::string>{std::filesystem::canonical(xlsm).string(),
                                                std::filesystem::canonical(example("warnings.ods")).string(),
                                                std::filesystem::canonical(example("loan_guarantee.xlsx")).string()}));

    // Closed, and opened again from the list.
    for (std::size_t i = 0; i < 3; ++i) d.action(command::close)->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(d.frame->document_windows().empty());
    QAction* entry = nullptr;
    for (QAction* item : d.frame->recent_menu()->actions())
        if (item->text().endsWith(QStringLiteral("warnings.ods"))) entry = item;
    ASSERT_NE(entry, nullptr);
    entry->trigger();
    EXPECT_EQ(d.frame->document_windows().size(), 1u);
    EXPECT_TRUE(d.prompts.messages.empty());
}

}  // namespace
}  // namespace fv
