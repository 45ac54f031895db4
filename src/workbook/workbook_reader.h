// The format-neutral workbook interface: what the rest of the program may ask
// of a spreadsheet file. Workbooks are read-only; of the full interface only
// the operations below are ever called, so only they are declared.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/cell_address.h"

namespace fv {

enum class format_kind : int { none = 0, lotus123 = 1, wk4 = 2, wk3 = 3, wk1 = 4, xls = 5, xlsx = 6, ods = 7 };

// Result codes of read_cell.
enum content_result : int {
    content_delivered = 0,      // the text or number was delivered
    content_no_cell = 1,        // no data cell at that coordinate
    content_error_value = 2,    // the cell holds an error value
    content_not_available = 3,  // the cell holds a not-available value
    content_is_text = 4,        // a number was asked for and the cell holds text
    content_is_number = 5,      // a text was asked for and the cell holds a number
    content_empty_result = 6,   // an empty formula result
    content_not_read = 7,       // the record holds no value the reader reads
};

// Cell kinds of current_cell_kind and move_cursor.
enum cell_kind : int { kind_none = 0, kind_number = 1, kind_text = 2, kind_other = 3 };

// One cell read as a number: its kind and, for a number, whether it read and its value.
struct cell_as_number {
    int kind = kind_none;
    bool read = false;
    double value = 0.0;
};

// What a reader left out of its cells: what no coordinate can name (sheets
// after the 256th, rows after 65,536, columns after IV) and texts cut to the
// longest a cell keeps. Counts of sheets and of cells holding a value.
struct reading_omissions {
    std::uint64_t sheets = 0;
    std::uint64_t cells_beyond_last_row = 0;
    std::uint64_t cells_beyond_last_column = 0;
    std::uint64_t texts_cut = 0;
};

// A named range's corners, 1-based as find_range delivers them.
struct range_bounds {
    int sheet1 = 0, row1 = 0, column1 = 0;
    int sheet2 = 0, row2 = 0, column2 = 0;
};

class workbook_reader {
public:
    // Resolves the name to a full path and reads the file's date; neither
    // failing is an error here (load reports it).
    explicit workbook_reader(const std::string& file_name);
    virtual ~workbook_reader() = default;
    workbook_reader(const workbook_reader&) = delete;
    workbook_reader& operator=(const workbook_reader&) = delete;

    // inspectors
    const std::string& file_name() const { return path_; }  // "" when absent
    const std::string& file_date() const { return file_date_; }
    format_kind kind() const { return kind_; }

    // Reads and indexes the whole file; every failure is thrown as text_error.
    virtual void load() = 0;

    // Names of the listed ranges in file order.
    virtual std::vector<std::string> range_names() = 0;
    // Case-insensitive lookup, first match in file order; false when not found.
    virtual bool find_range(std::string_view name, range_bounds& bounds) = 0;

    // Switches to cursor addressing for good.
    virtual void use_cursor_addressing() = 0;
    // Moves the cursor to the coordinate text and returns the kind of the cell there.
    virtual int move_cursor(std::string_view address_text) = 0;
    // The same for a coordinate already parsed (the range cursor's way).
    virtual int move_cursor_to(const cell_address& address) { return move_cursor(address.to_text()); }

    virtual int read_cell(std::string_view address_text, std::string& text) = 0;
    virtual int read_cell(std::string_view address_text, double& number) = 0;
    virtual int read_current_cell(std::string& text) = 0;
    virtual int read_current_cell(double& number) = 0;
    virtual int current_cell_kind() = 0;
    // The `count` cells of a row from `first` on (columns within IV), each as
    // move_cursor_to and read_current_cell read it; switches to cursor
    // addressing, and leaves the cursor anywhere.
    virtual void read_numbers_in_row(const cell_address& first, int count, cell_as_number* cells);

    // Every data cell the reader indexed, in index order (for the dump tool).
    virtual std::vector<cell_address> data_cell_addresses() const = 0;

    // The names of the sheets A, B, ... where the format names its sheets.
    virtual std::vector<std::string> sheet_names() const { return {}; }
    // What the reader could not take in (for the dump tool).
    virtual reading_omissions omissions() const { return {}; }

protected:
    void set_kind(format_kind kind) { kind_ = kind; }

private:
    std::string path_;
    std::string file_date_;
    format_kind kind_ = format_kind::none;
};

// Full path of a file name through realpath-like resolution, "" when it fails
// or the name is empty. A name whose file does not exist yet keeps its folder
// resolved and its own last component.
std::string full_path(const std::string& file_name);

}  // namespace fv
