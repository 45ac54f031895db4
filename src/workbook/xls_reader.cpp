// Decoding the records of an Excel workbook stream into the shared cell index
// and named ranges. The stream is walked once at load; every field is read
// only after checking that it lies inside its record, so a damaged stream
// ends in a message or in cells that are not there, never in a read outside.
#include "workbook/xls_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "util/ascii.h"
#include "util/code_page.h"
#include "util/text_error.h"
#include "util/utf8_text.h"
#include "workbook/compound_document.h"
#include "workbook/file_image.h"

namespace fv {

namespace {

// Record types of the stream.
constexpr unsigned rec_bof_v2 = 0x0009, rec_bof_v3 = 0x0209, rec_bof_v4 = 0x0409, rec_bof = 0x0809;
constexpr unsigned rec_eof = 0x000A;
constexpr unsigned rec_formula = 0x0006;
constexpr unsigned rec_rich_string = 0x00D6;
constexpr unsigned rec_shared_label = 0x00FD;
constexpr unsigned rec_number = 0x0203;
constexpr unsigned rec_label = 0x0204;
constexpr unsigned rec_bool_error = 0x0205;
constexpr unsigned rec_string = 0x0207;
constexpr unsigned rec_rk = 0x027E;
constexpr unsigned rec_multiple_rk = 0x00BD;
constexpr unsigned rec_shared_strings = 0x00FC;
constexpr unsigned rec_continue = 0x003C;
constexpr unsigned rec_name = 0x0018;
constexpr unsigned rec_extern_sheet = 0x0017;
constexpr unsigned rec_bound_sheet = 0x0085;
constexpr unsigned rec_supporting_book = 0x01AE;
constexpr unsigned rec_code_page = 0x0042;

constexpr unsigned substream_worksheet = 0x0010;

bool is_bof(unsigned type) {
    return type == rec_bof || type == rec_bof_v2 || type == rec_bof_v3 || type == rec_bof_v4;
}

std::string unknown_format(const std::string& path) {
    return "Spreadsheet file " + path + " is in an unknown format.";
}

// Reads the shared string table across its continuation records.
class string_table_reader {
public:
    string_table_reader(const std::vector<unsigned char>& stream, const std::vector<std::pair<std::size_t, std::size_t>>& segments)
        : stream_(stream), segments_(segments) {}

    bool read_byte(unsigned& value) {
        while (at_ >= segments_[segment_].second)
            if (!next_segment()) return false;
        value = stream_[segments_[segment_].first + at_++];
        return true;
    }
    bool read_u16(unsigned& value) {
        unsigned low, high;
        if (!read_byte(low) || !read_byte(high)) return false;
        value = low | (high << 8);
        return true;
    }
    bool read_u32(unsigned long& value) {
        unsigned low, high;
        if (!read_u16(low) || !read_u16(high)) return false;
        value = low | (static_cast<unsigned long>(high) << 16);
        return true;
    }
    bool skip(unsigned long count) {
        while (count > 0) {
            const std::size_t left = segments_[segment_].second - at_;
            if (left == 0) {
                if (!next_segment()) return false;
                continue;
            }
            const std::size_t step = count < left ? static_cast<std::size_t>(count) : left;
            at_ += step;
            count -= step;
        }
        return true;
    }
    // Characters of one string as UTF-8. Where they run on into a
    // continuation record, its first byte gives the width of the rest; a
    // surrogate pair split by the continuation is joined again.
    bool read_characters(unsigned count, bool wide, std::string& text) {
        std::u16string units;
        units.reserve(count);
        while (count > 0) {
            const std::size_t width = wide ? 2 : 1;
            const std::size_t left = segments_[segment_].second - at_;
            std::size_t take = left / width;
            if (take == 0) {
                if (left != 0 || !next_segment()) return false;
                if (segments_[segment_].second == 0) return false;
                wide = (stream_[segments_[segment_].first] & 1) != 0;
                at_ = 1;
                continue;
            }
            if (take > count) take = count;
            const unsigned char* p = stream_.data() + segments_[segment_].first + at_;
            for (std::size_t i = 0; i < take; ++i)
                units.push_back(wide ? static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8)) : p[i]);
            at_ += take * width;
            count -= static_cast<unsigned>(take);
        }
        text = utf16_to_utf8(units);
        return true;
    }

private:
    bool next_segment() {
        if (segment_ + 1 >= segments_.size()) return false;
        ++segment_;
        at_ = 0;
        return true;
    }

    const std::vector<unsigned char>& stream_;
    const std::vector<std::pair<std::size_t, std::size_t>>& segments_;
    std::size_t segment_ = 0;
    std::size_t at_ = 0;
};

}  // namespace

xls_reader::xls_reader(const std::string& file_name) : indexed_workbook(file_name) { set_kind(format_kind::xls); }

void xls_reader::load() {
    load_image(read_spreadsheet_file(file_name(), "xls_file::load unable to open " + file_name()));
}

void xls_reader::load_image(std::vector<unsigned char> image) {
    if (image.size() > largest_spreadsheet_file) throw text_error(too_large_message(file_name()));
    auto stream = compound_stream(image, {"Workbook", "Book"});
    image.clear();
    image.shrink_to_fit();
    if (!stream || stream->empty()) throw text_error(unknown_format(file_name()));
    load_stream(std::move(*stream));
}

void xls_reader::load_stream(std::vector<unsigned char> stream) {
    stream_ = std::move(stream);
    // The stream must open with a beginning-of-file record of version 5 or 8.
    if (stream_.size() < 6 || (stream_[0] != 0x09) || u16(2) < 2) throw text_error(unknown_format(file_name()));
    switch (stream_[5]) {
        case 5: version_ = 5; break;
        case 6: version_ = 8; break;
        default: throw text_error(unknown_format(file_name()));
    }
    walk();
    finish_index();
}

void xls_reader::add_cell(cell_type type, std::size_t data, std::size_t length, unsigned row, unsigned column,
                        int sheet) {
    // Columns beyond IV cannot be addressed; they must not alias column A.
    if (column > 255 || sheet < 0 || sheet > 255) return;
    cell_address address(static_cast<std::uint8_t>(sheet), static_cast<std::uint16_t>(row),
                       static_cast<std::uint8_t>(column));
    address.is_cell = 1;
    cells_.push_back({type, data, length});
    add_data_cell(address, cells_.size() - 1);
}

void xls_reader::walk() {
    const std::size_t longest = version_ == 5 ? 2084 : 8228;
    std::vector<segment> name_records;
    std::optional<segment> extern_sheets;
    std::vector<bool> internal_books;

    bool expecting_bof = true;
    int depth = 0;           // substreams opened inside the current one (charts in a worksheet)
    bool in_worksheet = false;
    int sheet = -1;          // worksheets seen so far, minus one
    bool string_table_open = false;  // continuation records still extend the string table
    bool code_page_seen = false;
    std::size_t string_formula = none;  // the last data cell, when it is a formula awaiting its string

    std::size_t at = 0;
    while (at + 4 <= stream_.size()) {
        const unsigned type = u16(at);
        const std::size_t length = u16(at + 2);
        if (expecting_bof && (type & 0xFF) != 0x09) break;
        if (length > longest) throw text_error("xls_file::load  File may be corrupted (record longer than 8228 bytes)");
        const std::size_t data = at + 4;
        if (data + length > stream_.size())
            throw text_error("xls_file::load  File may be corrupted (record runs past the end of the stream)");
        at = data + length;

        if (type != rec_continue) string_table_open = false;

        if (expecting_bof) {
            expecting_bof = false;
            depth = 0;
            in_worksheet = length >= 4 && u16(data + 2) == substream_worksheet;
            if (in_worksheet) ++sheet;
            string_formula = none;
            continue;
        }
        if (is_bof(type)) {
            ++depth;  // an embedded chart: its records are not the worksheet's
            continue;
        }
        if (type == rec_eof) {
            if (depth > 0) {
                --depth;
            } else {
                expecting_bof = true;
                in_worksheet = false;
            }
            continue;
        }
        if (depth > 0) continue;

        switch (type) {
            case rec_shared_strings:
                if (string_table_.empty()) {
                    string_table_.push_back({data, length});
                    string_table_open = true;
                }
                continue;
            case rec_continue:
                if (string_table_open) string_table_.push_back({data, length});
                continue;
            case rec_name:
                name_records.push_back({data, length});
                continue;
            case rec_extern_sheet:
                if (version_ == 8 && !extern_sheets) extern_sheets = segment{data, length};
                continue;
            case rec_bound_sheet:
                sheets_.push_back({length >= 6 ? u8(data + 5) : 0u});
                continue;
            case rec_code_page:
                if (!code_page_seen && length >= 2) code_page_ = u16(data);
                code_page_seen = true;
                continue;
            case rec_supporting_book:
                // The workbook's own sheets: sheet count, then the marker 0x0401.
                internal_books.push_back(length == 4 && u16(data + 2) == 0x0401);
                continue;
            default:
                break;
        }
        if (!in_worksheet) continue;

        const bool cell_header = length >= 6;
        const unsigned row = cell_header ? u16(data) : 0;
        const unsigned column = cell_header ? u16(data + 2) : 0;
        switch (type) {
            case rec_string:
                if (string_formula != none) {
                    cells_[string_formula].string_data = data;
                    cells_[string_formula].string_length = length;
                }
                string_formula = none;
                continue;
            case rec_formula:
                string_formula = none;
                if (length < 14) continue;
                add_cell(cell_type::formula, data, length, row, column, sheet);
                if (u8(data + 12) == 0xFF && u8(data + 13) == 0xFF && u8(data + 6) == 0 && !cells_.empty() &&
                    cells_.back().data == data)
                    string_formula = cells_.size() - 1;
                continue;
            case rec_number:
                string_formula = none;
                if (length >= 14) add_cell(cell_type::number, data, length, row, column, sheet);
                continue;
            case rec_rk:
                string_formula = none;
                if (length >= 10) add_cell(cell_type::rk, data + 6, 4, row, column, sheet);
                continue;
            case rec_bool_error:
                string_formula = none;
                if (cell_header) add_cell(cell_type::bool_or_error, data, length, row, column, sheet);
                continue;
            case rec_label:
            case rec_rich_string:
                string_formula = none;
                if (length >= 8) add_cell(cell_type::label, data, length, row, column, sheet);
                continue;
            case rec_shared_label:
                string_formula = none;
                if (length >= 10) add_cell(cell_type::shared_label, data, length, row, column, sheet);
                continue;
            case rec_multiple_rk: {
                string_formula = none;
                if (length < 6) continue;
                const unsigned last = u16(data + length - 2);
                if (last < column) continue;  // a span that runs backwards holds nothing
                // Entries of 6 bytes between the first column and the closing last column.
                const std::size_t fit = (length - 6) / 6;
                const std::size_t count = std::min<std::size_t>(last - column + 1, fit);
                for (std::size_t i = 0; i < count; ++i)
                    add_cell(cell_type::rk, data + 4 + 6 * i + 2, 4, row, column + static_cast<unsigned>(i), sheet);
                continue;
            }
            default:
                continue;
        }
    }
    decode_names(name_records, extern_sheets, internal_books);
}

std::optional<int> xls_reader::worksheet_number(unsigned position) const {
    // Without a sheet list the positions can only be taken as they are.
    if (sheets_.empty()) return position <= 255 ? std::optional<int>(static_cast<int>(position)) : std::nullopt;
    if (position >= sheets_.size() || sheets_[position].type != 0) return std::nullopt;
    int worksheets = 0;
    for (unsigned i = 0; i < position; ++i)
        if (sheets_[i].type == 0) ++worksheets;
    return worksheets;
}

void xls_reader::decode_names(const std::vector<segment>& names, std::optional<segment> extern_sheets,
                            const std::vector<bool>& internal_books) {
    for (const segment& record : names) {
        const std::size_t data = record.data;
        const std::size_t end = record.data + record.length;
        if (record.length < 14) continue;
        // Hidden, built-in (a print area) and function names are not ranges.
        if (u8(data) != 0 || u8(data + 1) != 0) continue;
        const std::size_t count = u8(data + 3);
        const std::size_t definition_length = u16(data + 4);
        std::size_t at = data + 14;
        bool wide = false;
        if (version_ == 8) {
            if (at >= end) continue;
            wide = (u8(at) & 1) != 0;
            ++at;
        }
        const std::size_t name_bytes = count * (wide ? 2 : 1);
        if (at + name_bytes > end) continue;  // the name runs past its record
        name_entry entry;
        entry.name = characters(at, end, count, wide);
        at += name_bytes;
        const std::size_t definition_end = std::min(end, at + definition_length);
        entry.bounds = decode_definition(at, definition_end, extern_sheets, internal_books);
        names_.push_back(std::move(entry));
    }
}

std::optional<range_bounds> xls_reader::decode_definition(std::size_t at, std::size_t end,
                                                        std::optional<segment> extern_sheets,
                                                        const std::vector<bool>& internal_books) const {
    if (at >= end) return std::nullopt;
    unsigned token = u8(at);
    // The value and array classes of the same reference read alike.
    if (token == 0x5A || token == 0x7A) token = 0x3A;
    if (token == 0x5B || token == 0x7B) token = 0x3B;
    if (token != 0x3A && token != 0x3B) return std::nullopt;
    const bool area = token == 0x3B;

    unsigned first_position = 0, last_position = 0, row1 = 0, row2 = 0, column1 = 0, column2 = 0;
    if (version_ == 5) {
        if (at + (area ? 21 : 18) > end) return std::nullopt;
        // A non-negative link index points into another workbook.
        if ((u16(at + 1) & 0x8000) == 0) return std::nullopt;
        first_position = u16(at + 11);
        last_position = u16(at + 13);
        if (area) {
            row1 = u16(at + 15) & 0x3FFF;
            row2 = u16(at + 17) & 0x3FFF;
            column1 = u8(at + 19);
            column2 = u8(at + 20);
        } else {
            row1 = row2 = u16(at + 15) & 0x3FFF;
            column1 = column2 = u8(at + 17);
        }
    } else {
        if (at + (area ? 11 : 7) > end) return std::nullopt;
        const unsigned index = u16(at + 1);
        if (!extern_sheets) return std::nullopt;
        const std::size_t table = extern_sheets->data;
        const std::size_t table_end = table + extern_sheets->length;
        if (extern_sheets->length < 2 || index >= u16(table)) return std::nullopt;
        const std::size_t entry = table + 2 + 6 * static_cast<std::size_t>(index);
        if (entry + 6 > table_end) return std::nullopt;
        const unsigned book = u16(entry);
        // Sheets of another workbook are not ours to read.
        if (!internal_books.empty() && (book >= internal_books.size() || !internal_books[book])) return std::nullopt;
        first_position = u16(entry + 2);
        last_position = u16(entry + 4);
        if (area) {
            row1 = u16(at + 3);
            row2 = u16(at + 5);
            column1 = u8(at + 7);
            column2 = u8(at + 9);
        } else {
            row1 = row2 = u16(at + 3);
            column1 = column2 = u8(at + 5);
        }
    }
    const auto sheet1 = worksheet_number(first_position);
    const auto sheet2 = worksheet_number(last_position);
    if (!sheet1 || !sheet2) return std::nullopt;
    range_bounds bounds;
    bounds.sheet1 = *sheet1 + 1;
    bounds.row1 = static_cast<int>(row1) + 1;
    bounds.column1 = static_cast<int>(column1) + 1;
    bounds.sheet2 = *sheet2 + 1;
    bounds.row2 = static_cast<int>(row2) + 1;
    bounds.column2 = static_cast<int>(column2) + 1;
    return bounds;
}

std::vector<std::string> xls_reader::range_names() {
    std::vector<std::string> list;
    list.reserve(names_.size());
    for (const auto& entry : names_) list.push_back(entry.name);
    return list;
}

bool xls_reader::find_range(std::string_view name, range_bounds& bounds) {
    for (const auto& entry : names_) {
        if (!equal_ignoring_case(entry.name, name)) continue;
        if (!entry.bounds) return false;
        bounds = *entry.bounds;
        return true;
    }
    return false;
}

std::string xls_reader::characters(std::size_t at, std::size_t end, std::size_t count, bool wide) const {
    const std::size_t width = wide ? 2 : 1;
    const std::size_t fit = at < end ? (end - at) / width : 0;
    if (count > fit) count = fit;
    const std::string_view bytes(reinterpret_cast<const char*>(stream_.data()) + at, count * width);
    if (version_ == 5) return decode_code_page(bytes, code_page_);
    if (!wide) return latin1_to_utf8(bytes);  // compressed: the low bytes of UTF-16
    std::u16string units(count, u'\0');
    for (std::size_t i = 0; i < count; ++i) units[i] = static_cast<char16_t>(u16(at + 2 * i));
    return utf16_to_utf8(units);
}

// The text of a label or string record whose character count is at count_at.
std::string xls_reader::cell_string(std::size_t data, std::size_t length, std::size_t count_at) const {
    const std::size_t end = data + length;
    if (count_at + 2 > end) return std::string();
    const std::size_t count = u16(count_at);
    if (version_ == 5) return characters(count_at + 2, end, count, false);
    if (count_at + 3 > end) return std::string();
    return characters(count_at + 3, end, count, (u8(count_at + 2) & 1) != 0);
}

double xls_reader::ieee_double(std::size_t at) const {
    unsigned long long bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | stream_[at + static_cast<std::size_t>(i)];
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double xls_reader::rk_value(std::size_t at) const {
    const unsigned long raw = u32(at);
    double value;
    if (raw & 2) {
        // A signed 30-bit integer in the top bits.
        const long integer = static_cast<long>(static_cast<std::int32_t>(static_cast<std::uint32_t>(raw & ~3UL))) / 4;
        value = static_cast<double>(integer);
    } else {
        const unsigned long long bits = static_cast<unsigned long long>(raw & ~3UL) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    // Dividing gives the double nearest to the hundredth meant; multiplying
    // by 0.01 (itself inexact) can miss it by one unit in the last place.
    if (raw & 1) value /= 100.0;
    return value;
}

void xls_reader::decode_shared_strings() const {
    strings_decoded_ = true;
    if (string_table_.empty()) {
        strings_failure_ = "xls_file::get_sst XLS file with no shared string table";
        return;
    }
    std::vector<std::pair<std::size_t, std::size_t>> segments;
    for (const auto& s : string_table_) segments.emplace_back(s.data, s.length);
    string_table_reader reader(stream_, segments);
    const char* missing = "xls_file::get_sst missing continuation record";
    unsigned long total = 0;
    if (!reader.read_u32(total) || !reader.read_u32(string_count_)) {
        strings_failure_ = missing;
        return;
    }
    string_count_known_ = true;
    for (unsigned long i = 0; i < string_count_; ++i) {
        unsigned count = 0, options = 0, runs = 0;
        if (!reader.read_u16(count) || !reader.read_byte(options)) {
            strings_failure_ = missing;
            return;
        }
        if (options & 4) {
            strings_failure_ = "xls_file::get_sst XLS file Far East formatting (not supported)";
            return;
        }
        if ((options & 8) && !reader.read_u16(runs)) {
            strings_failure_ = missing;
            return;
        }
        std::string text;
        if (!reader.read_characters(count, (options & 1) != 0, text) || !reader.skip(4UL * runs)) {
            strings_failure_ = missing;
            return;
        }
        strings_.push_back(std::move(text));
    }
}

const std::string& xls_reader::shared_string(unsigned long index) const {
    if (!strings_decoded_) decode_shared_strings();
    if (index < strings_.size()) return strings_[index];
    // Strings before a damaged place stay readable; the ones after it report it.
    if (!strings_failure_.empty() && (!string_count_known_ || index < string_count_))
        throw text_error(strings_failure_);
    throw text_error("xls_file::get_string called with out-of-range string");
}

int xls_reader::cell_kind(std::size_t record) const {
    const cell_record& cell = cells_.at(record);
    switch (cell.type) {
        case cell_type::number: return std::isfinite(ieee_double(cell.data + 6)) ? kind_number : kind_other;
        case cell_type::rk: return std::isfinite(rk_value(cell.data)) ? kind_number : kind_other;
        case cell_type::bool_or_error: return kind_number;
        case cell_type::label:
        case cell_type::shared_label: return kind_text;
        case cell_type::formula:
            if (u8(cell.data + 12) != 0xFF || u8(cell.data + 13) != 0xFF)
                return std::isfinite(ieee_double(cell.data + 6)) ? kind_number : kind_other;
            switch (u8(cell.data + 6)) {
                case 0: return kind_text;
                case 1:
                case 2: return kind_other;
                default: return kind_number;
            }
    }
    return kind_other;
}

int xls_reader::cell_number(std::size_t record, double& number) const {
    const cell_record& cell = cells_.at(record);
    double value = 0.0;
    switch (cell.type) {
        case cell_type::number: value = ieee_double(cell.data + 6); break;
        case cell_type::rk: value = rk_value(cell.data); break;
        case cell_type::bool_or_error: number = 0.0; return content_delivered;
        case cell_type::label:
        case cell_type::shared_label: return content_is_text;
        case cell_type::formula:
            if (u8(cell.data + 12) == 0xFF && u8(cell.data + 13) == 0xFF) {
                switch (u8(cell.data + 6)) {
                    case 0: return content_is_text;
                    case 1:
                    case 2: return content_error_value;
                    case 3: return content_empty_result;
                    default: return content_not_read;
                }
            }
            value = ieee_double(cell.data + 6);
            break;
    }
    // Infinity or NaN is no amount: read it as an error value.
    if (!std::isfinite(value)) return content_error_value;
    number = value;
    return content_delivered;
}

int xls_reader::cell_text(std::size_t record, std::string& text) const {
    const cell_record& cell = cells_.at(record);
    switch (cell.type) {
        case cell_type::number:
            return std::isfinite(ieee_double(cell.data + 6)) ? content_is_number : content_error_value;
        case cell_type::rk: return std::isfinite(rk_value(cell.data)) ? content_is_number : content_error_value;
        case cell_type::bool_or_error: return content_is_number;
        case cell_type::label:
            text = cell_string(cell.data, cell.length, cell.data + 6);
            return content_delivered;
        case cell_type::shared_label:
            text = shared_string(u32(cell.data + 6));
            return content_delivered;
        case cell_type::formula:
            if (u8(cell.data + 12) != 0xFF || u8(cell.data + 13) != 0xFF)
                return std::isfinite(ieee_double(cell.data + 6)) ? content_is_number : content_error_value;
            switch (u8(cell.data + 6)) {
                case 0:
                    if (cell.string_data == none) return content_not_read;
                    text = cell_string(cell.string_data, cell.string_length, cell.string_data);
                    return content_delivered;
                case 1:
                case 2: return content_error_value;
                default: return content_is_number;
            }
    }
    return content_not_read;
}

}  // namespace fv
