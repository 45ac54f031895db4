// The import file: the run's header facts, one line per cohort with its
// subsidy and components, footnotes and the run's messages, every text
// quoted, for loading into another spreadsheet or program.
#pragma once

#include <string>

#include "cashflow/credit_program.h"

namespace fv {

// The whole import file, lines ending in CR LF. Texts from the spreadsheet
// have their control characters replaced by blanks; a value that is not
// available is written as an empty quoted text.
std::string import_file_text(const credit_program& program);

// Writes (replaces) the import file at `path`. A failed write leaves any
// earlier file as it was and adds message 42 (see report_output_failure),
// removing earlier messages 42 when `replace_earlier` is set. Refuses the
// spreadsheet being read and every other file the run reads. True when the
// file was written; otherwise `reason`, when given, says why.
bool write_import_file(credit_program& program, const std::string& path, bool replace_earlier = true,
                       std::string* reason = nullptr);

}  // namespace fv
