// The subsidy arithmetic of one calculation: which component each line type
// enters and with what sign, for direct loans and loan guarantees.
#pragma once

#include "cashflow/cohort_results.h"
#include "cashflow/line_code.h"

namespace fv {

// Accumulates row values into the components of one calculation.
class subsidy_accumulator {
public:
    // program_loan_guarantee is a loan guarantee; anything else a direct loan.
    subsidy_accumulator(cohort_results& results, int program_type);

    // Adds one row's value (present value, or the plain sum for disbursements).
    void add(line_code line, double value);

    // Totals and percentages; with disbursements of exactly 0 everything stays 0
    // and the subsidy is not marked computed.
    void finish();

private:
    cohort_results& results_;
    int program_type_;
};

}  // namespace fv
