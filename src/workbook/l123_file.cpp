// 123 records: the WK3 cell header, then IEEE doubles (numbers, formula
// values) or 32-bit packed numbers. Special formula values carry a marker
// byte as in WK3 files, at other offsets.
#include "workbook/l123_file.h"

#include <cstdint>
#include <cstring>

namespace fv {

namespace {

enum l123_type : unsigned {
    range_name = 9,
    range_name_unlisted = 10,
    error_cell = 20,
    not_available_cell = 21,
    label_cell = 22,
    string_value = 26,
    packed_cell = 37,
    number_cell = 39,
    formula_cell = 40,
};


}  // namespace

L123_file::L123_file(const std::string& file_name)
    : lotus_workbook(file_name, format_kind::l123, "L123_file", "load_L123", 26) {}

double L123_file::packed_number(const unsigned char* bytes) {
    static const double powers[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const std::uint32_t mantissa = (static_cast<std::uint32_t>(bytes[3]) << 18) |
                                   (static_cast<std::uint32_t>(bytes[2]) << 10) |
                                   (static_cast<std::uint32_t>(bytes[1]) << 2) | (bytes[0] >> 6);
    const double power = powers[bytes[0] & 0x0F];
    double value = (bytes[0] & 0x10) != 0 ? mantissa / power : mantissa * power;
    return (bytes[0] & 0x20) != 0 ? -value : value;
}

bool L123_file::is_data_cell(unsigned type) const {
    return (type >= error_cell && type <= label_cell) || type == string_value || type == packed_cell ||
           type == number_cell || type == formula_cell;
}

void L123_file::index_record(std::size_t at) {
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
        case string_value:
            if (rec.length < 4) short_record(at, "formula string record too short");
            if (!text_ends_inside(at, 4)) short_record(at, "formula string without its terminating NUL");
            break;
        case packed_cell:
            if (rec.length < 8) short_record(at, "packed number cell record too short");
            break;
        case number_cell:
        case formula_cell:
            if (rec.length < 12) short_record(at, "number or formula cell record too short");
            break;
        default:
            return;
    }
    cell_coord address(static_cast<std::uint8_t>(u8(at, 2)), static_cast<std::uint16_t>(u16(at, 0)),
                       static_cast<std::uint8_t>(u8(at, 3)));
    address.is_cell = 1;
    add_data_cell(address, at);
}

bool L123_file::special(std::size_t at) const { return u8(at, 10) == 255 && u8(at, 11) == 255; }

double L123_file::value(std::size_t at) const {
    double number = 0;
    std::memcpy(&number, data(at) + 4, sizeof number);  // little-endian IEEE, as the host
    return number;
}

int L123_file::cell_text(std::size_t at, std::string& text) const {
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
        case packed_cell:
        case number_cell:
            return content_is_number;
        case formula_cell:
            if (!special(at)) return content_is_number;
            return special_text(at, u8(at, 9), string_value, text);
    }
    return content_not_read;
}

int L123_file::cell_number(std::size_t at, double& number) const {
    switch (record(at).type) {
        case error_cell:
            return content_error_value;
        case not_available_cell:
            return content_not_available;
        case label_cell:
        case string_value:
            return content_is_text;
        case packed_cell:
            number = packed_number(data(at) + 4);
            return content_delivered;
        case number_cell:
        case formula_cell:
            if (special(at)) return special_number(u8(at, 9));
            number = value(at);
            return content_delivered;
    }
    return content_not_read;
}

int L123_file::cell_kind(std::size_t at) const {
    switch (record(at).type) {
        case label_cell:
        case string_value:
            return kind_text;
        case packed_cell:
        case number_cell:
            return kind_number;
        case formula_cell:
            if (!special(at)) return kind_number;
            return special_kind(u8(at, 9));
    }
    return kind_other;
}

}  // namespace fv
