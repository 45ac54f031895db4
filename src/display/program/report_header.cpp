// Header lines: a 54-character dotted label in field 1, the value from column
// 56 on in field 2.
#include "display/program/report_header.h"

#include "cashflow/value_names.h"
#include "util/utf8_text.h"

namespace fv {

std::string report_label(const std::string& text) {
    std::string label = text;
    const std::size_t characters = character_count(label);
    if (characters < 54) label.append(54 - characters, '.');
    return label;
}

const char* pro_rata_method_name(loan_model loan_type) {
    return loan_type == loan_model::construction ? "Construction model" : "Multiple loan model";
}

const char* purpose_name(std::optional<calculation_purpose> purpose) {
    if (!purpose) return "(Unknown)";
    switch (*purpose) {
        case calculation_purpose::budget_formulation: return "Budget formulation";
        case calculation_purpose::interest_rate_reestimate: return "Interest rate reestimate";
        case calculation_purpose::technical_reestimate: return "Technical reestimate";
        case calculation_purpose::modification: return "Modification";
        case calculation_purpose::analysis: return "Analysis";
    }
    return "(Unknown)";
}

std::string range_text(const credit_program& program) {
    return program.range_name + "  " + program.range_coordinates;
}

display_page make_page_header(const credit_program& program, line_layout first_layout, const std::string& title, bool short_header) {
    display_page page;
    const line_layout& type = page.add_layout(std::move(first_layout));
    const auto add = [&](const char* label, const std::string& value) {
        display_line& line = page.add_line(type);
        line.add_label(report_label(label));
        line.add_label(value);
    };
    add("Ferravane version", program.version_text);
    add("Run date/time", program.run_time);
    add("Display type", title);
    add("Program name", program.name);
    add("Description", program.description);
    add("Program type", program_type_name(program.program_type));
    add("Spreadsheet name", program.workbook_path);
    add("Range name and coordinates", range_text(program));
    add("Last updated on", program.workbook_date);
    add("Pro-rata method", pro_rata_method_name(program.loan_type));
    add("All content displayed", "See Tips-Views-Limitations menu for potential problems");
    if (short_header) return page;
    add("Purpose of this calculation", purpose_name(program.purpose));
    add("Interest rate assumptions", program.rate_assumptions.value_or(" "));
    return page;
}

}  // namespace fv
