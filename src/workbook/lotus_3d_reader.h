// What WK3, WK4 and 123 files share: the cell header (row, sheet, column),
// the range records, labels, formula strings, and formulas whose value may be
// a special result. The formats differ in how they number their cell records,
// how they encode numbers, and where a formula's special marker lies.
#pragma once

#include "workbook/lotus_reader.h"

namespace fv {

class lotus_3d_reader : public lotus_reader {
protected:
    using lotus_reader::lotus_reader;

    // What a record type is to the reader. `plain_number` values are never
    // special; `number` values are checked for a special marker when read as
    // numbers; `formula` values always.
    enum class cell_role { none, error, not_available, label, string_value, plain_number, number, formula };
    struct record_kind {
        cell_role role;
        unsigned min_length;    // of the record's data
        const char* too_short;  // the failure's text when it is shorter
    };
    virtual record_kind kind_of(unsigned type) const = 0;
    // The value of a number, plain-number or formula record that is not special.
    virtual double number_value(std::size_t at) const = 0;
    // Where a formula's special marker byte lies; the two bytes after it are 0xFF in a special value.
    virtual std::size_t marker_offset() const = 0;

    bool is_data_cell(unsigned type) const override { return kind_of(type).role != cell_role::none; }
    // Text is LMBCS; bytes without a group byte belong to the group the
    // beginning-of-file record names.
    std::string decode_text(std::string_view bytes) const override;
    void index_record(std::size_t at) override;
    int cell_text(std::size_t at, std::string& text) const override;
    int cell_number(std::size_t at, double& number) const override;
    int cell_kind(std::size_t at) const override;

private:
    bool special(std::size_t at) const;
    // A special result: its marker says empty, error or not available; any
    // other marker is a string result whose text is the formula string
    // record (`string_type`) right after it.
    int special_text(std::size_t at, unsigned marker, unsigned string_type, std::string& text) const;
    static int special_number(unsigned marker);
    static int special_kind(unsigned marker);
    unsigned marker(std::size_t at) const { return u8(at, marker_offset()); }

    unsigned default_group_ = 1;
};

}  // namespace fv
