// What the three Lotus readers (WK1, WK3/WK4, 123) share: the record framing
// (type and length, little-endian, then the data), the 2048-byte record limit,
// the 12,000,000-byte file limit, and a base that keeps the whole file in one
// buffer with a small table of where each record lies in it. A reader only
// says which records it indexes, how one of its cells reads, and which Lotus
// character set its texts are in (they are delivered as UTF-8).
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/indexed_workbook.h"

namespace fv {

// Cell values are copied straight into doubles.
static_assert(std::endian::native == std::endian::little, "the Lotus readers assume a little-endian host");

struct lotus_record {
    std::uint32_t data;    // offset of the record's data in the file
    std::uint16_t type;
    std::uint16_t length;  // of the data
};

class lotus_reader : public indexed_workbook {
public:
    static constexpr std::size_t max_record_length = 2048;

    // Reads the whole file and decodes it (load_bytes).
    void load() override;
    // The same from the bytes of a whole file already in memory. Called once.
    void load_bytes(std::vector<unsigned char> image);

    // Records read, in file order (the end-of-file record included).
    std::size_t record_count() const { return records_.size(); }
    const lotus_record& record(std::size_t at) const { return records_[at]; }

protected:
    // reader: "wk1_file"; walk: the operation that walks the records, "load_wk1";
    // first_length: the data length the beginning-of-file record must have.
    lotus_reader(const std::string& file_name, format_kind kind, const char* reader, const char* walk,
                   unsigned first_length);

    // The bytes of a stored text as UTF-8.
    virtual std::string decode_text(std::string_view bytes) const = 0;

    // Checks that a record the reader uses holds the fields it reads, and adds
    // its cells and ranges to the index. Called once per record in file order.
    virtual void index_record(std::size_t at) = 0;
    // Whether index_record adds a record of this type as a data cell (to size the index).
    virtual bool is_data_cell(unsigned type) const = 0;

    // A failure of the record walk: "<reader>::<walk>:  defective input file (<what>)".
    [[noreturn]] void defective(const std::string& what) const;
    // A record too short for its fields, or a text without its NUL.
    [[noreturn]] void short_record(std::size_t at, const char* what) const;

    const unsigned char* data(std::size_t at) const { return image_.data() + records_[at].data; }
    unsigned u8(std::size_t at, std::size_t offset) const { return data(at)[offset]; }
    unsigned u16(std::size_t at, std::size_t offset) const {
        return static_cast<unsigned>(data(at)[offset]) | (static_cast<unsigned>(data(at)[offset + 1]) << 8);
    }
    // Whether the record holds a NUL at or after `from`: its text ends inside it.
    bool text_ends_inside(std::size_t at, std::size_t from) const;
    // The NUL-terminated text at `from` as UTF-8 (text_ends_inside checked at load).
    std::string text_at(std::size_t at, std::size_t from) const;
    // The record after `at` in file order is of `type` and has the same cell
    // address (the address bytes [address_from, address_to) are equal).
    bool next_is(std::size_t at, unsigned type, std::size_t address_from, std::size_t address_to) const;

    // Reads the range name record of the WK3/123 layout (types 9 and 10).
    void add_wk3_range(std::size_t at, bool listed);

    const char* reader_;

private:
    const char* walk_;
    unsigned first_length_;
    std::vector<unsigned char> image_;
    std::vector<lotus_record> records_;
};

}  // namespace fv
