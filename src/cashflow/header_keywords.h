// The header keywords of a range. Each reader is called with the cursor on
// its keyword's cell, reads the value in the cell to its right into the
// program and reports a missing, invalid or duplicate value as a numbered
// message; only "Program type" and "Budget Year", read by the range parser,
// can stop a load.
#pragma once

#include <string>

#include "cashflow/line_code.h"
#include "workbook/workbook_reader.h"

namespace fv {

class credit_program;
class workbook_file;

// A keyword's value: the cell right of the keyword, as text after leading
// blanks; empty when the cell holds no text.
struct keyword_value {
    int result = content_no_cell;
    int kind = kind_none;
    std::string text;
    std::string cell;
};

// Moves the cursor onto the value's cell and reads it.
keyword_value read_keyword_value(workbook_file& book);

void read_amount_units(credit_program& program, workbook_file& book);
void read_single_effective_rate(credit_program& program, workbook_file& book);
// "Import file", "Output file" and "Sheet file".
void read_file_name(credit_program& program, workbook_file& book, line_code code);
void read_loan_type(credit_program& program, workbook_file& book);
void read_method(credit_program& program, workbook_file& book);
void read_purpose(credit_program& program, workbook_file& book);
void read_rate_assumption(credit_program& program, workbook_file& book);
void read_suppress_warnings(credit_program& program, workbook_file& book);
// "Timing", in the header or among a cohort's rows.
void read_timing_keyword(credit_program& program, workbook_file& book);

}  // namespace fv
