// The reader of WK1 worksheet files: one sheet of cells (integers, numbers,
// labels, formulas with their values and string results) and named ranges.
#pragma once

#include "workbook/lotus_reader.h"

namespace fv {

class wk1_reader : public lotus_reader {
public:
    explicit wk1_reader(const std::string& file_name);

protected:
    void index_record(std::size_t at) override;
    bool is_data_cell(unsigned type) const override;
    // WK1 text is in the Lotus International Character Set.
    std::string decode_text(std::string_view bytes) const override;
    int cell_text(std::size_t record, std::string& text) const override;
    int cell_number(std::size_t record, double& number) const override;
    int cell_kind(std::size_t record) const override;

private:
    // What a stored double means: a plain number, or one of the special values
    // with all exponent bits set (by its sign and whether its mantissa is zero).
    enum class value_class { plain, plus_zero_mantissa, plus_mantissa, minus_zero_mantissa, minus_mantissa };
    value_class classify(std::size_t record) const;
    double value(std::size_t record) const;
};

}  // namespace fv
