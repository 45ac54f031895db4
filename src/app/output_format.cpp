#include "app/output_format.h"

#include "app/display_numbers.h"
#include "util/ascii.h"
#include "workbook/workbook_reader.h"

namespace fv {

bool has_xlsx_extension(const std::string& name) {
    static const std::string extension = ".xlsx";
    return name.size() > extension.size() && ends_with_ignoring_case(name, extension);
}

spreadsheet_format spreadsheet_format_of(const std::string& name) {
    return has_xlsx_extension(name) ? spreadsheet_format::xlsx : spreadsheet_format::wk3;
}

const char* display_sheet_name(int display) {
    static const char* const names[] = {"Cash Flows",           "Subsidy",
                                        "Present value factors", "Disbursement period data",
                                        "Present value results", "Calculation of the subsidy",
                                        "Messages"};
    return display >= 1 && display <= display_count ? names[display - 1] : "Display";
}

}  // namespace fv
