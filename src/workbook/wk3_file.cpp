// WK3/WK4 records: a 4-byte cell header (row, sheet, column) then the value.
// Special formula values carry a marker byte: empty result, error,
// not-available, or a string result whose text is the next record.
#include "workbook/wk3_file.h"

#include <cmath>
#include <cstdint>

namespace fv {

namespace {

enum wk3_type : unsigned {
    range_name = 9,
    range_name_unlisted = 10,
    error_cell = 20,
    not_available_cell = 21,
    label_cell = 22,
    number_cell = 23,
    small_number_cell = 24,
    formula_cell = 25,
    string_value = 26,
};


}  // namespace

wk3_file::wk3_file(const std::string& file_name)
    : lotus_workbook(file_name, format_kind::wk3, "wk3_file", "load_wk3", 26) {}

double wk3_file::extended_to_double(const unsigned char* bytes) {
    std::uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | bytes[i];
    const unsigned sign_exponent = bytes[8] | (bytes[9] << 8);
    const bool negative = (sign_exponent & 0x8000) != 0;
    const int exponent = static_cast<int>(sign_exponent & 0x7FFF);
    double value = 0;
    if (exponent == 0x7FFF) {
        // Infinity when only the integer bit is set, else not a number.
        value = (mantissa << 1) == 0 ? HUGE_VAL : std::nan("");
    } else if (mantissa != 0) {
        // The 64-bit mantissa converts to the nearest double in one rounding;
        // scaling by a power of two is then exact for every normal result.
        const int shift = (exponent == 0 ? 1 : exponent) - 16383 - 63;
        value = std::ldexp(static_cast<double>(mantissa), shift);
    }
    return negative ? -value : value;
}

double wk3_file::small_number(std::int16_t packed) {
    static const double factors[8] = {5000, 500, 0.05, 0.005, 0.0005, 0.00005, 0.0625, 0.015625};
    if ((packed & 1) == 0) return static_cast<double>(packed >> 1);
    return static_cast<double>(packed >> 4) * factors[(packed >> 1) & 7];
}

bool wk3_file::is_data_cell(unsigned type) const {
    return type >= error_cell && type <= string_value;
}

void wk3_file::index_record(std::size_t at) {
    const lotus_record& rec = record(at);
    switch (rec.type) {
        case range_name:
        case range_name_unlisted:
            add_wk3_range(at, rec.type == range_name);
            return;
        case error_cell:
        case not_available_cell:
            if (rec.length < 4) short_record(at, "cell record too short");
            break;
        case label_cell:
            // A NUL in place of the prefix is an empty label.
            if (rec.length < 5) short_record(at, "label cell record too short");
            if (u8(at, 4) != 0 && !text_ends_inside(at, 5)) short_record(at, "label without its terminating NUL");
            break;
        case number_cell:
        case formula_cell:
            if (rec.length < 14) short_record(at, "number or formula cell record too short");
            break;
        case small_number_cell:
            if (rec.length < 6) short_record(at, "small number cell record too short");
            break;
        case string_value:
            if (rec.length < 4) short_record(at, "formula string record too short");
            if (!text_ends_inside(at, 4)) short_record(at, "formula string without its terminating NUL");
            break;
        default:
            return;
    }
    cell_coord address(static_cast<std::uint8_t>(u8(at, 2)), static_cast<std::uint16_t>(u16(at, 0)),
                       static_cast<std::uint8_t>(u8(at, 3)));
    address.is_cell = 1;
    add_data_cell(address, at);
}

bool wk3_file::special(std::size_t at) const { return u8(at, 12) == 255 && u8(at, 13) == 255; }

int wk3_file::cell_text(std::size_t at, std::string& text) const {
    switch (record(at).type) {
        case error_cell:
            return content_error_value;
        case not_available_cell:
            return content_not_available;
        case label_cell:
            text = u8(at, 4) == 0 ? std::string() : text_at(at, 5);
            return content_delivered;
        case string_value:
            text = text_at(at, 4);
            return content_delivered;
        case number_cell:
        case small_number_cell:
            return content_is_number;
        case formula_cell:
            if (!special(at)) return content_is_number;
            return special_text(at, u8(at, 11), string_value, text);
    }
    return content_not_read;
}

int wk3_file::cell_number(std::size_t at, double& number) const {
    switch (record(at).type) {
        case error_cell:
            return content_error_value;
        case not_available_cell:
            return content_not_available;
        case label_cell:
        case string_value:
            return content_is_text;
        case small_number_cell:
            number = small_number(static_cast<std::int16_t>(u16(at, 4)));
            return content_delivered;
        case number_cell:
        case formula_cell:
            if (special(at)) return special_number(u8(at, 11));
            number = extended_to_double(data(at) + 4);
            return content_delivered;
    }
    return content_not_read;
}

int wk3_file::cell_kind(std::size_t at) const {
    switch (record(at).type) {
        case label_cell:
        case string_value:
            return kind_text;
        case number_cell:
        case small_number_cell:
            return kind_number;
        case formula_cell:
            if (!special(at)) return kind_number;
            return special_kind(u8(at, 11));
    }
    return kind_other;
}

}  // namespace fv
