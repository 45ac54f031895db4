// The workbook part of an XLSX file (xl/workbook.xml): its sheets in
// workbook order with their relationship ids, its defined names, and whether
// its dates count from 1904.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fv {

class zip_archive;

struct xlsx_sheet_entry {
    std::string name;
    std::string relationship_id;
};

struct xlsx_defined_name {
    std::string name;
    std::string definition;  // the formula text, as written
};

struct xlsx_workbook_description {
    std::vector<xlsx_sheet_entry> sheets;  // every kind: worksheets, chart sheets, ...
    std::vector<xlsx_defined_name> names;  // hidden and built-in (_xlnm.) names left out
    bool date1904 = false;
    std::uint64_t texts_cut = 0;
};

xlsx_workbook_description read_xlsx_workbook(zip_archive& archive, std::string_view part);

}  // namespace fv
