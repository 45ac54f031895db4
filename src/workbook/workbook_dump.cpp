// The dump of a workbook: one line per fact, fields separated by tabs, in a
// fixed order, so users can see why a spreadsheet is not read as they expect
// and tests can compare it with what another program reads.
#include "workbook/workbook_dump.h"

#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

namespace fv {

const char* format_kind_name(format_kind kind) {
    switch (kind) {
        case format_kind::lotus123:
            return "123";
        case format_kind::wk4:
            return "wk4";
        case format_kind::wk3:
            return "wk3";
        case format_kind::wk1:
            return "wk1";
        case format_kind::xls:
            return "xls";
        case format_kind::xlsx:
            return "xlsx";
        case format_kind::ods:
            return "ods";
        case format_kind::none:
        default:
            return "none";
    }
}

std::string dump_escape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "\\x%02X", byte);
                    out += hex;
                } else {
                    out += c;
                }
        }
    }
    return out;
}

std::string dump_number(double number) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", number);
    return text;
}

namespace {

// "A:B2..A:H40", or "-" when a corner lies outside what a coordinate can name.
std::string range_text(const range_bounds& b) {
    auto fits = [](int sheet, int row, int column) {
        return sheet >= 1 && sheet <= 256 && row >= 1 && row <= 65536 && column >= 1 && column <= 256;
    };
    if (!fits(b.sheet1, b.row1, b.column1) || !fits(b.sheet2, b.row2, b.column2)) return "-";
    auto corner = [](int sheet, int row, int column) {
        return cell_address(static_cast<std::uint8_t>(sheet - 1), static_cast<std::uint16_t>(row - 1),
                          static_cast<std::uint8_t>(column - 1))
            .to_text();
    };
    return corner(b.sheet1, b.row1, b.column1) + ".." + corner(b.sheet2, b.row2, b.column2);
}

}  // namespace

void dump_workbook(workbook_file& book, std::ostream& out) {
    const format_kind kind = book.reader_kind();
    out << "format\t" << static_cast<int>(kind) << '\t' << format_kind_name(kind) << '\n';
    out << "file\t" << dump_escape(book.file_name()) << '\n';
    out << "date\t" << book.file_date() << '\n';
    const std::vector<std::string> sheets = book.sheet_names();
    for (std::size_t at = 0; at < sheets.size(); ++at)
        out << "sheet\t" << index_letters(static_cast<unsigned>(at)) << '\t' << dump_escape(sheets[at]) << '\n';
    const reading_omissions left_out = book.omissions();
    const std::pair<const char*, std::uint64_t> omitted[] = {
        {"sheets", left_out.sheets},
        {"cells-beyond-row-65536", left_out.cells_beyond_last_row},
        {"cells-beyond-column-IV", left_out.cells_beyond_last_column},
        {"texts-cut", left_out.texts_cut},
    };
    for (const auto& [what, count] : omitted)
        if (count > 0) out << "omitted\t" << what << '\t' << count << '\n';
    for (const std::string& name : book.range_names()) {
        range_bounds b;
        out << "range\t" << dump_escape(name);
        if (book.find_range(name, b)) {
            out << '\t' << b.sheet1 << '\t' << b.row1 << '\t' << b.column1 << '\t' << b.sheet2 << '\t' << b.row2
                << '\t' << b.column2 << '\t' << range_text(b) << '\n';
        } else {
            out << "\t-\n";
        }
    }
    for (const std::string& name : book.candidate_ranges()) out << "candidate\t" << dump_escape(name) << '\n';

    book.use_cursor_addressing();
    const std::vector<cell_address> addresses = book.data_cell_addresses();
    for (std::size_t at = 0; at < addresses.size(); ++at) {
        // Two records at one address (a formula and its string) read as one cell.
        if (at > 0 && compare(addresses[at - 1], addresses[at]) == 0) continue;
        const cell_address& address = addresses[at];
        const std::string address_text = address.to_text();
        const int cell_kind = book.move_cursor(address_text);
        std::string text;
        double number = 0;
        const int text_code = book.read_cell(address_text, text);
        const int number_code = book.read_cell(address_text, number);
        out << "cell\t" << address_text << '\t' << cell_kind << '\t' << text_code << '\t'
            << (text_code == content_delivered ? dump_escape(text) : std::string()) << '\t' << number_code << '\t'
            << (number_code == content_delivered ? dump_number(number) : std::string()) << '\n';
    }
}

}  // namespace fv
