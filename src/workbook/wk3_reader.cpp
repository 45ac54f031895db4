// WK3/WK4 records: a 4-byte cell header (row, sheet, column) then the value.
// Special formula values carry a marker byte: empty result, error,
// not-available, or a string result whose text is the next record.
#include "workbook/wk3_reader.h"

#include <cmath>
#include <cstdint>


namespace fv {

namespace {

enum wk3_type : unsigned {
    error_cell = 20,
    not_available_cell = 21,
    label_cell = 22,
    number_cell = 23,
    small_number_cell = 24,
    formula_cell = 25,
    string_value = 26,
};

}  // namespace

wk3_reader::wk3_reader(const std::string& file_name)
    : lotus_3d_reader(file_name, format_kind::wk3, "wk3_file", "load_wk3", 26) {}

double wk3_reader::extended_to_double(const unsigned char* bytes) {
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

double wk3_reader::small_number(std::int16_t packed) {
    static const double factors[8] = {5000, 500, 0.05, 0.005, 0.0005, 0.00005, 0.0625, 0.015625};
    if ((packed & 1) == 0) return static_cast<double>(packed >> 1);
    return static_cast<double>(packed >> 4) * factors[(packed >> 1) & 7];
}

lotus_3d_reader::record_kind wk3_reader::kind_of(unsigned type) const {
    switch (type) {
        case error_cell: return {cell_role::error, 4, "cell record too short"};
        case not_available_cell: return {cell_role::not_available, 4, "cell record too short"};
        case label_cell: return {cell_role::label, 5, "label cell record too short"};
        case number_cell: return {cell_role::number, 14, "number or formula cell record too short"};
        case small_number_cell: return {cell_role::plain_number, 6, "small number cell record too short"};
        case formula_cell: return {cell_role::formula, 14, "number or formula cell record too short"};
        case string_value: return {cell_role::string_value, 4, "formula string record too short"};
        default: return {cell_role::none, 0, ""};
    }
}

double wk3_reader::number_value(std::size_t at) const {
    if (record(at).type == small_number_cell) return small_number(static_cast<std::int16_t>(u16(at, 4)));
    return extended_to_double(data(at) + 4);
}

}  // namespace fv
