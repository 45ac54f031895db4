// The reader of OpenDocument spreadsheets (.ods): the mimetype entry must name
// a spreadsheet, an encrypted package is password-protected, and the content
// part is streamed through the parser once. Sheets are the tables in order.
#pragma once

#include <string>

#include "workbook/zip_workbook.h"

namespace fv {

class ods_reader : public zip_workbook {
public:
    explicit ods_reader(const std::string& file_name);

protected:
    void read(zip_archive& archive) override;
};

// Whether a mimetype entry's text names an OpenDocument spreadsheet (or its template).
bool is_ods_mimetype(std::string_view text);

}  // namespace fv
