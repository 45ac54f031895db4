// The reader of three-dimensional WK3 and WK4 worksheet files: cells carry a
// sheet, numbers are 10-byte extended reals or packed 16-bit values, and
// formula values mark errors, not-available and string results specially.
#pragma once

#include "workbook/lotus_3d_reader.h"

namespace fv {

class wk3_reader : public lotus_3d_reader {
public:
    explicit wk3_reader(const std::string& file_name);

    // The 10-byte extended real (8 bytes of mantissa with its integer bit,
    // then sign and 15-bit exponent) as the nearest double.
    static double extended_to_double(const unsigned char* bytes);
    // The 16-bit small number of a type 24 record.
    static double small_number(std::int16_t packed);

protected:
    record_kind kind_of(unsigned type) const override;
    double number_value(std::size_t at) const override;
    std::size_t marker_offset() const override { return 11; }
};

}  // namespace fv
