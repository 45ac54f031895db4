// Numbers and display names of the small enumerations of the cash-flow model:
// program types, frequencies of a row's amounts, annual totals paid at a finer
// frequency, timing points within a period, and amount units. (Rate-source
// names live with the rate sets: rate_source_name in rates/rate_set.h.)
#pragma once

#include <string_view>

namespace fv {

// Program types.
inline constexpr int program_unknown = 0;
inline constexpr int program_direct_loan = 1;
inline constexpr int program_loan_guarantee = 2;

// Frequencies of a row's amounts (0 none given).
inline constexpr int frequency_annual = 1;
inline constexpr int frequency_semiannual = 2;
inline constexpr int frequency_quarter = 3;
inline constexpr int frequency_monthly = 4;

// Annual totals paid at a finer frequency (0 none).
inline constexpr int annual_total_monthly_payments = 1;
inline constexpr int annual_total_quarterly_payments = 2;
inline constexpr int annual_total_semiannual_payments = 3;

// Timing points within a period (0 not given).
inline constexpr int point_beginning = 1;
inline constexpr int point_middle = 2;
inline constexpr int point_end = 3;

// Amount units (0 not given).
inline constexpr int units_dollars = 1;
inline constexpr int units_thousands = 2;
inline constexpr int units_millions = 3;
inline constexpr int units_billions = 4;

// "direct loan", "loan guarantee", else "unknown".
const char* program_type_name(int type);
// "annual", "semiannual", "quarter", "monthly", else "unknown frequency".
const char* frequency_name(int frequency);
// Periods a year of a frequency 1-4; 0 for none or an unknown value.
int frequency_periods(int frequency);
// "annual total (monthly pmts)", "annual total (qtr pmts)",
// "annual total (semi pmts)", else "unknown compatibility frequency".
const char* annual_total_frequency_name(int annual_total_frequency);
// "beginning", "middle", "end", else "unknown point".
const char* timing_point_name(int point);
// "dollars", "thousands", "millions", "billions", else "unknown units".
const char* amount_unit_name(int units);
// Units named by the first letter of a text (D, T, M, B in any case, after
// blanks); 0 when the letter is none of them.
int amount_units_from_text(std::string_view text);

}  // namespace fv
