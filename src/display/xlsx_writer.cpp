// XLSX cells are collected per sheet and handed to libxlsxwriter at render.
// The library writes only to a named file, so the workbook is made in a
// folder of its own (mode 0700) under the temporary directory, read back and
// removed; the output file itself is then replaced like every other output.
#include "display/xlsx_writer.h"

#include <stdlib.h>
#include <xlsxwriter.h>

#include <filesystem>
#include <memory>
#include <system_error>

#include "util/c_number.h"
#include "util/loaded_library.h"
#include "util/file_io.h"
#include "util/text_error.h"
#include "util/utf8_text.h"

namespace fv {

namespace {

// libxlsxwriter is opened when the first XLSX output is written, not by
// every run.
struct xlsxwriter_functions {
    decltype(&::format_set_align) format_set_align;
    decltype(&::format_set_num_format) format_set_num_format;
    decltype(&::lxw_strerror) lxw_strerror;
    decltype(&::lxw_workbook_free) lxw_workbook_free;
    decltype(&::workbook_add_format) workbook_add_format;
    decltype(&::workbook_add_worksheet) workbook_add_worksheet;
    decltype(&::workbook_close) workbook_close;
    decltype(&::workbook_new_opt) workbook_new_opt;
    decltype(&::worksheet_set_column) worksheet_set_column;
    decltype(&::worksheet_write_number) worksheet_write_number;
    decltype(&::worksheet_write_string) worksheet_write_string;
};

const xlsxwriter_functions& xlsxwriter() {
    static const xlsxwriter_functions library = [] {
        loaded_library opened(FV_XLSXWRITER_SONAME, "write XLSX files");
        xlsxwriter_functions functions{};
        opened.find("format_set_align", functions.format_set_align);
        opened.find("format_set_num_format", functions.format_set_num_format);
        opened.find("lxw_strerror", functions.lxw_strerror);
        opened.find("lxw_workbook_free", functions.lxw_workbook_free);
        opened.find("workbook_add_format", functions.workbook_add_format);
        opened.find("workbook_add_worksheet", functions.workbook_add_worksheet);
        opened.find("workbook_close", functions.workbook_close);
        opened.find("workbook_new_opt", functions.workbook_new_opt);
        opened.find("worksheet_set_column", functions.worksheet_set_column);
        opened.find("worksheet_write_number", functions.worksheet_write_number);
        opened.find("worksheet_write_string", functions.worksheet_write_string);
        opened.require();
        return functions;
    }();
    return library;
}


enum lotus_type : unsigned { column_default_width = 6, column_widths = 7 };

// A private folder that is removed with everything in it.
class private_folder {
public:
    private_folder() {
        std::error_code error;
        std::string pattern = (std::filesystem::temp_directory_path(error) / "fv_xlsx_XXXXXX").string();
        if (!error && ::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
    }
    ~private_folder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    private_folder(const private_folder&) = delete;
    private_folder& operator=(const private_folder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Text as a cell may hold it: valid UTF-8, line breaks as LF, no control
// character XML cannot carry, at most max_label characters.
std::string cell_text(std::string_view text, bool& cut) {
    std::string out;
    out.reserve(text.size());
    std::size_t count = 0;
    cut = false;
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = next_code_point(text, at);
        if (c == '\r') {
            if (at < text.size() && text[at] == '\n') continue;
            c = '\n';
        }
        if (c < 0x20 && c != '\n' && c != '\t') c = ' ';
        if (c == 0xFFFE || c == 0xFFFF) c = replacement_character;
        if (count == xlsx_writer::max_label) {
            cut = true;
            break;
        }
        append_utf8(out, c);
        ++count;
    }
    return out;
}

std::string number_format(int decimals, bool thousands) {
    std::string format = thousands ? "#,##0" : "0";
    if (decimals > 0) format += "." + std::string(static_cast<std::size_t>(decimals > 15 ? 15 : decimals), '0');
    return format;
}

// Column ranges may not overlap: the default width fills the gaps between the
// columns that have their own.
void set_widths(lxw_worksheet* worksheet, const xlsx_writer::sheet_widths& widths) {
    const xlsxwriter_functions& lxw = xlsxwriter();
    unsigned next = 0;
    auto fill_to = [&](unsigned end) {  // exclusive
        if (widths.default_width != 0 && next < end)
            lxw.worksheet_set_column(worksheet, static_cast<lxw_col_t>(next), static_cast<lxw_col_t>(end - 1),
                                 widths.default_width, nullptr);
    };
    for (const auto& [column, width] : widths.columns) {
        fill_to(column);
        lxw.worksheet_set_column(worksheet, static_cast<lxw_col_t>(column), static_cast<lxw_col_t>(column), width, nullptr);
        next = column + 1;
    }
    fill_to(LXW_COL_MAX);
}

}  // namespace

std::map<unsigned, xlsx_writer::sheet_widths> xlsx_writer::template_widths(const std::vector<unsigned char>& t) {
    std::map<unsigned, sheet_widths> widths;
    std::size_t at = 0;
    while (t.size() - at >= 4) {
        const unsigned type = t[at] | (t[at + 1] << 8);
        const std::size_t length = t[at + 2] | (t[at + 3] << 8);
        const std::size_t data = at + 4;
        if (t.size() - data < length) break;
        // Both records open with a cell header: row (2 bytes), sheet, column.
        if (type == column_default_width && length >= 5) {
            widths[t[data + 2]].default_width = t[data + 4];
        } else if (type == column_widths && length >= 4) {
            for (std::size_t pair = data + 4; pair + 2 <= data + length; pair += 2)
                widths[t[data + 2]].columns[t[pair]] = t[pair + 1];
        }
        at = data + length;
    }
    return widths;
}

void xlsx_writer::add_cell(std::variant<label, number> value) {
    if (row_writable(last_xlsx_row))
        sheets_[current_sheet()].cells.push_back({current_row(), current_column(), std::move(value)});
    next_column();
}

void xlsx_writer::add_label(std::string_view text, char prefix) {
    alignment align = alignment::left;
    switch (label_prefix(prefix)) {
        case '"': align = alignment::right; break;
        case '^': align = alignment::centred; break;
        case '\\': align = alignment::fill; break;
        default: break;
    }
    bool cut = false;
    std::string kept = cell_text(text, cut);
    if (cut) note_label_cut();
    add_cell(label{std::move(kept), align});
}

void xlsx_writer::add_number(std::string_view number_text, int decimals, int format_option) {
    std::size_t used = 0;
    add_cell(number{c_strtod(number_text, used), decimals, format_option == 0});
}

void xlsx_writer::add_number(double value, int decimals) { add_cell(number{value, decimals, true}); }

void xlsx_writer::name_sheet(const std::string& name) { sheets_[current_sheet()].name = name; }

std::vector<unsigned char> xlsx_writer::render(const std::string& output_path) {
    const auto template_bytes = read_template(template_path());
    if (!template_bytes) throw text_error("clip_xlsx::render unable to open \"" + template_path() + "\"");
    std::vector<unsigned char> image = make_workbook(template_widths(*template_bytes));
    if (!output_path.empty() && !write_replacing(output_path, image))
        throw text_error("clip_xlsx::render unable to open spreadsheet output file " + output_path);
    set_image_size(image.size());
    return image;
}

std::vector<unsigned char> xlsx_writer::make_workbook(const std::map<unsigned, sheet_widths>& widths) const {
    const xlsxwriter_functions& lxw = xlsxwriter();
    const private_folder folder;
    if (folder.path().empty()) throw text_error("clip_xlsx::render unable to create the workbook: no temporary folder");
    const std::string file = folder.path() + "/output.xlsx";

    lxw_workbook_options options{};
    options.tmpdir = const_cast<char*>(folder.path().c_str());
    lxw_workbook* book = lxw.workbook_new_opt(file.c_str(), &options);
    if (book == nullptr) throw text_error("clip_xlsx::render unable to create the workbook: out of memory");
    // Freed without writing when a cell fails; workbook_close writes and frees.
    struct owner {
        lxw_workbook* book;
        ~owner() {
            if (book != nullptr) xlsxwriter().lxw_workbook_free(book);
        }
    } owned{book};

    std::map<std::pair<int, bool>, lxw_format*> number_formats;
    auto number_format_of = [&](const number& n) {
        lxw_format*& format = number_formats[{n.decimals < 0 ? 0 : n.decimals, n.thousands}];
        if (format == nullptr) {
            format = lxw.workbook_add_format(book);
            lxw.format_set_num_format(format, number_format(n.decimals, n.thousands).c_str());
        }
        return format;
    };
    lxw_format* aligned[4] = {nullptr, lxw.workbook_add_format(book), lxw.workbook_add_format(book), lxw.workbook_add_format(book)};
    lxw.format_set_align(aligned[1], LXW_ALIGN_RIGHT);
    lxw.format_set_align(aligned[2], LXW_ALIGN_CENTER);
    lxw.format_set_align(aligned[3], LXW_ALIGN_FILL);

    std::map<unsigned, sheet> sheets = sheets_;
    if (sheets.empty()) sheets[0];  // a workbook holds at least one worksheet
    for (const auto& [number_of_sheet, content] : sheets) {
        const std::string name =
            content.name.empty() ? "Sheet" + std::to_string(number_of_sheet + 1) : content.name;
        lxw_worksheet* worksheet = lxw.workbook_add_worksheet(book, name.c_str());
        if (worksheet == nullptr) throw text_error("clip_xlsx::render unable to create the workbook: sheet " + name);
        if (const auto found = widths.find(number_of_sheet); found != widths.end()) set_widths(worksheet, found->second);
        for (const cell& c : content.cells) {
            lxw_error written = LXW_NO_ERROR;
            if (const label* l = std::get_if<label>(&c.value)) {
                written = lxw.worksheet_write_string(worksheet, c.row, static_cast<lxw_col_t>(c.column), l->text.c_str(),
                                                 aligned[static_cast<int>(l->align)]);
            } else {
                const number& n = std::get<number>(c.value);
                written = lxw.worksheet_write_number(worksheet, c.row, static_cast<lxw_col_t>(c.column), n.value,
                                                 number_format_of(n));
            }
            if (written != LXW_NO_ERROR)
                throw text_error(std::string("clip_xlsx::render unable to create the workbook: ") +
                                 lxw.lxw_strerror(written));
        }
    }
    owned.book = nullptr;
    const lxw_error closed = lxw.workbook_close(book);
    if (closed != LXW_NO_ERROR)
        throw text_error(std::string("clip_xlsx::render unable to create the workbook: ") + lxw.lxw_strerror(closed));
    auto bytes = read_whole_file(file, SIZE_MAX);
    if (!bytes) throw text_error("clip_xlsx::render unable to create the workbook: it could not be read back");
    return std::move(*bytes);
}

}  // namespace fv
