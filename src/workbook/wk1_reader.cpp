// WK1 records: a 5-byte cell header (format byte, column, row) then the value;
// range names of 16 characters with their corners. Cells are decoded only when
// asked for; load checks that every record used holds the fields read from it.
#include "workbook/wk1_reader.h"

#include <cstring>

#include "util/lics.h"

namespace fv {

namespace {

enum wk1_type : unsigned {
    end_of_file = 1,
    range_name = 11,
    integer_cell = 13,
    number_cell = 14,
    label_cell = 15,
    formula_cell = 16,
    string_value = 51,
    range_name_2 = 71,
};

}  // namespace

wk1_reader::wk1_reader(const std::string& file_name)
    : lotus_reader(file_name, format_kind::wk1, "wk1_file", "load_wk1", 2) {}

std::string wk1_reader::decode_text(std::string_view bytes) const { return lics_to_utf8(bytes); }

bool wk1_reader::is_data_cell(unsigned type) const {
    return type == integer_cell || type == number_cell || type == label_cell || type == formula_cell ||
           type == string_value;
}

void wk1_reader::index_record(std::size_t at) {
    const lotus_record& rec = record(at);
    switch (rec.type) {
        case range_name:
        case range_name_2: {
            if (rec.length < 24) short_record(at, "range name record too short");
            if (std::memchr(data(at), 0, 16) == nullptr) short_record(at, "range name without its terminating NUL");
            range_bounds bounds;
            bounds.sheet1 = bounds.sheet2 = 1;
            bounds.column1 = static_cast<int>(u16(at, 16)) + 1;
            bounds.row1 = static_cast<int>(u16(at, 18)) + 1;
            bounds.column2 = static_cast<int>(u16(at, 20)) + 1;
            bounds.row2 = static_cast<int>(u16(at, 22)) + 1;
            add_range(text_at(at, 0), bounds);
            return;
        }
        case integer_cell:
            if (rec.length < 7) short_record(at, "integer cell record too short");
            break;
        case number_cell:
        case formula_cell:
            if (rec.length < 13) short_record(at, "number or formula cell record too short");
            break;
        case label_cell:
            // A NUL in place of the prefix is an empty label.
            if (rec.length < 6) short_record(at, "label cell record too short");
            if (u8(at, 5) != 0 && !text_ends_inside(at, 6)) short_record(at, "label without its terminating NUL");
            break;
        case string_value:
            if (rec.length < 5) short_record(at, "formula string record too short");
            if (!text_ends_inside(at, 5)) short_record(at, "formula string without its terminating NUL");
            break;
        default:
            return;
    }
    cell_address address(0, static_cast<std::uint16_t>(u16(at, 3)), static_cast<std::uint8_t>(u8(at, 1)));
    address.is_cell = 1;
    add_data_cell(address, at);
}

double wk1_reader::value(std::size_t at) const {
    double number = 0;
    std::memcpy(&number, data(at) + 5, sizeof number);  // little-endian IEEE, as the host
    return number;
}

wk1_reader::value_class wk1_reader::classify(std::size_t at) const {
    const unsigned char* value_bytes = data(at) + 5;  // byte i of the value is byte 5 + i of the data
    if ((value_bytes[7] & 0x7F) != 0x7F || (value_bytes[6] & 0xF0) != 0xF0) return value_class::plain;
    bool zero_mantissa = (value_bytes[6] & 0x0F) == 0;
    for (int i = 0; i < 6; ++i) zero_mantissa = zero_mantissa && value_bytes[i] == 0;
    const bool sign = (value_bytes[7] & 0x80) != 0;
    if (sign) return zero_mantissa ? value_class::minus_zero_mantissa : value_class::minus_mantissa;
    return zero_mantissa ? value_class::plus_zero_mantissa : value_class::plus_mantissa;
}

int wk1_reader::cell_text(std::size_t at, std::string& text) const {
    switch (record(at).type) {
        case label_cell:
            text = u8(at, 5) == 0 ? std::string() : text_at(at, 6);
            return content_delivered;
        case string_value:
            text = text_at(at, 5);
            return content_delivered;
        case integer_cell:
        case number_cell:
            return content_is_number;
        case formula_cell:
            switch (classify(at)) {
                case value_class::plain:
                case value_class::minus_mantissa:
                    return content_is_number;
                case value_class::plus_zero_mantissa:
                    return content_error_value;
                case value_class::minus_zero_mantissa:
                    return content_not_available;
                case value_class::plus_mantissa:
                    // A string result: its text is the formula string record that follows.
                    if (!next_is(at, string_value, 1, 5)) return content_not_read;
                    text = text_at(at + 1, 5);
                    return content_delivered;
            }
    }
    return content_not_read;
}

int wk1_reader::cell_number(std::size_t at, double& number) const {
    switch (record(at).type) {
        case label_cell:
        case string_value:
            return content_is_text;
        case integer_cell:
            number = static_cast<std::int16_t>(u16(at, 5));
            return content_delivered;
        case number_cell:
        case formula_cell:
            switch (classify(at)) {
                case value_class::minus_zero_mantissa:
                    return content_not_available;
                case value_class::minus_mantissa:
                    return content_is_text;
                case value_class::plain:
                case value_class::plus_zero_mantissa:
                case value_class::plus_mantissa:
                    // Other special values are delivered as stored; the cash-flow model refuses them.
                    number = value(at);
                    return content_delivered;
            }
    }
    return content_not_read;
}

int wk1_reader::cell_kind(std::size_t at) const {
    switch (record(at).type) {
        case label_cell:
        case string_value:
            return kind_text;
        case integer_cell:
        case number_cell:
            return kind_number;
        case formula_cell:
            switch (classify(at)) {
                case value_class::plain:
                    return kind_number;
                case value_class::plus_mantissa:
                    return kind_text;
                case value_class::plus_zero_mantissa:
                case value_class::minus_zero_mantissa:
                case value_class::minus_mantissa:
                    return kind_other;
            }
    }
    return kind_other;
}

}  // namespace fv
