// A cohort's results record: its subsidy and the four components (financing,
// default/recovery, fees, all other), as the displays and outputs read them.
#pragma once

#include <array>

#include "pv/present_value_factors.h"

namespace fv {

struct cohort_results {
    int year = 0;
    double single_effective_rate = not_available;
    bool rate_computed = true;  // "(C)" computed, "(P)" from the spreadsheet
    double total_principal = 0.0;
    double total_disbursements = 0.0;
    bool subsidy_computed = false;
    double subsidy_amount = not_available;
    double subsidy_percentage = not_available;
    double financing_amount = not_available;
    double financing_percentage = not_available;
    double default_amount = not_available;
    double default_percentage = not_available;
    double fee_amount = not_available;
    double fee_percentage = not_available;
    double other_amount = not_available;
    double other_percentage = not_available;
    double disbursements = not_available;
    double highest_zero_rate = not_available;
    double lowest_zero_rate = not_available;
    // Values by the line type's position in its program's block (direct loans
    // code - 46, guarantees code - 57).
    std::array<double, 21> line_values{};
    double default_value = 0.0;
    double recovery_value = 0.0;
};

// The value of a line type's position in the results (direct loans from code
// 46, guarantees from 57); 0 for a type outside the program's block.
inline double line_value(const cohort_results& results, int program_type, int line) {
    const int position = line - (program_type == 2 ? 57 : 46);
    if (position < 0 || position >= static_cast<int>(results.line_values.size())) return 0.0;
    return results.line_values[static_cast<std::size_t>(position)];
}

}  // namespace fv
