// Placeholder until the reader lands.
#pragma once

#include "workbook/indexed_workbook.h"

namespace fv {

class wk1_file : public indexed_workbook {
public:
    explicit wk1_file(const std::string& file_name) : indexed_workbook(file_name) { set_kind(format_kind::wk1); }
    void load() override;

protected:
    int cell_text(std::size_t, std::string&) const override { return content_not_read; }
    int cell_number(std::size_t, double&) const override { return content_not_read; }
    int cell_kind(std::size_t) const override { return kind_other; }
};

}  // namespace fv
