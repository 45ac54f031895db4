// Writing the files a spreadsheet range asks for after a calculation: the
// import file and the text output file (the subsidy display as text). A file
// that cannot be written does not stop the run; it becomes message 42. No
// output may replace the spreadsheet being read.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cashflow/credit_program.h"

namespace fv {

// The message an output file that could not be written adds.
inline constexpr unsigned output_file_message = 42;

// True when the path names the spreadsheet the program was read from (same
// device and inode once links are followed; a hard link counts too).
bool is_input_spreadsheet(const credit_program& program, const std::string& path);

// What an output at the path would overwrite that the run reads: "the
// spreadsheet being read", the settings file, an own-rate file or a data file
// of the program; nothing when the output may be written.
std::optional<std::string> overwritten_by_output(const credit_program& program, const std::string& path);

// Adds message 42 for the path: "Unable to open output file %s", or, when the
// path is a file the run reads, "Output file %s is the spreadsheet being read;
// it was not overwritten" (or the settings file, ...). With `replace_earlier`
// every earlier message 42 is removed first, so retrying one file never piles
// them up.
void report_output_failure(credit_program& program, const std::string& path, bool replace_earlier);

// Writes an output file the program's run names: refused when it would
// overwrite a file the run reads, else replaced whole. "" when written, else
// the reason for a message ("it is the settings file", "you may not write to
// it", ...).
std::string write_program_output(const credit_program& program, const std::string& path, std::string_view text);

// Removes the messages 42 of an earlier write once, then writes the import
// file when an import file path is set and the text output file when a text
// output path is set; each file that fails adds its own message 42 (and a
// failed text output path is cleared). False when any file failed.
bool write_output_files(credit_program& program);

// The text output file's content: the subsidy display rendered whole, CR LF
// line ends, without a truncation notice.
std::string text_output_file_text(const credit_program& program);

}  // namespace fv
