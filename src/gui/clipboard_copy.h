// Copying a block of a display to the clipboard in several forms at once: WK3
// and WK1 worksheet data (formats "Wk3" and "Wk1") for spreadsheets, and plain
// text, an HTML table and tab-separated text unless the user asked for
// spreadsheet formats only. Every failure has
// its own message; a writer that fails leaves the other forms on the clipboard.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "display/display_page.h"

namespace fv {

// The block a pane selection covers. `line_starts` holds the position of
// each line's first character in the pane (ascending, the first 0); `start`
// is the first selected character and `end` is just past the last. Lines and
// columns count from 1. An empty selection takes the whole display.
page_selection selection_block(const std::vector<std::size_t>& line_starts, std::size_t start, std::size_t end);

// The selected block of a page as plain text, each line ending in CR LF.
std::string block_text(const display_page& page, const page_selection& block);

// The clipboard as a copy sees it. A copy opens it, empties it, puts the
// formats one by one and closes it again.
class clipboard_target {
public:
    enum class put_result { placed, no_memory, refused };

    virtual ~clipboard_target() = default;
    virtual bool open() = 0;
    virtual bool empty() = 0;
    virtual bool register_format(const std::string& name) = 0;
    // `format` "" is plain text.
    virtual put_result put(const std::string& format, const std::vector<unsigned char>& data) = 0;
    virtual void close() = 0;
};

// The system clipboard: the formats are gathered and handed over together
// when the copy closes it.
class system_clipboard : public clipboard_target {
public:
    system_clipboard();
    ~system_clipboard() override;
    bool open() override;
    bool empty() override;
    bool register_format(const std::string& name) override;
    put_result put(const std::string& format, const std::vector<unsigned char>& data) override;
    void close() override;

private:
    std::vector<std::pair<std::string, std::vector<unsigned char>>> formats_;
    bool open_ = false;
};

// One rendering to place: format "" is plain text; when the clipboard refuses
// it the message says the copy was unable to `refused_what`.
struct clipboard_item {
    std::string format;
    std::vector<unsigned char> data;
    const char* refused_what = "set clipboard data";
};

// Opens and empties the clipboard and places the items in order, stopping at
// the first that fails; closes it at the end. Every message begins with
// `copier`, the technical name the copy's messages have always had.
bool place_on_clipboard(clipboard_target& clipboard, const std::vector<clipboard_item>& items, const std::string& copier,
                        const std::function<void(const std::string&)>& message);

// What a copy needs to know besides the page and the block.
struct copy_settings {
    std::string program_directory;  // holds the templates 1.bin and 3.bin
    bool spreadsheet_formats_only = false;  // `do_wk_only`
};

// The two forms of the same cells that today's spreadsheet programs paste.
inline constexpr const char* html_format = "text/html";
inline constexpr const char* tab_separated_format = "text/tab-separated-values";

// Copies the block to the clipboard in the formats "Wk3", "Wk1" and text, then
// (unless spreadsheet formats only are asked for) as an HTML table and as
// tab-separated text.
// Returns true when the copy reached its end.
bool copy_display_block(const display_page& page, const page_selection& block, const copy_settings& settings,
                        clipboard_target& clipboard, const std::function<void(const std::string&)>& message);

}  // namespace fv
