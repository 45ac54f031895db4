#include "workbook/xlsx_reader.h"

#include <algorithm>

#include "util/ascii.h"
#include "workbook/opc_package.h"
#include "workbook/serial_date.h"
#include "workbook/workbook_failure.h"
#include "workbook/xlsx_sheet.h"
#include "workbook/xlsx_strings.h"
#include "workbook/xlsx_workbook_part.h"
#include "workbook/zip_archive.h"

namespace fv {

namespace {

constexpr std::string_view default_workbook_part = "xl/workbook.xml";

// The workbook part the package names, else where Excel puts it.
std::string workbook_part(zip_archive& archive) {
    for (const relationship& r : read_relationships(archive, ""))
        if (!r.external && relationship_is(r, "officeDocument")) return resolve_target("", r.target);
    return std::string(default_workbook_part);
}

const relationship* find_relationship(const std::vector<relationship>& relationships, std::string_view id) {
    const auto found = std::find_if(relationships.begin(), relationships.end(),
                                    [&](const relationship& r) { return r.id == id; });
    return found == relationships.end() ? nullptr : &*found;
}

}  // namespace

xlsx_reader::xlsx_reader(const std::string& file_name)
    : zip_workbook(file_name, format_kind::xlsx, "xlsx_file", "Excel workbook") {}

void xlsx_reader::read(zip_archive& archive) {
    const std::string workbook = workbook_part(archive);
    if (ends_with_ignoring_case(workbook, ".bin")) throw workbook_failure(workbook_problem::binary_workbook, "");
    if (!archive.contains(workbook))
        throw workbook_failure(workbook_problem::not_a_workbook, "it holds no workbook part " + workbook);

    const xlsx_workbook_description description = read_xlsx_workbook(archive, workbook);
    note_texts_cut(description.texts_cut);
    const std::vector<relationship> relationships = read_relationships(archive, workbook);

    shared_strings strings;
    std::string strings_part;
    for (const relationship& r : relationships)
        if (!r.external && relationship_is(r, "sharedStrings")) strings_part = resolve_target(workbook, r.target);
    if (strings_part.empty() && archive.contains("xl/sharedStrings.xml")) strings_part = "xl/sharedStrings.xml";
    if (!strings_part.empty()) strings = read_shared_strings(archive, strings_part, values());
    note_texts_cut(strings.texts_cut);

    xlsx_sheet_context context{values(), strings.items,
                               description.date1904 ? days_since_1970(1904, 1, 1) : default_null_date, nullptr, 0};
    for (const xlsx_sheet_entry& sheet : description.sheets) {
        const relationship* r = find_relationship(relationships, sheet.relationship_id);
        if (!r || r->external)
            throw workbook_failure(workbook_problem::damaged,
                                   "sheet " + sheet.name + " has no part (relationship " + sheet.relationship_id + ")");
        // Chart, dialog and macro sheets hold no cells of ours and take no letter.
        if (!relationship_is(*r, "worksheet")) continue;
        const std::uint64_t number = sheet_count();
        add_sheet(sheet.name);
        if (number >= sheet_limit) continue;
        context.put = [this, number](std::uint64_t row, std::uint64_t column, std::size_t value) {
            put(number, row, column, value);
        };
        read_xlsx_sheet(archive, resolve_target(workbook, r->target), context);
    }
    note_texts_cut(context.texts_cut);

    for (const xlsx_defined_name& name : description.names) add_name(name.name, parse_defined_name(name.definition));
}

}  // namespace fv
