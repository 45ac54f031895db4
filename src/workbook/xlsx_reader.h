// The reader of Excel workbooks of today (.xlsx, .xlsm), transitional or
// strict: the package leads to the workbook part, the workbook lists its
// sheets in order and its defined names, and each worksheet part is streamed
// through the parser once. Sheets are numbered A, B, ... among the worksheets
// (chart and macro sheets take no letter), as in an XLS workbook.
#pragma once

#include <string>

#include "workbook/zip_workbook.h"

namespace fv {

class xlsx_reader : public zip_workbook {
public:
    explicit xlsx_reader(const std::string& file_name);

protected:
    void read(zip_archive& archive) override;
};

}  // namespace fv
