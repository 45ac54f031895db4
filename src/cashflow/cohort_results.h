// A cohort's results record: its subsidy and the four components (financing,
// default/recovery, fees, all other), as the displays and outputs read them.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "cashflow/line_code.h"
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
    // Values by the line's position in its program's block, counted from the
    // block's disbursement line.
    std::array<double, 21> line_values{};
    double default_value = 0.0;
    double recovery_value = 0.0;
};

// A line's position in line_values, counted from the program's disbursement
// line (guarantees for program_loan_guarantee, else direct loans); none for a
// line before it or too far past it.
inline std::optional<std::size_t> line_value_position(int program_type, line_code line) {
    const line_code first = program_type == program_loan_guarantee ? line_code::lg_disbursements : line_code::dl_disbursements;
    const int position = code_number(line) - code_number(first);
    if (position < 0 || position >= static_cast<int>(std::tuple_size_v<decltype(cohort_results::line_values)>))
        return std::nullopt;
    return static_cast<std::size_t>(position);
}

// The value at a line's position; 0 for a line without one.
inline double line_value(const cohort_results& results, int program_type, line_code line) {
    const std::optional<std::size_t> position = line_value_position(program_type, line);
    return position ? results.line_values[*position] : 0.0;
}

}  // namespace fv
