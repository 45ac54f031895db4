#include "workbook/cell_address.h"

#include <cctype>
#include <climits>

#include "util/ascii.h"
#include "util/text_error.h"

namespace fv {
namespace {

bool is_letter(char c) { return ascii_letter(c); }
int letter_position(char c) { return ascii_upper(c) - 'A'; }

// One or two letters as an index: A..Z are 0..25, AA is 26, IV is 255.
// Returns the number of letters taken, 0 when the first is not a letter.
std::size_t read_letters(std::string_view text, std::size_t at, int& index, bool second_required_unless_colon,
                         const char* failure) {
    if (at >= text.size() || !is_letter(text[at])) throw text_error(failure);
    const int first = letter_position(text[at]);
    if (at + 1 < text.size() && is_letter(text[at + 1])) {
        index = (first + 1) * 26 + letter_position(text[at + 1]);
        return 2;
    }
    if (second_required_unless_colon && (at + 1 >= text.size() || text[at + 1] != ':')) throw text_error(failure);
    index = first;
    return 1;
}

// atoi's reading, saturating instead of overflowing.
long read_integer(std::string_view text, std::size_t at) {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    long value = 0;
    while (at < text.size() && ascii_digit(text[at])) {
        if (value < INT_MAX) value = value * 10 + (text[at] - '0');
        if (value > INT_MAX) value = INT_MAX;
        ++at;
    }
    return negative ? -value : value;
}

}  // namespace

void cell_address::set_from_text(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ') ++at;

    int sheet_index = 0;
    at += read_letters(text, at, sheet_index, true, "cell_coord::set_coord called with an non-alphabetic sheet");
    if (at >= text.size() || text[at] != ':' || sheet_index > 255)
        throw text_error("cell_coord::set_coord called with an invalid sheet");
    ++at;

    int column_index = 0;
    at += read_letters(text, at, column_index, false, "cell_coord::set_coord called with an non-alphabetic column");
    if (column_index > 255) throw text_error("cell_coord::set_coord called with an invalid column");

    // Row numbers 1 to 65536 address the readers' rows; anything else cannot.
    const long row_number = read_integer(text, at);
    if (row_number < 0 || row_number > 65536) throw text_error("cell_coord::set_coord called with an invalid row");

    sheet = static_cast<std::uint8_t>(sheet_index);
    column = static_cast<std::uint8_t>(column_index);
    row = static_cast<std::uint16_t>(row_number - 1);
}

std::string index_letters(unsigned index) {
    std::string letters;
    if (index >= 26) letters += static_cast<char>('A' + index / 26 - 1);
    letters += static_cast<char>('A' + index % 26);
    return letters;
}

std::string cell_address::to_text() const {
    const std::uint16_t row_number = static_cast<std::uint16_t>(row + 1);
    return index_letters(sheet) + ":" + index_letters(column) + std::to_string(row_number);
}

int compare(const cell_address& a, const cell_address& b) {
    if (a.sheet != b.sheet) return a.sheet < b.sheet ? 1 : -1;
    if (a.row != b.row) return a.row < b.row ? 1 : -1;
    if (a.column != b.column) return a.column < b.column ? 1 : -1;
    return 0;
}

}  // namespace fv
