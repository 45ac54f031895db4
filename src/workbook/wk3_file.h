// The reader of three-dimensional WK3 and WK4 worksheet files: cells carry a
// sheet, numbers are 10-byte extended reals or packed 16-bit values, and
// formula values mark errors, not-available and string results specially.
#pragma once

#include "workbook/lotus_records.h"

namespace fv {

class wk3_file : public lotus_workbook {
public:
    explicit wk3_file(const std::string& file_name);

    // The 10-byte extended real (8 bytes of mantissa with its integer bit,
    // then sign and 15-bit exponent) as the nearest double.
    static double extended_to_double(const unsigned char* bytes);
    // The 16-bit small number of a type 24 record.
    static double small_number(std::int16_t packed);

protected:
    void index_record(std::size_t at) override;
    bool is_data_cell(unsigned type) const override;
    int cell_text(std::size_t record, std::string& text) const override;
    int cell_number(std::size_t record, double& number) const override;
    int cell_kind(std::size_t record) const override;

private:
    bool special(std::size_t record) const;
};

}  // namespace fv
