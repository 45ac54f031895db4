// A cell address (sheet, row, column, all 0-based) with its text form A:B12,
// and the row-major ordering the readers' cell lookup depends on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fv {

struct cell_address {
    std::uint8_t sheet = 0;
    std::uint16_t row = 0;
    std::uint8_t column = 0;
    std::int32_t is_cell = 0;  // 1 on a stored record that carries a cell address

    cell_address() = default;
    cell_address(std::uint8_t sheet_index, std::uint16_t row_index, std::uint8_t column_index)
        : sheet(sheet_index), row(row_index), column(column_index) {}
    explicit cell_address(std::string_view text) { set_from_text(text); }

    // Parses "A:B12" (blanks before it allowed, letters in either case); throws
    // text_error and leaves the fields unchanged when the text is not a coordinate.
    void set_from_text(std::string_view text);

    // "A:B12"; row index 65535 prints as row 0 (the row number is kept in 16 bits).
    std::string to_text() const;
};

// +1 when a comes before b, 0 when equal, -1 when a comes after b: sheet, then
// row, then column.
int compare(const cell_address& a, const cell_address& b);

inline bool operator==(const cell_address& a, const cell_address& b) { return compare(a, b) == 0; }
inline bool precedes(const cell_address& a, const cell_address& b) { return compare(a, b) > 0; }

// Letters of a sheet or column index: A..Z, then AA..IV.
std::string index_letters(unsigned index);

}  // namespace fv
