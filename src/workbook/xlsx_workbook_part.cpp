#include "workbook/xlsx_workbook_part.h"

#include <optional>

#include "util/ascii.h"
#include "workbook/bounded_text.h"
#include "workbook/workbook_failure.h"
#include "workbook/xml_stream.h"
#include "workbook/zip_archive.h"
#include "workbook/zip_workbook.h"

namespace fv {

namespace {

bool is_true(std::string_view value) { return value == "1" || value == "true"; }

// r:id, whichever of the relationship namespaces (transitional or strict) it is in.
std::optional<std::string_view> relationship_id(const xml_attributes& attributes) {
    for (const std::string_view ns : {"http://schemas.openxmlformats.org/officeDocument/2006/relationships",
                                      "http://purl.oclc.org/ooxml/officeDocument/relationships"})
        if (const auto id = attributes.get(ns, "id")) return id;
    return std::nullopt;
}

class workbook_handler : public xml_handler {
public:
    explicit workbook_handler(xlsx_workbook_description& into) : into_(into) {}

    void start_element(const xml_name& name, const xml_attributes& attributes) override {
        if (name.local == "sheet") {
            if (into_.sheets.size() >= zip_workbook::most_sheets)
                throw workbook_failure(workbook_problem::too_large, "it holds more than " +
                                                                        std::to_string(zip_workbook::most_sheets) +
                                                                        " sheets");
            into_.sheets.push_back({std::string(attributes.get("name").value_or("")),
                                    std::string(relationship_id(attributes).value_or(""))});
        } else if (name.local == "definedName") {
            const std::string_view defined = attributes.get("name").value_or("");
            // Print areas, titles, filters: built-in names are no cash-flow ranges; hidden ones are not shown.
            in_name_ = !defined.empty() && !starts_with_ignoring_case(defined, "_xlnm.") &&
                       !is_true(attributes.get("hidden").value_or(""));
            if (in_name_) {
                name_ = std::string(defined);
                definition_.clear();
            }
        } else if (name.local == "workbookPr") {
            into_.date1904 = is_true(attributes.get("date1904").value_or(""));
        }
    }
    void end_element(const xml_name& name) override {
        if (name.local != "definedName" || !in_name_) return;
        in_name_ = false;
        if (into_.names.size() >= zip_workbook::most_names)
            throw workbook_failure(workbook_problem::too_large,
                                   "it holds more than " + std::to_string(zip_workbook::most_names) + " names");
        if (definition_.cut()) ++into_.texts_cut;
        into_.names.push_back({std::move(name_), definition_.str()});
    }
    void text(std::string_view piece) override {
        if (in_name_) definition_.append(piece);
    }

private:
    xlsx_workbook_description& into_;
    bool in_name_ = false;
    std::string name_;
    bounded_text definition_;
};

}  // namespace

xlsx_workbook_description read_xlsx_workbook(zip_archive& archive, std::string_view part) {
    xlsx_workbook_description description;
    workbook_handler handler(description);
    parse_part(archive, part, handler);
    return description;
}

}  // namespace fv
