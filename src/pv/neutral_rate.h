// The zero-subsidy borrower's rate: the rate at which a standard loan's
// payments, discounted on a rate set's yield curve, are worth exactly what
// was lent, shown as an effective annual rate. The dialog that asks for the
// loan's terms calls these; the search itself is present_value_factors::solve.
#pragma once

#include <string>
#include <string_view>

#include "rates/rate_set.h"

namespace fv {

// The dialog's choices: principal payments 0 amortized, 1 balloon (-1 none);
// payment frequency 0 annual, 1 semiannual, 2 quarterly, 3 monthly (-1 none).
inline constexpr int principal_amortized = 0;
inline constexpr int principal_balloon = 1;

// The term box read as a leading decimal integer: leading blanks and a sign
// allowed, 0 when there are no digits. Saturates instead of overflowing.
int read_term_years(std::string_view text);

// A rate per period (percent) as an effective annual rate (percent), for
// frequency codes 1-4 (1, 2, 4 or 12 periods a year).
double annualise_period_rate(double per_period, int frequency_code);

// The effective annual rate (percent) at which the loan's financing subsidy
// on the rate set's curve is zero. Throws "Please select a frequency" when no
// frequency is chosen, and passes on the factor build's and the solver's
// failure texts.
double zero_subsidy_rate(const rate_set& rates, int principal_payments, int payment_frequency, int term_years);

// The result as the dialog shows it ("%.4lf").
std::string format_zero_subsidy_rate(double rate);

}  // namespace fv
