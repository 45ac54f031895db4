// The workbook front the rest of the program talks to: picks a reader by the
// file's content (a ZIP package of today's formats, an encrypted package) and
// otherwise by its extension, owns it, and adds a cursor that walks one named
// range.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/workbook_reader.h"

namespace fv {

// More cells than any range holds: a cursor move this long stops at the range's edge.
inline constexpr unsigned far_away = 65536;

class workbook_file : public workbook_reader {
public:
    explicit workbook_file(const std::string& file_name);
    // A front over a reader that is already loaded (workbooks made in memory).
    workbook_file(const std::string& file_name, std::unique_ptr<workbook_reader> loaded);

    // Creates the reader for the content or the extension and loads it; reader
    // failures pass through.
    void load() override;

    std::vector<std::string> range_names() override;
    bool find_range(std::string_view name, range_bounds& bounds) override;
    void use_cursor_addressing() override;
    int move_cursor(std::string_view address_text) override;
    int read_cell(std::string_view address_text, std::string& text) override;
    int read_cell(std::string_view address_text, double& number) override;
    int read_current_cell(std::string& text) override;
    int read_current_cell(double& number) override;
    int current_cell_kind() override;
    std::vector<cell_address> data_cell_addresses() const override;
    std::vector<std::string> sheet_names() const override;
    reading_omissions omissions() const override;

    // The reader's format, none before load.
    format_kind reader_kind() const { return reader_ ? reader_->kind() : format_kind::none; }

    // Ranges whose upper-left cell reads as text beginning with "na" (as in "Name").
    std::vector<std::string> candidate_ranges();

    // The range cursor.
    bool select_range(std::string_view name);
    bool cursor_left(unsigned n);
    bool cursor_right(unsigned n);
    bool cursor_up(unsigned n);
    bool cursor_down(unsigned n);
    int read_cursor_cell(double& number);
    int read_cursor_cell(std::string& text);
    int cursor_cell_kind();
    // Every cell of the cursor's row in the range, first column to last, each
    // as cursor_cell_kind and read_cursor_cell read it there; the cursor stays where it is.
    const std::vector<cell_as_number>& read_cursor_row_numbers();
    std::string cursor_address_text() const;

    // inspectors of the current range (0-based)
    bool range_set() const { return range_set_; }
    // The range's last row or column lies before its first; the cursor is kept
    // inside the first row and column, and the parser refuses such a range.
    bool range_inverted() const { return range_inverted_; }
    int first_row() const { return first_row_; }
    int last_row() const { return last_row_; }
    int first_column() const { return first_column_; }
    int last_column() const { return last_column_; }
    int range_sheet() const { return sheet_; }
    int current_row() const { return current_row_; }
    int current_column() const { return current_column_; }

private:
    workbook_reader& loaded_reader(const char* operation) const;
    // Loads the ZIP package at the path with the reader its content names;
    // false when it names none.
    bool load_zip_workbook();
    // Makes a reader of today's formats the handler and loads the file's image into it.
    template <typename reader>
    void load_image(std::vector<unsigned char> image);
    // false when the cursor lies where no cell can be (nothing asked then).
    bool point_reader_at_cursor();

    std::unique_ptr<workbook_reader> reader_;
    std::vector<cell_as_number> row_numbers_;  // the last row read_cursor_row_numbers read
    bool range_set_ = false;
    bool range_inverted_ = false;
    int first_column_ = 0, first_row_ = 0, last_column_ = 0, last_row_ = 0, sheet_ = 0;
    int current_row_ = 0, current_column_ = 0;
};

}  // namespace fv
