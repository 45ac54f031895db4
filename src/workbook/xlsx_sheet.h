// One worksheet part of an XLSX file: the cells of its sheetData, row by row,
// each decoded into a value as the cached result of its formula where it has
// one. Cells and rows may carry their reference (r) or leave it out, in which
// case they follow the one before.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "workbook/cell_values.h"

namespace fv {

class zip_archive;

struct xlsx_sheet_context {
    cell_values& values;
    const std::vector<cell_values::text_ref>& shared_strings;
    long long null_date;  // of ISO dates (t="d"): 1899-12-30, or 1904-01-01
    // Receives each cell that holds a value: 0-based row and column, value handle.
    std::function<void(std::uint64_t row, std::uint64_t column, std::size_t value)> put;
    std::uint64_t texts_cut = 0;
};

void read_xlsx_sheet(zip_archive& archive, std::string_view part, xlsx_sheet_context& context);

}  // namespace fv
