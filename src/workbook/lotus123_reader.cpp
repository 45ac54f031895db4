// 123 records: the WK3 cell header, then IEEE doubles (numbers, formula
// values) or 32-bit packed numbers. Special formula values carry a marker
// byte as in WK3 files, at other offsets.
#include "workbook/lotus123_reader.h"

#include <cstdint>
#include <cstring>


namespace fv {

namespace {

enum lotus123_type : unsigned {
    error_cell = 20,
    not_available_cell = 21,
    label_cell = 22,
    string_value = 26,
    packed_cell = 37,
    number_cell = 39,
    formula_cell = 40,
};

}  // namespace

lotus123_reader::lotus123_reader(const std::string& file_name)
    : lotus_3d_reader(file_name, format_kind::lotus123, "L123_file", "load_L123", 26) {}

double lotus123_reader::packed_number(const unsigned char* bytes) {
    static const double powers[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const std::uint32_t mantissa = (static_cast<std::uint32_t>(bytes[3]) << 18) |
                                   (static_cast<std::uint32_t>(bytes[2]) << 10) |
                                   (static_cast<std::uint32_t>(bytes[1]) << 2) | (bytes[0] >> 6);
    const double power = powers[bytes[0] & 0x0F];
    double value = (bytes[0] & 0x10) != 0 ? mantissa / power : mantissa * power;
    return (bytes[0] & 0x20) != 0 ? -value : value;
}

lotus_3d_reader::record_kind lotus123_reader::kind_of(unsigned type) const {
    switch (type) {
        case error_cell: return {cell_role::error, 4, "cell record too short"};
        case not_available_cell: return {cell_role::not_available, 4, "cell record too short"};
        case label_cell: return {cell_role::label, 5, "label cell record too short"};
        case string_value: return {cell_role::string_value, 4, "formula string record too short"};
        case packed_cell: return {cell_role::plain_number, 8, "packed number cell record too short"};
        case number_cell: return {cell_role::number, 12, "number or formula cell record too short"};
        case formula_cell: return {cell_role::formula, 12, "number or formula cell record too short"};
        default: return {cell_role::none, 0, ""};
    }
}

double lotus123_reader::number_value(std::size_t at) const {
    if (record(at).type == packed_cell) return packed_number(data(at) + 4);
    double number = 0;
    std::memcpy(&number, data(at) + 4, sizeof number);  // little-endian IEEE, as the host
    return number;
}

}  // namespace fv
