// The output files a range names, written after its calculation, and the
// message 42 that reports one that could not be written.
#include "display/program/output_files.h"

#include "cashflow/message_list.h"
#include "display/program/import_file.h"
#include "display/program/program_displays.h"
#include "util/safe_text.h"
#include "util/file_io.h"
#include "util/run_files.h"

namespace fv {

bool is_input_spreadsheet(const credit_program& program, const std::string& path) {
    return !program.workbook_path.empty() && !path.empty() && same_file(path, program.workbook_path);
}

std::optional<std::string> overwritten_by_output(const credit_program& program, const std::string& path) {
    return refused_output(path, program.workbook_path);
}

void report_output_failure(credit_program& program, const std::string& path, bool replace_earlier) {
    if (replace_earlier) program.messages().remove_range(output_file_message, output_file_message);
    if (const std::optional<std::string> overwritten = overwritten_by_output(program, path))
        program.add(output_file_message, format_message("Output file %s is %s; it was not overwritten",
                                                        safe_text(path).c_str(), overwritten->c_str()));
    else
        program.add(output_file_message, format_message("Unable to open output file %s", safe_text(path).c_str()));
}

std::string write_program_output(const credit_program& program, const std::string& path, std::string_view text) {
    if (path.empty()) return "no file name was given";
    if (const std::optional<std::string> overwritten = overwritten_by_output(program, path))
        return "it is " + *overwritten;
    return write_failure_reason(replace_file(path, text));
}

std::string text_output_file_text(const credit_program& program) {
    // Rendered whole: the size limit applies, but a text file gets no notice.
    return make_subsidy_display(program).render_text();
}

bool write_output_files(credit_program& program) {
    // Once here, not per file: two files that fail leave two messages.
    program.messages().remove_range(output_file_message, output_file_message);
    bool good = true;
    if (!program.csv_file_name.empty()) good = write_import_file(program, program.csv_file_name, false) && good;
    if (!program.output_file_name.empty()) {
        const std::string path = program.output_file_name;
        if (!write_program_output(program, path, text_output_file_text(program)).empty()) {
            program.output_file_name.clear();
            report_output_failure(program, path, false);
            good = false;
        }
    }
    return good;
}

}  // namespace fv
