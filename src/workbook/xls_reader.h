// The reader of Excel workbooks of version 5 and 8: the record stream
// "Workbook" (or "Book") of a compound document, holding a globals substream
// and one substream per sheet. Cells, the shared string table and the named
// ranges are decoded from that stream; the stream is kept whole and cells are
// read from it only when asked for.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/indexed_workbook.h"

namespace fv {

class xls_reader : public indexed_workbook {
public:
    explicit xls_reader(const std::string& file_name);

    // Reads the file, takes its workbook stream and decodes it.
    void load() override;
    // The same from the bytes of a whole file already in memory.
    void load_image(std::vector<unsigned char> image);
    // The same from a workbook stream already taken out of its container.
    void load_stream(std::vector<unsigned char> stream);

    std::vector<std::string> range_names() override;
    bool find_range(std::string_view name, range_bounds& bounds) override;

    // 5 or 8 once loaded, 0 before.
    int version() const { return version_; }

protected:
    int cell_text(std::size_t record, std::string& text) const override;
    int cell_number(std::size_t record, double& number) const override;
    int cell_kind(std::size_t record) const override;

private:
    enum class cell_type : unsigned char { number, rk, bool_or_error, formula, label, shared_label };
    static constexpr std::size_t none = static_cast<std::size_t>(-1);

    struct cell_record {
        cell_type type;
        std::size_t data;    // offset of the record's data in the stream; for RK cells, of the RK value
        std::size_t length;  // length of that data
        std::size_t string_data = none;  // a string-result formula: its string record's data
        std::size_t string_length = 0;
    };
    struct segment {
        std::size_t data;
        std::size_t length;
    };
    struct name_entry {
        std::string name;
        std::optional<range_bounds> bounds;  // nothing: listed but never found
    };
    struct sheet_entry {
        unsigned type;  // 0 worksheet (or dialog), 1 macro, 2 chart, 6 module
    };

    void walk();
    void add_cell(cell_type type, std::size_t data, std::size_t length, unsigned row, unsigned column, int sheet);
    void decode_names(const std::vector<segment>& names, std::optional<segment> extern_sheets,
                      const std::vector<bool>& internal_books);
    std::optional<range_bounds> decode_definition(std::size_t at, std::size_t end,
                                                  std::optional<segment> extern_sheets,
                                                  const std::vector<bool>& internal_books) const;
    std::optional<int> worksheet_number(unsigned position) const;
    // `count` characters at `at` (cut at `end`) as UTF-8: version 8 text is
    // UTF-16, 16-bit or with only its low bytes stored; version 5 text is in
    // the code page.
    std::string characters(std::size_t at, std::size_t end, std::size_t count, bool wide) const;
    std::string cell_string(std::size_t data, std::size_t length, std::size_t count_at) const;
    const std::string& shared_string(unsigned long index) const;
    void decode_shared_strings() const;

    unsigned u8(std::size_t at) const { return stream_[at]; }
    unsigned u16(std::size_t at) const { return stream_[at] | (stream_[at + 1] << 8); }
    unsigned long u32(std::size_t at) const {
        return static_cast<unsigned long>(u16(at)) | (static_cast<unsigned long>(u16(at + 2)) << 16);
    }
    double ieee_double(std::size_t at) const;
    double rk_value(std::size_t at) const;

    std::vector<unsigned char> stream_;
    int version_ = 0;
    // Version 5 text is in the workbook's code page; without one it is Windows Latin 1.
    unsigned code_page_ = 1252;
    std::vector<cell_record> cells_;
    std::vector<sheet_entry> sheets_;
    std::vector<name_entry> names_;
    std::vector<segment> string_table_;  // the shared string table and its continuations

    // Decoded on first use.
    mutable bool strings_decoded_ = false;
    mutable std::vector<std::string> strings_;
    mutable unsigned long string_count_ = 0;
    mutable bool string_count_known_ = false;
    mutable std::string strings_failure_;  // why decoding stopped early, "" when it did not
};

}  // namespace fv
