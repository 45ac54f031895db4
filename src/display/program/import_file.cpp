// The import file's lines and its checked, all-or-nothing write.
#include "display/program/import_file.h"

#include <cmath>
#include <cstdio>

#include "cashflow/value_names.h"
#include "display/program/output_files.h"
#include "display/program/report_header.h"
#include "util/safe_text.h"
#include "util/file_io.h"

namespace fv {

namespace {

constexpr const char* line_end = "\r\n";

// The not-available marker (and anything non-finite) is never printed as a number.
bool available(double value) { return std::isfinite(value) && std::fabs(value) < not_available; }

std::string fixed_or_empty(double value, int decimals) {
    if (!available(value)) return "\"\"";
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

void header_line(std::string& out, const char* label, std::string_view value, const char* between = "  ") {
    out += quoted_text(report_label(label));
    out += between;
    out += quoted_text(value);
    out += line_end;
}

void cohort_line(std::string& out, const cohort& cohort) {
    const cohort_results& r = cohort.results;
    const bool rate = available(r.single_effective_rate);
    const std::string year = std::to_string(cohort.year);
    const std::string total = fixed_or_empty(r.subsidy_percentage, 2);
    const std::string interest = fixed_or_empty(r.financing_percentage, 2);
    const std::string fault = fixed_or_empty(r.default_percentage, 2);
    const std::string fee = fixed_or_empty(r.fee_percentage, 2);
    const std::string other = fixed_or_empty(r.other_percentage, 2);
    const std::string rate_text = rate ? fixed_or_empty(r.single_effective_rate, 4) : "0.00";
    const char* mark = !rate ? "(X)" : r.rate_computed ? "(C)" : "(P)";
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, "%s %10s %10s %12s %11s %10s %10s   \"%s\"", year.c_str(), total.c_str(),
                  interest.c_str(), fault.c_str(), fee.c_str(), other.c_str(), rate_text.c_str(), mark);
    out += buffer;
    out += line_end;
}

}  // namespace

std::string import_file_text(const credit_program& program) {
    std::string out;
    header_line(out, "Ferravane version", program.version_text);
    header_line(out, "Run date/time", program.run_time);
    header_line(out, "Program name", program.name);
    header_line(out, "Description", program.description);
    header_line(out, "Program type", program_type_name(program.program_type));
    header_line(out, "Spreadsheet name", program.workbook_path);
    header_line(out, "Range name and coordinates", range_text(program));
    header_line(out, "Last updated on", program.workbook_date);
    header_line(out, "Pro-rata method", pro_rata_method_name(program.loan_type), ", ");
    header_line(out, "Interest rate assumptions", program.rate_assumptions.value_or(""));
    out += line_end;

    out += "\"Cohort\"  \"Total\"    \"Interest\"  \"Default\"   \"Fee\"     \"Other\"    \"Single effective\"";
    out += line_end;
    out += "\"Year\"    \"Subsidy\"  \"Subsidy\"   \"Subsidy\"  \"Subsidy\"  \"Subsidy\"  \"Rate\"            ";
    out += line_end;
    for (const auto& cohort : program.cohorts) cohort_line(out, *cohort);

    out += line_end;
    out += "\"Footnotes:\"";
    out += line_end;
    out += line_end;
    for (const char* footnote : {
             "\"    (C) - Single effective rate was computed (see Actions and Preferences).\"",
             "\"    (P) - Single effective rate from the spreadsheet was used instead of basket-of-zeros method.\"",
             "\"    (X) - Single effective rate was not provided in the spreadsheet\"",
             "\"          and computation was disabled (see Actions and Preferences).\"",
         }) {
        out += footnote;
        out += line_end;
    }

    out += line_end;
    out += line_end;
    out += "\"Error messages:\"";
    out += line_end;
    if (program.messages().count() == 0) {
        out += "\"(none)\"";
        out += line_end;
    }
    for (const message& message : program.messages().list()) {
        char number[32];
        std::snprintf(number, sizeof number, "W%-3.3d:  ", static_cast<int>(message.number));
        out += quoted_text(number + message.text);
        out += line_end;
    }
    return out;
}

bool write_import_file(credit_program& program, const std::string& path, bool replace_earlier, std::string* reason) {
    const std::string failure = write_program_output(program, path, import_file_text(program));
    if (failure.empty()) return true;
    if (reason != nullptr) *reason = failure;
    report_output_failure(program, path, replace_earlier);
    return false;
}

}  // namespace fv
