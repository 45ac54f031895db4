// The reader of 123 worksheet files: the WK3 framing and cell header, with
// IEEE doubles and 32-bit packed numbers for the cell values.
#pragma once

#include "workbook/lotus_records.h"

namespace fv {

class L123_file : public lotus_workbook {
public:
    explicit L123_file(const std::string& file_name);

    // The 32-bit packed number of a type 37 record, from its four bytes.
    static double packed_number(const unsigned char* bytes);

protected:
    void index_record(std::size_t at) override;
    bool is_data_cell(unsigned type) const override;
    int cell_text(std::size_t record, std::string& text) const override;
    int cell_number(std::size_t record, double& number) const override;
    int cell_kind(std::size_t record) const override;

private:
    bool special(std::size_t record) const;
    double value(std::size_t record) const;
};

}  // namespace fv
