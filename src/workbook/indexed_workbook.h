// What every reader shares once it has decoded its file: the named ranges, the
// data-cell index sorted by coordinate, list and cursor addressing, and the
// lookups by coordinate. A reader only says how one of its cells reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/workbook_reader.h"

namespace fv {

class indexed_workbook : public workbook_reader {
public:
    using workbook_reader::workbook_reader;

    std::vector<std::string> range_names() override;
    bool find_range(std::string_view name, range_bounds& bounds) override;

    void use_cursor_addressing() override;
    int move_cursor(std::string_view address_text) override;
    int move_cursor_to(const cell_address& address) override;
    int read_cell(std::string_view address_text, std::string& text) override;
    int read_cell(std::string_view address_text, double& number) override;
    int read_current_cell(std::string& text) override;
    int read_current_cell(double& number) override;
    int current_cell_kind() override;
    // One walk along the row's cells in the index instead of a lookup per cell.
    void read_numbers_in_row(const cell_address& first, int count, cell_as_number* cells) override;

    std::vector<cell_address> data_cell_addresses() const override;

protected:
    // How one indexed cell reads; `record` is the reader's own handle.
    virtual int cell_text(std::size_t record, std::string& text) const = 0;
    virtual int cell_number(std::size_t record, double& number) const = 0;
    virtual int cell_kind(std::size_t record) const = 0;

    // Building the index during load (reserve when the count is known: the
    // index is the largest thing a reader holds besides its file).
    void reserve_cells(std::size_t count) { cells_.reserve(count); }
    void add_data_cell(const cell_address& address, std::size_t record);
    // A range listed by range_names (listed) or only found by find_range.
    void add_range(std::string name, const range_bounds& bounds, bool listed = true);
    // A name listed by range_names that find_range never finds (it names
    // no single range); it hides later ranges of the same name.
    void add_name_without_range(std::string name);
    // Sorts the cells by coordinate (stable: files already in order read as
    // written), so cells a file stores out of order are still found.
    void finish_index();

private:
    // Eight bytes a cell: the index is the largest thing a reader holds.
    struct data_cell {
        std::uint32_t key;     // sheet, row, column: ordered as the coordinates are
        std::uint32_t record;
    };
    static std::uint32_t key_of(const cell_address& address) {
        return (static_cast<std::uint32_t>(address.sheet) << 24) | (static_cast<std::uint32_t>(address.row) << 8) |
               address.column;
    }
    struct named_range {
        std::string name;
        std::optional<range_bounds> bounds;
        bool listed;
    };

    // Index position of the cell at the coordinate, or npos.
    std::size_t find(const cell_address& address) const;
    // The same, searching from where the cursor's last lookup ended.
    std::size_t find_from_last_lookup(const cell_address& address) const;
    // The first index position in [from, to) whose key is not below `key`.
    std::size_t lower_bound(std::uint32_t key, std::size_t from, std::size_t to) const;
    std::size_t current() const;

    std::vector<data_cell> cells_;
    std::size_t first_record_ = 0;  // the current cell under list addressing: first in file order
    std::vector<named_range> ranges_;
    bool cursor_addressing_ = false;
    cell_address cursor_;
    // Where the cursor's cell lies in the index, looked up once per move.
    mutable std::size_t cursor_at_ = 0;
    mutable bool cursor_found_ = false;
    // Where the last cursor lookup's search ended (the lower bound of its key).
    mutable std::size_t last_lookup_ = 0;
};

}  // namespace fv
