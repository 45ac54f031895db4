// The content part of an ODS file (content.xml): its tables in order, their
// rows and cells, and the named ranges. Repeated rows and columns cost one
// step each, not one per repetition: a row's cells are gathered once and put
// as often as the row repeats, and only as far as a coordinate can name, so a
// million repeated empty rows cost nothing. Covered cells (under a merged
// cell) take their columns but no value, as in the programs that show them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "workbook/cell_values.h"
#include "workbook/range_reference.h"

namespace fv {

class zip_archive;

// Where the content goes.
struct ods_content_sink {
    cell_values& values;
    std::function<void(std::string name)> add_sheet;
    // A value at 0-based sheet, row and column, and in the `repeat` - 1 columns after it.
    std::function<void(std::uint64_t sheet, std::uint64_t row, std::uint64_t column, std::size_t value,
                       std::uint64_t repeat)>
        put;
    // Cells holding a value that no coordinate names.
    std::function<void(std::uint64_t cells)> beyond_last_row;
    std::function<void(std::uint64_t cells)> beyond_last_column;
    std::function<void(std::string name, std::optional<sheet_range> range)> add_name;
    std::uint64_t texts_cut = 0;
    bool spreadsheet_seen = false;  // the part held office:spreadsheet
};

void read_ods_content(zip_archive& archive, ods_content_sink& sink);

}  // namespace fv
