// Builds Lotus worksheet files byte by byte for the tests: records of any type
// and length (damaged ones too), the WK1, WK3 and 123 cell and range layouts,
// a whole WK1 workbook from a list of cells and named ranges, and temporary
// files that remove themselves.
#pragma once

#include <unistd.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <variant>
#include <vector>

#include "workbook/cell_address.h"

namespace fv::test {

using bytes = std::vector<unsigned char>;

inline void put8(bytes& out, unsigned value) { out.push_back(static_cast<unsigned char>(value)); }
inline void put16(bytes& out, unsigned value) {
    put8(out, value & 0xFF);
    put8(out, (value >> 8) & 0xFF);
}
inline void put_double(bytes& out, double value) {
    const std::size_t at = out.size();
    out.resize(at + 8);
    std::memcpy(out.data() + at, &value, 8);
}
// The text and its NUL.
inline void put_text(bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    put8(out, 0);
}
// A name field of fixed width, NUL-padded.
inline void put_name(bytes& out, const std::string& name, std::size_t width = 16) {
    for (std::size_t i = 0; i < width; ++i) put8(out, i < name.size() ? static_cast<unsigned char>(name[i]) : 0);
}

// Two byte strings one after the other.
inline bytes cat(bytes first, const bytes& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// A sequence of records: type, data length (the real one unless given), data.
class record_writer {
public:
    record_writer& record(unsigned type, const bytes& data) { return record(type, data, data.size()); }
    record_writer& record(unsigned type, const bytes& data, std::size_t stated_length) {
        put16(out_, type);
        put16(out_, static_cast<unsigned>(stated_length));
        out_.insert(out_.end(), data.begin(), data.end());
        return *this;
    }
    record_writer& raw(const bytes& data) {
        out_.insert(out_.end(), data.begin(), data.end());
        return *this;
    }
    const bytes& data() const { return out_; }

private:
    bytes out_;
};

// ---- WK1 layouts ----

namespace wk1 {
enum : unsigned { bof = 0, eof = 1, range = 11, blank = 12, integer = 13, number = 14, label = 15, formula = 16,
                  string_value = 51, range2 = 71 };

// The 5-byte cell header: format byte, column, row.
inline bytes cell(const cell_address& at, unsigned format = 0xFF) {
    bytes out;
    put8(out, format);
    put16(out, at.column);
    put16(out, at.row);
    return out;
}
inline bytes integer_cell(const cell_address& at, std::int16_t value) {
    bytes out = cell(at);
    put16(out, static_cast<std::uint16_t>(value));
    return out;
}
inline bytes number_cell(const cell_address& at, double value) {
    bytes out = cell(at);
    put_double(out, value);
    return out;
}
// A formula whose value is given as its 8 raw bytes (for the special values).
inline bytes formula_cell(const cell_address& at, const bytes& value8) {
    bytes out = cell(at);
    out.insert(out.end(), value8.begin(), value8.end());
    put16(out, 3);  // formula length, then the formula: the constant 1 and its end
    put8(out, 1);
    put8(out, 3);
    put8(out, 0);
    return out;
}
inline bytes formula_cell(const cell_address& at, double value) {
    bytes value8;
    put_double(value8, value);
    return formula_cell(at, value8);
}
inline bytes label_cell(const cell_address& at, const std::string& text, char prefix = '\'') {
    bytes out = cell(at);
    put8(out, static_cast<unsigned char>(prefix));
    put_text(out, text);
    return out;
}
inline bytes string_value_cell(const cell_address& at, const std::string& text) {
    bytes out = cell(at);
    put_text(out, text);
    return out;
}
// Corners 0-based.
inline bytes range_record(const std::string& name, unsigned first_column, unsigned first_row, unsigned last_column,
                          unsigned last_row) {
    bytes out;
    put_name(out, name);
    put16(out, first_column);
    put16(out, first_row);
    put16(out, last_column);
    put16(out, last_row);
    return out;
}
// The beginning-of-file record every WK1 file starts with.
inline record_writer start() {
    record_writer writer;
    writer.record(bof, bytes{0x06, 0x04});
    return writer;
}

// One cell of a workbook built by `workbook`: a number or a label.
struct cell_spec {
    std::string address_text;  // "A:B3"
    std::variant<double, std::string> value;
};
// A named range by its corner coordinates ("A:A1", "A:C9").
struct range_spec {
    std::string name;
    std::string first;
    std::string last;
};

// A WK1 file: the ranges, then the cells in the order given, then end of file.
inline bytes workbook(const std::vector<cell_spec>& cells, const std::vector<range_spec>& ranges = {}) {
    record_writer writer = start();
    for (const auto& range : ranges) {
        const cell_address first(range.first), last(range.last);
        writer.record(wk1::range, range_record(range.name, first.column, first.row, last.column, last.row));
    }
    for (const auto& spec : cells) {
        const cell_address at(spec.address_text);
        if (const double* value = std::get_if<double>(&spec.value))
            writer.record(wk1::number, number_cell(at, *value));
        else
            writer.record(label, label_cell(at, std::get<std::string>(spec.value)));
    }
    writer.record(eof, {});
    return writer.data();
}
}  // namespace wk1

// ---- WK3 and 123 layouts ----

namespace wk3 {
enum : unsigned { bof = 0, eof = 1, range = 9, range_unlisted = 10, error = 20, not_available = 21, label = 22,
                  number = 23, small_number = 24, formula = 25, string_value = 26 };
namespace lotus123 {
enum : unsigned { packed = 37, number = 39, formula = 40 };
}

// The 4-byte cell header: row, sheet, column.
inline bytes cell(const cell_address& at) {
    bytes out;
    put16(out, at.row);
    put8(out, at.sheet);
    put8(out, at.column);
    return out;
}
inline bytes with(bytes out, const bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
    return out;
}
inline bytes label_cell(const cell_address& at, const std::string& text, char prefix = '\'') {
    bytes out = cell(at);
    put8(out, static_cast<unsigned char>(prefix));
    put_text(out, text);
    return out;
}
inline bytes string_value_cell(const cell_address& at, const std::string& text) {
    bytes out = cell(at);
    put_text(out, text);
    return out;
}
// The 10-byte extended real of a value exactly representable in it (all
// doubles are): 64-bit mantissa with its integer bit, then sign and exponent.
inline bytes extended(double value) {
    bytes out;
    std::uint64_t mantissa = 0;
    unsigned sign_exponent = 0;
    if (value != 0) {
        int exponent = 0;
        const double fraction = std::frexp(value < 0 ? -value : value, &exponent);  // [0.5, 1)
        mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
        sign_exponent = static_cast<unsigned>(exponent - 1 + 16383);
    }
    if (std::signbit(value)) sign_exponent |= 0x8000;
    for (int i = 0; i < 8; ++i) put8(out, static_cast<unsigned>((mantissa >> (8 * i)) & 0xFF));
    put16(out, sign_exponent);
    return out;
}
// The special value with the marker byte (0 empty, 192 error, 208 not available, other string).
inline bytes wk3_special(unsigned marker) {
    bytes out(10, 0);
    out[7] = static_cast<unsigned char>(marker);
    out[8] = out[9] = 0xFF;
    return out;
}
inline bytes lotus123_special(unsigned marker) {
    bytes out(8, 0);
    out[5] = static_cast<unsigned char>(marker);
    out[6] = out[7] = 0xFF;
    return out;
}
inline bytes ieee(double value) {
    bytes out;
    put_double(out, value);
    return out;
}
// Corners 0-based: sheet, row, column.
inline bytes range_record(const std::string& name, const cell_address& first, const cell_address& last) {
    bytes out;
    put16(out, 0);
    put_name(out, name);
    put16(out, first.row);
    put8(out, first.sheet);
    put8(out, first.column);
    put16(out, last.row);
    put8(out, last.sheet);
    put8(out, last.column);
    return out;
}
inline record_writer start() {
    record_writer writer;
    writer.record(bof, bytes(26, 0));
    return writer;
}
}  // namespace wk3

// A file in the temporary folder, removed when this goes.
class temp_file {
public:
    temp_file(const bytes& content, const std::string& extension) {
        static std::atomic<unsigned> serial{0};
        path_ = (std::filesystem::temp_directory_path() /
                 ("fv_lotus_" + std::to_string(::getpid()) + "_" + std::to_string(serial++) + "." + extension))
                    .string();
        std::ofstream out(path_, std::ios::binary);
        out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
    }
    ~temp_file() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    temp_file(const temp_file&) = delete;
    temp_file& operator=(const temp_file&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace fv::test
