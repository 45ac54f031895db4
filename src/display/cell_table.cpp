#include "display/cell_table.h"

#include <charconv>

#include "util/c_number.h"

namespace fv {

namespace {

// A tab or line break inside a label would split its cell.
std::string one_cell(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return out;
}

std::string html_escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

}  // namespace

void cell_table::add(cell content) {
    row& current = rows_.back();
    if (current.size() <= column_) current.resize(column_ + 1);
    current[column_] = std::move(content);
    ++column_;
}

void cell_table::add_label(std::string_view text, char) { add({one_cell(text), false}); }

void cell_table::add_number(std::string_view number_text, int, int) {
    std::size_t used = 0;
    const double value = c_strtod(number_text, used);
    char digits[32];
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    add({std::string(digits, written.ptr), true});
}

void cell_table::next_row() {
    rows_.emplace_back();
    column_ = 0;
}

std::string cell_table::html() const {
    std::string out = "<html><head><meta charset=\"utf-8\"></head><body><table>\n";
    for (std::size_t r = 0; r + 1 < rows_.size(); ++r) {  // the last row is the one after the last line
        out += "<tr>";
        for (const cell& c : rows_[r]) {
            // Labels are marked as text so that a spreadsheet keeps "2001" or "-" as
            // written, and keep their blanks, which HTML would otherwise fold.
            out += c.number || c.text.empty() ? "<td>" : "<td style=\"white-space:pre;mso-number-format:'\\@'\">";
            out += html_escaped(c.text);
            out += "</td>";
        }
        out += "</tr>\n";
    }
    out += "</table></body></html>\n";
    return out;
}

std::string cell_table::tab_separated() const {
    std::string out;
    for (std::size_t r = 0; r + 1 < rows_.size(); ++r) {
        for (std::size_t c = 0; c < rows_[r].size(); ++c) {
            if (c > 0) out += '\t';
            out += rows_[r][c].text;
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace fv
