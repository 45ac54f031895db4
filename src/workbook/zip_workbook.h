// What the readers of today's ZIP workbooks (XLSX, ODS) share: the whole file
// read once (at most 100 MB), the archive opened from it, the cells decoded
// into a compact store and indexed by coordinate, the named ranges, the sheet
// names, and what no coordinate can name counted instead of stored. A reader
// only says how to walk its parts. Every failure reaches the caller as the
// user's message naming the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/cell_values.h"
#include "workbook/indexed_workbook.h"
#include "workbook/range_reference.h"

namespace fv {

class zip_archive;

inline constexpr std::size_t largest_zip_workbook_file = 100'000'000;

// "Spreadsheet file <path> is larger than 100 MB."
std::string zip_workbook_too_large_message(const std::string& path);

class zip_workbook : public indexed_workbook {
public:
    static constexpr std::size_t most_cells = 5'000'000;
    static constexpr std::size_t most_names = 100'000;
    static constexpr std::size_t most_sheets = 65'536;  // sheet entries of any kind a workbook lists
    // What a coordinate can name.
    static constexpr std::uint64_t sheet_limit = 256, row_limit = 65'536, column_limit = 256;

    // Reads the file and decodes it.
    void load() override;
    // The same from the bytes of the whole file already in memory.
    void load_image(std::vector<unsigned char> image);

    std::vector<std::string> sheet_names() const override;
    reading_omissions omissions() const override { return omissions_; }

protected:
    // `reader` names the class in the open failure, `format` the kind of file in messages.
    zip_workbook(const std::string& file_name, format_kind kind, std::string reader, std::string format);

    // Walks the parts of the archive, adding sheets, cells and names.
    virtual void read(zip_archive& archive) = 0;

    int cell_text(std::size_t record, std::string& text) const override { return values_.text_of(record, text); }
    int cell_number(std::size_t record, double& number) const override { return values_.number_of(record, number); }
    int cell_kind(std::size_t record) const override { return values_.kind_of(record); }

    cell_values& values() { return values_; }

    // A worksheet in workbook order; it is sheet A, B, ... when a coordinate can name it.
    void add_sheet(std::string name);
    std::size_t sheet_count() const { return sheets_.size(); }

    // Puts the value at 0-based sheet, row and column, and again in each of
    // the `repeat` - 1 columns after it. What lies beyond the columns or rows
    // a coordinate names is counted instead.
    void put(std::uint64_t sheet, std::uint64_t row, std::uint64_t column, std::size_t value,
             std::uint64_t repeat = 1);
    // Cells that hold a value in rows after the last a coordinate names.
    void note_beyond_last_row(std::uint64_t cells) { count(omissions_.cells_beyond_last_row, cells); }
    void note_beyond_last_column(std::uint64_t cells) { count(omissions_.cells_beyond_last_column, cells); }
    void note_texts_cut(std::uint64_t texts) { count(omissions_.texts_cut, texts); }

    // A name in file order. A definition that is no single rectangle on one of
    // the workbook's sheets (`range` empty, or naming an unknown sheet) is
    // listed but never found.
    void add_name(std::string name, std::optional<sheet_range> range);

private:
    struct pending_name {
        std::string name;
        std::optional<sheet_range> range;
    };

    // Adds to a count of what was left out, stopping at the largest count.
    static void count(std::uint64_t& total, std::uint64_t more) {
        total = total > UINT64_MAX - more ? UINT64_MAX : total + more;
    }
    // Finds each name's sheet among the worksheets and adds it to the index.
    void resolve_names();

    std::string reader_;
    std::string format_;
    cell_values values_;
    std::vector<std::string> sheets_;
    std::vector<pending_name> names_;  // until every sheet is known
    std::size_t cell_count_ = 0;
    reading_omissions omissions_;
};

}  // namespace fv
