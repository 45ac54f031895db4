// The logic under the document windows that needs no window: cycling over
// the displays that exist, the clipboard block of a pane selection, the page
// count of a printed view and the recent-file list in the settings.
#include <gtest/gtest.h>

#include <set>

#include <QTextCursor>
#include <QTextDocument>

#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "gui/clipboard_copy.h"
#include "gui/display_view.h"
#include "gui/print_text.h"
#include "gui/recent_file_list.h"
#include "gui/view_print.h"

namespace fv {
namespace {

TEST(DisplayCycle, VisitsOnlyExistingDisplaysInCyclicOrder) {
    const std::set<int> usual = {1, 2, 7};
    auto exists_in = [](const std::set<int>& set) { return [&set](int n) { return set.count(n) != 0; }; };
    struct step {
        int from;
        bool forward;
        int to;
    };
    for (const step& s : {step{1, true, 2}, step{2, true, 7}, step{7, true, 1}, step{1, false, 7},
                          step{7, false, 2}, step{2, false, 1}})
        EXPECT_EQ(cycle_display(s.from, s.forward, exists_in(usual)), s.to) << s.from << (s.forward ? "+" : "-");

    const std::set<int> all = {1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(cycle_display(3, true, exists_in(all)), 4);
    EXPECT_EQ(cycle_display(3, false, exists_in(all)), 2);
    // Nothing selected yet, or nothing else exists: nothing happens.
    EXPECT_EQ(cycle_display(0, true, exists_in(all)), 0);
    const std::set<int> only_one = {4};
    EXPECT_EQ(cycle_display(4, true, exists_in(only_one)), 0);
    EXPECT_EQ(cycle_display(4, false, exists_in(only_one)), 0);
}

TEST(SelectionBlock, LinesAndColumnsOfAPaneSelection) {
    // Six lines of 30 characters and a line break each.
    std::vector<std::size_t> starts;
    for (std::size_t line = 0; line < 6; ++line) starts.push_back(line * 31);
    struct expected {
        const char* what;
        std::size_t start, end;
        unsigned first_line, first_column, last_line, last_column;
    };
    const expected cases[] = {
        // From the 10th character of line 3 to the 20th of line 5.
        {"three lines", starts[2] + 9, starts[4] + 20, 3, 10, 5, 20},
        {"one character", starts[0], starts[0] + 1, 1, 1, 1, 1},
        // A selection that takes the line break ends one past the last column.
        {"with the line break", starts[1] + 4, starts[2], 2, 5, 2, 31},
        {"to the last line", starts[5], starts[5] + 30, 6, 1, 6, 30},
    };
    for (const expected& c : cases) {
        SCOPED_TRACE(c.what);
        const page_selection block = selection_block(starts, c.start, c.end);
        EXPECT_EQ(block.first_line, c.first_line);
        EXPECT_EQ(block.first_column, c.first_column);
        EXPECT_EQ(block.last_line, c.last_line);
        EXPECT_EQ(block.last_column, c.last_column);
    }
    // Nothing selected: the whole display.
    const page_selection whole = selection_block(starts, starts[3] + 2, starts[3] + 2);
    EXPECT_EQ(whole.first_line + whole.first_column + whole.last_line + whole.last_column, 0u);
}

// The pane counts UTF-16 units, the display lines count characters: a
// character beyond the first plane is two units in the pane and one column.
TEST(SelectionBlock, ThePaneSelectionInCharacters) {
    display_view view;
    view.show_display(1, "ab\U0001F600cd\r\nx\u00e9\u6c34z\r\n");
    QTextCursor cursor(view.document());
    cursor.setPosition(4);                                 // "c": after a, b and the two units of the emoji
    cursor.setPosition(11, QTextCursor::KeepAnchor);       // through "z" of the second line
    view.setTextCursor(cursor);
    const page_selection block = view.selection_block();
    EXPECT_EQ(block.first_line, 1u);
    EXPECT_EQ(block.first_column, 4u);
    EXPECT_EQ(block.last_line, 2u);
    EXPECT_EQ(block.last_column, 4u);
    // And back: the same columns select the same units.
    view.select_block(1, 4, 2, 4);
    EXPECT_EQ(view.textCursor().selectionStart(), 4);
    EXPECT_EQ(view.textCursor().selectionEnd(), 11);
}

TEST(ViewPrint, PageCountFromTheLinesAPageHolds) {
    // Portrait 5100 x 6600: line step 66, font height 56, 90 lines a page.
    const page_layout layout = display_page_layout(5100, 6600);
    ASSERT_EQ(layout.line_step, 66);
    ASSERT_EQ(layout.font_height, 56);
    ASSERT_EQ(layout.lines_per_page, 90);
    EXPECT_EQ(view_page_count(120, layout.lines_per_page), 2);
    EXPECT_EQ(view_page_count(90, layout.lines_per_page), 1);
    EXPECT_EQ(view_page_count(91, layout.lines_per_page), 2);
    EXPECT_EQ(view_page_count(0, layout.lines_per_page), 0);
    EXPECT_EQ(view_page_count(5, 0), 5);  // a page too small for the layout still holds one line
}

TEST(RecentFiles, NineNewestFirstInTheSettings) {
    memory_settings_store store;
    store.write_text(settings::recent_file_list, "File1", "/a.wk1");
    store.write_text(settings::recent_file_list, "File2", "");
    store.write_text(settings::recent_file_list, "File3", "/b.xls");
    recent_file_list list(store);
    EXPECT_EQ(list.files(), (std::vector<std::string>{"/a.wk1", "/b.xls"}));

    list.add("/b.xls");  // once, at the top
    EXPECT_EQ(list.files(), (std::vector<std::string>{"/b.xls", "/a.wk1"}));
    for (int n = 1; n <= 10; ++n) list.add("/f" + std::to_string(n) + ".wk3");
    ASSERT_EQ(list.files().size(), 9u);
    EXPECT_EQ(list.files().front(), "/f10.wk3");
    EXPECT_EQ(list.files().back(), "/f2.wk3");
    EXPECT_EQ(store.read_text(settings::recent_file_list, "File1", "?"), "/f10.wk3");
    EXPECT_EQ(store.read_text(settings::recent_file_list, "File9", "?"), "/f2.wk3");

    list.remove("/f5.wk3");
    EXPECT_EQ(list.files().size(), 8u);
    EXPECT_EQ(store.read_text(settings::recent_file_list, "File9", "?"), "");
    EXPECT_EQ(recent_file_list(store).files(), list.files());
}

}  // namespace
}  // namespace fv
