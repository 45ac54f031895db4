// A cohort: the loans of one fiscal year and the cash-flow rows that describe
// them, in the order of the range. The range parser creates a cohort at each
// cohort start and lets it read its rows; the subsidy calculation works on it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cashflow/cash_flow_row.h"
#include "cashflow/cohort_results.h"

namespace fv {

class credit_program;
class workbook_file;

class cohort {
public:
    // program may be absent (rows then read with the default timing and
    // their messages go nowhere); program_type one of program_direct_loan,
    // program_loan_guarantee.
    cohort(credit_program* owner, int fiscal_year, int type_of_program);

    // Reads the rows after the start row under the cursor, up to the row that
    // ends the cohort (left under the cursor's next step) or the range's end.
    // started_by_cohort_line: the start row was a "cohort" line.
    void read_rows(workbook_file& book, bool started_by_cohort_line);

    // Takes a row that holds data; the first disbursement row becomes the
    // cohort's disbursement row, a second one raises E017.
    cash_flow_row& add_row(std::unique_ptr<cash_flow_row> row);

    // Number of disbursement periods: the disbursement row's annual totals when
    // it was read as annual totals, else its periodic amounts; 0 without one.
    int disbursement_periods() const;

    // Checks run when the cohort has been read, in this order.
    void check_disbursement_periods();  // E020 (after re-basing tied rows)
    void check_same_type_rows();        // E019

    credit_program* program = nullptr;
    int year = 0;
    int program_type = program_unknown;
    std::string start_cell;  // the cohort's start row
    std::vector<std::unique_ptr<cash_flow_row>> rows;
    cash_flow_row* disbursement_row = nullptr;
    // Kept when the rows' distributed parts are built when used: the rows as
    // combined, before distribution, for a calculation to edit again.
    std::vector<std::unique_ptr<cash_flow_row>> combined_rows;

    // Sums kept by the rows' sign checks.
    double total_principal = 0.0;
    double total_disbursements = 0.0;

    // The last calculation's subsidy and components.
    cohort_results results;
};

}  // namespace fv
