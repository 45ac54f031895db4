// The clipboard copy of a display block: the block from the pane selection,
// the three renderings, and their placing in a fixed order with a message for
// each way it can fail.
#include "gui/clipboard_copy.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QString>

#include <algorithm>
#include <exception>
#include <memory>
#include <new>
#include <optional>

#include "display/cell_table.h"
#include "display/wk1_writer.h"
#include "display/wk3_writer.h"
#include "util/text_error.h"

namespace fv {

namespace {

std::string writer_failure(const char* format, const std::string& technical) {
    return std::string("Unable to create clipboard information in \"") + format +
           "\" format.\nOne or more files in the root directory for this program may be corrupted\nIt may be "
           "necessary to reinstall this program\n\nTechnical message: " +
           technical;
}

// The technical text of a failure: its own text, or what the library says.
template <class Work>
bool attempt(Work work, std::string& technical) {
    try {
        work();
        return true;
    } catch (const text_error& failure) {
        technical = failure.text();
    } catch (const std::exception& failure) {
        technical = failure.what();
    }
    return false;
}

template <class Writer>
std::optional<std::vector<unsigned char>> sheet_bytes(const display_page& page, const page_selection& block,
                                                      const std::string& template_path, const char* format,
                                                      const std::function<void(const std::string&)>& message) {
    std::vector<unsigned char> bytes;
    std::string notice;
    std::string technical;
    const bool made = attempt(
        [&] {
            Writer writer(template_path);
            page.write_to(writer, block);
            bytes = writer.render();
            notice = writer.cut_notice();
        },
        technical);
    if (!made) {
        message(writer_failure(format, technical));
        return std::nullopt;
    }
    if (!notice.empty()) message(notice);
    return bytes;
}

std::size_t line_of(const std::vector<std::size_t>& line_starts, std::size_t position) {
    const auto after = std::upper_bound(line_starts.begin(), line_starts.end(), position);
    return after == line_starts.begin() ? 0 : static_cast<std::size_t>(after - line_starts.begin()) - 1;
}

}  // namespace

page_selection selection_block(const std::vector<std::size_t>& line_starts, std::size_t start, std::size_t end) {
    if (end <= start || line_starts.empty()) return {};
    const std::size_t first = line_of(line_starts, start);
    const std::size_t last = line_of(line_starts, end - 1);
    page_selection block;
    block.first_line = static_cast<unsigned>(first + 1);
    block.first_column = static_cast<unsigned>(start - line_starts[first] + 1);
    block.last_line = static_cast<unsigned>(last + 1);
    block.last_column = static_cast<unsigned>(end - 1 - line_starts[last] + 1);
    return block;
}

std::string block_text(const display_page& page, const page_selection& block) {
    std::string text;
    for (const selected_line& part : page.select(block)) {
        if (part.first_field <= part.last_field) text += part.line->compose(part.first_field, part.last_field);
        text += "\r\n";
    }
    return text;
}

system_clipboard::system_clipboard() = default;
system_clipboard::~system_clipboard() = default;

bool system_clipboard::open() {
    open_ = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr &&
            QGuiApplication::clipboard() != nullptr;
    formats_.clear();
    return open_;
}

bool system_clipboard::empty() {
    if (!open_) return false;
    QGuiApplication::clipboard()->clear();
    return true;
}

bool system_clipboard::register_format(const std::string& name) { return open_ && !name.empty(); }

clipboard_target::put_result system_clipboard::put(const std::string& format, const std::vector<unsigned char>& data) {
    if (!open_) return put_result::refused;
    try {
        formats_.emplace_back(format, data);
    } catch (const std::bad_alloc&) {
        return put_result::no_memory;
    }
    return put_result::placed;
}

void system_clipboard::close() {
    if (!open_) return;
    open_ = false;
    if (formats_.empty()) return;
    auto data = std::make_unique<QMimeData>();
    for (const auto& [format, bytes] : formats_) {
        const QByteArray content(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
        if (format.empty())
            data->setText(QString::fromUtf8(content));
        else
            data->setData(QString::fromStdString(format), content);
    }
    formats_.clear();
    QGuiApplication::clipboard()->setMimeData(data.release());  // the clipboard takes it over
}

bool copy_display_block(const display_page& page, const page_selection& block, const copy_settings& settings,
                        clipboard_target& clipboard, const std::function<void(const std::string&)>& message) {
    const std::optional<std::vector<unsigned char>> wk3 =
        sheet_bytes<wk3_writer>(page, block, settings.program_directory + "3.bin", "wk3", message);
    const std::optional<std::vector<unsigned char>> wk1 =
        sheet_bytes<wk1_writer>(page, block, settings.program_directory + "1.bin", "wk1", message);

    std::optional<std::vector<unsigned char>> text;
    std::string technical;
    if (!attempt(
            [&] {
                const std::string rendered = block_text(page, block);
                text.emplace(rendered.begin(), rendered.end());
            },
            technical)) {
        text.reset();
        message(writer_failure("txt", technical));
    }

    // The same cells for today's spreadsheet programs, which paste HTML tables
    // and tab-separated text as cells.
    std::optional<std::vector<unsigned char>> html;
    std::optional<std::vector<unsigned char>> tab_separated;
    if (!attempt(
            [&] {
                cell_table table;
                page.write_to(table, block);
                const std::string table_html = table.html();
                const std::string table_text = table.tab_separated();
                html.emplace(table_html.begin(), table_html.end());
                tab_separated.emplace(table_text.begin(), table_text.end());
            },
            technical)) {
        html.reset();
        tab_separated.reset();
        message(writer_failure("html", technical));
    }

    std::vector<clipboard_item> items;
    if (wk3) items.push_back({"Wk3", *wk3, "set wk3 clipboard data"});
    if (wk1) items.push_back({"Wk1", *wk1});
    if (!settings.spreadsheet_formats_only) {
        if (text) items.push_back({"", *text});
        if (html) items.push_back({html_format, *html});
        if (tab_separated) items.push_back({tab_separated_format, *tab_separated});
    }
    return place_on_clipboard(clipboard, items, "CKdmView::DoClipboard", message);
}

bool place_on_clipboard(clipboard_target& clipboard, const std::vector<clipboard_item>& items, const std::string& copier,
                        const std::function<void(const std::string&)>& message) {
    const auto say = [&](const std::string& what) { message(copier + " was unable to " + what); };
    if (!clipboard.open()) {
        say("open the clipboard");
        return false;
    }
    struct closer {
        clipboard_target& target;
        ~closer() { target.close(); }
    } close_at_end{clipboard};
    if (!clipboard.empty()) say("empty the clipboard");

    for (const clipboard_item& item : items) {
        if (!item.format.empty() && !clipboard.register_format(item.format)) {
            say("register \"" + item.format + "\" format");
            return false;
        }
        switch (clipboard.put(item.format, item.data)) {
        case clipboard_target::put_result::placed:
            continue;
        case clipboard_target::put_result::no_memory:
            say("allocate global memory");
            return false;
        case clipboard_target::put_result::refused:
            say(item.refused_what);
            return false;
        }
    }
    return true;
}

}  // namespace fv
