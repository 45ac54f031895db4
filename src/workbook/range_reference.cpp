// Parsing references: letters and digits of a corner, with or without $; a
// sheet name quoted with ' (a doubled '' inside is one quote, and so is the
// \' that gnumeric writes) or plain.
#include "workbook/range_reference.h"

namespace fv {

namespace {

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// One corner: column letters and row digits, each possibly after a $. Either
// part may be missing (a whole row or a whole column), not both. 1-based; 0
// for the missing part.
struct corner {
    std::uint32_t row = 0, column = 0;
};

std::optional<corner> read_corner(std::string_view& text) {
    corner c;
    std::size_t at = 0;
    if (at < text.size() && text[at] == '$') ++at;
    std::size_t letters = 0;
    std::uint32_t column = 0;
    while (at < text.size() && is_letter(text[at])) {
        if (++letters > 3) return std::nullopt;
        column = column * 26 + static_cast<std::uint32_t>((text[at] & 0x1F));
        ++at;
    }
    if (letters > 0) {
        if (column > sheet_columns) return std::nullopt;
        c.column = column;
        if (at < text.size() && text[at] == '$') ++at;
    } else if (at > 0 && (at >= text.size() || !is_digit(text[at]))) {
        return std::nullopt;  // a lone $
    }
    std::size_t digits = 0;
    std::uint32_t row = 0;
    while (at < text.size() && is_digit(text[at])) {
        if (++digits > 7) return std::nullopt;
        row = row * 10 + static_cast<std::uint32_t>(text[at] - '0');
        ++at;
    }
    if (digits > 0) {
        if (row == 0 || row > sheet_rows) return std::nullopt;
        c.row = row;
    }
    if (letters == 0 && digits == 0) return std::nullopt;
    text.remove_prefix(at);
    return c;
}

// A sheet name, quoted or plain up to `end`; the text is left after the name.
std::optional<std::string> read_sheet(std::string_view& text, char end) {
    std::string name;
    if (!text.empty() && text.front() == '\'') {
        std::size_t at = 1;
        for (;;) {
            if (at >= text.size()) return std::nullopt;
            // gnumeric writes \' for a quote in XLSX names; no sheet name holds a backslash.
            if (text[at] == '\\' && at + 1 < text.size() && text[at + 1] == '\'') {
                name += '\'';
                at += 2;
                continue;
            }
            if (text[at] == '\'') {
                if (at + 1 < text.size() && text[at + 1] == '\'') {
                    name += '\'';
                    at += 2;
                    continue;
                }
                ++at;
                break;
            }
            name += text[at++];
        }
        text.remove_prefix(at);
    } else {
        const std::size_t stop = text.find(end);
        if (stop == std::string_view::npos) return std::nullopt;
        name = std::string(text.substr(0, stop));
        if (name.find('\'') != std::string::npos) return std::nullopt;
        text.remove_prefix(stop);
    }
    if (name.empty()) return std::nullopt;
    return name;
}

// Two corners into a rectangle: both cells, both whole columns or both whole rows.
std::optional<sheet_range> rectangle(std::string sheet, corner first, corner last) {
    const bool cells = first.row && first.column && last.row && last.column;
    const bool columns = !first.row && !last.row && first.column && last.column;
    const bool rows = !first.column && !last.column && first.row && last.row;
    if (!cells && !columns && !rows) return std::nullopt;
    sheet_range range{std::move(sheet), first.row, first.column, last.row, last.column};
    if (columns) {
        range.row1 = 1;
        range.row2 = sheet_rows;
    }
    if (rows) {
        range.column1 = 1;
        range.column2 = sheet_columns;
    }
    return range;
}

}  // namespace

bool parse_cell_address(std::string_view text, std::uint32_t& row, std::uint32_t& column) {
    std::uint32_t c = 0, r = 0;
    std::size_t at = 0;
    while (at < text.size() && is_letter(text[at])) {
        if (at == 3) return false;
        c = c * 26 + static_cast<std::uint32_t>(text[at] & 0x1F);
        ++at;
    }
    const std::size_t letters = at;
    while (at < text.size() && is_digit(text[at])) {
        if (at - letters == 7) return false;
        r = r * 10 + static_cast<std::uint32_t>(text[at] - '0');
        ++at;
    }
    if (letters == 0 || at == letters || at != text.size() || r == 0 || c > sheet_columns || r > sheet_rows)
        return false;
    row = r - 1;
    column = c - 1;
    return true;
}

std::optional<sheet_range> parse_defined_name(std::string_view text) {
    if (!text.empty() && text.front() == '=') text.remove_prefix(1);
    auto sheet = read_sheet(text, '!');
    if (!sheet || text.empty() || text.front() != '!') return std::nullopt;
    // A plain name with a colon spans sheets (Sheet1:Sheet3!A1): no one sheet.
    if (sheet->find(':') != std::string::npos) return std::nullopt;
    text.remove_prefix(1);
    const auto first = read_corner(text);
    if (!first) return std::nullopt;
    corner last = *first;
    if (!text.empty() && text.front() == ':') {
        text.remove_prefix(1);
        const auto second = read_corner(text);
        if (!second) return std::nullopt;
        last = *second;
    } else if (!first->row || !first->column) {
        return std::nullopt;  // a whole row or column needs both ends
    }
    if (!text.empty()) return std::nullopt;
    return rectangle(std::move(*sheet), *first, last);
}

namespace {

// "[$][sheet].corner" of an ODS address; the sheet is "" when not written.
std::optional<std::pair<std::string, corner>> read_ods_corner(std::string_view& text) {
    std::string sheet;
    if (!text.empty() && text.front() == '$') text.remove_prefix(1);
    if (!text.empty() && text.front() != '.') {
        auto name = read_sheet(text, '.');
        if (!name) return std::nullopt;
        sheet = std::move(*name);
    }
    if (text.empty() || text.front() != '.') return std::nullopt;
    text.remove_prefix(1);
    const auto at = read_corner(text);
    if (!at) return std::nullopt;
    return std::make_pair(std::move(sheet), *at);
}

}  // namespace

std::optional<sheet_range> parse_ods_range_address(std::string_view text, std::string_view base_sheet) {
    auto first = read_ods_corner(text);
    if (!first) return std::nullopt;
    if (first->first.empty()) first->first = std::string(base_sheet);
    if (first->first.empty()) return std::nullopt;
    corner last = first->second;
    if (!text.empty() && text.front() == ':') {
        text.remove_prefix(1);
        auto second = read_ods_corner(text);
        if (!second) return std::nullopt;
        // The same sheet, whether written again or not (case as ODS compares names).
        if (!second->first.empty() && second->first != first->first) return std::nullopt;
        last = second->second;
    } else if (!first->second.row || !first->second.column) {
        return std::nullopt;
    }
    if (!text.empty()) return std::nullopt;
    return rectangle(std::move(first->first), first->second, last);
}

std::string ods_address_sheet(std::string_view text) {
    const auto corner = read_ods_corner(text);
    return corner ? corner->first : std::string();
}

}  // namespace fv
