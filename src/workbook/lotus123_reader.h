// The reader of 123 worksheet files: the WK3 framing and cell header, with
// IEEE doubles and 32-bit packed numbers for the cell values.
#pragma once

#include "workbook/lotus_3d_reader.h"

namespace fv {

class lotus123_reader : public lotus_3d_reader {
public:
    explicit lotus123_reader(const std::string& file_name);

    // The 32-bit packed number of a type 37 record, from its four bytes.
    static double packed_number(const unsigned char* bytes);

protected:
    record_kind kind_of(unsigned type) const override;
    double number_value(std::size_t at) const override;
    std::size_t marker_offset() const override { return 9; }
};

}  // namespace fv
