// The batch log: one summary line per cohort appended to a log file that
// collects the results of many batch runs.
#pragma once

#include <cstdio>
#include <string>

#include "cashflow/credit_program.h"

namespace fv {

// The program's log lines, one per cohort, each ending in CR LF:
//   "<spreadsheet> (<range>)", <year>, <total>, <interest>, <default>, <fee>,
//   <other>[, <single effective rate>],  "<rate selection>",  "(<n> warning messages)"
// or "Subsidy has not been computed" in place of the numbers.
std::string batch_lines(const credit_program& program);

// Appends the lines to a log the caller opened for appending. False when the
// log is the spreadsheet being read (nothing is written) or a write failed;
// a regular file is then cut back to its size before the write.
bool write_batch_line(const credit_program& program, std::FILE* log);

// Opens (creating it when missing) the log at `path` for appending and
// appends the lines, with the same checks.
bool write_batch_line(const credit_program& program, const std::string& path);

}  // namespace fv
