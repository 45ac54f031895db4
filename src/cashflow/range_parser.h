// Reading a credit program from one named range of a workbook.
#pragma once

#include <string_view>

#include "cashflow/credit_program.h"

namespace fv {

class workbook_file;

// What the run decides for a range that does not say.
struct range_defaults {
    // The budget year the first cohort counts from when the range names none;
    // a year outside 1992-3000 counts as none.
    int budget_year = 0;
    // Whether the first cohort's year is the budget year itself (else the year before).
    bool first_year_is_budget_year = false;
};

// Reads the named range of `book` into `program` (cleared first, keeping its
// run time stamp) and returns the first cohort. Every failure is thrown as
// text_error; the program is then not to be used, except for the messages
// read before the failure.
cohort& parse_range(workbook_file& book, std::string_view range_name, const range_defaults& defaults,
                    credit_program& program);

}  // namespace fv
