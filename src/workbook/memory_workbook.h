// A workbook whose cells and named ranges are set in code rather than read
// from a file. Tests and fuzz targets build small spreadsheets with it and read
// them through workbook_file exactly as a file's workbook is read.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>

#include "workbook/workbook_file.h"
#include "workbook/indexed_workbook.h"

namespace fv {

class memory_workbook : public indexed_workbook {
public:
    // The name need not exist on disk; it is only reported as the file name.
    explicit memory_workbook(const std::string& file_name = "memory.wk1", format_kind kind = format_kind::wk1);

    // Cells by 0-based sheet, row and column. Setting a cell again replaces it.
    void set_number(int sheet, int row, int column, double value);
    void set_label(int sheet, int row, int column, std::string text);
    void set_error(int sheet, int row, int column);          // an error value (ERR)
    void set_not_available(int sheet, int row, int column);  // a not-available value (NA)
    void set_empty_result(int sheet, int row, int column);   // a formula with an empty result
    void set_blank(int sheet, int row, int column);          // no data cell at all

    // A named range, 1-based corners as find_range delivers them. Ranges
    // are found in the order they were added.
    void add_named_range(std::string name, const range_bounds& bounds, bool listed = true);

    // Indexes the cells set so far; cells set afterwards are not seen.
    void load() override;

protected:
    int cell_text(std::size_t record, std::string& text) const override;
    int cell_number(std::size_t record, double& number) const override;
    int cell_kind(std::size_t record) const override;

private:
    enum class content { number, label, error, not_available, empty_result };
    struct memory_cell {
        content what = content::number;
        double number = 0.0;
        std::string text;
    };
    using cell_key = std::tuple<int, int, int>;

    void put(int sheet, int row, int column, memory_cell cell);

    std::map<cell_key, memory_cell> cells_;
    std::map<std::size_t, const memory_cell*> by_record_;
    bool loaded_ = false;
};

// Loads the workbook and puts a workbook_file front over it.
std::unique_ptr<workbook_file> open_memory_workbook(std::unique_ptr<memory_workbook> book);

}  // namespace fv
