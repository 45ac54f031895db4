// A disbursement row is carried both ways: as amounts per period and as annual
// totals. These conversions build the missing form from the one that was read,
// including the old-style split of annual totals into quarters by the
// program's quarter factors.
#pragma once

#include <vector>

#include "cashflow/line_code.h"

namespace fv {

class cash_flow_row;
class credit_program;

// Annual totals (annual_totals) from the periodic amounts: one sum per year of 12, 4
// or 2 amounts, annual_total_frequency 1, 2 or 3; an annual row copies its amounts and
// keeps annual_total_frequency 0.
void annual_totals_from_periods(cash_flow_row& row);

// Periodic amounts (amounts) from the annual totals: twelfths for monthly
// payments, halves for semiannual ones, the old-style quarterly split for
// quarterly ones.
void periods_from_annual_totals(cash_flow_row& row);

// Four quarterly amounts per annual total by the quarter factors of the
// row's kind (inflow or outflow class) for the cohort year: the first-year
// factors for the first year and, reversed, for the last; the regular factors
// otherwise; equal quarters where no factors apply. The program may be absent.
std::vector<double> quarters_from_annual_totals(const std::vector<double>& totals, line_code line, int start_year,
                                                int cohort_year, const credit_program* program);

}  // namespace fv
