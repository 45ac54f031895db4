// Cell and range references as today's spreadsheet files write them: the
// cell address of an XLSX cell ("AB12"), the definition of an XLSX defined
// name ("'My Sheet'!$A$1:$P$38") and the address of an ODS named range
// ("$'My Sheet'.$A$1:.$P$38"). Anything that is not one rectangle on one
// sheet reads as nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fv {

// The largest sheet of today's programs: whole columns and rows reach its edges.
inline constexpr std::uint32_t sheet_rows = 1'048'576;
inline constexpr std::uint32_t sheet_columns = 16'384;

// One rectangle on one named sheet, corners 1-based.
struct sheet_range {
    std::string sheet;  // unquoted
    std::uint32_t row1 = 0, column1 = 0, row2 = 0, column2 = 0;
};

// "AB12" (no $, no sheet) as 0-based row and column; false when it is none.
bool parse_cell_address(std::string_view text, std::uint32_t& row, std::uint32_t& column);

// An XLSX defined name's text: Sheet!A1, Sheet!A1:B2, 'Quoted ''name'''!$A$1,
// whole columns Sheet!$A:$C and rows Sheet!$1:$3; a leading = is allowed.
std::optional<sheet_range> parse_defined_name(std::string_view text);

// An ODS cell range address: $Sheet.$A$1:.$B$2, 'Quoted name'.A1:'Quoted name'.B2,
// or a single cell; a corner without a sheet takes the other corner's sheet,
// or `base_sheet` for the first.
std::optional<sheet_range> parse_ods_range_address(std::string_view text, std::string_view base_sheet = {});

// The sheet of an ODS cell address ($Sheet1.$A$1), "" when it has none.
std::string ods_address_sheet(std::string_view text);

}  // namespace fv
