// A cohort's subsidy: every row's value (present value, or the plain sum of
// the disbursements) gathered into the components of the results record,
// optionally writing each row's derivation to a display page.
#pragma once

#include "cashflow/cohort.h"
#include "display/display_page.h"
#include "pv/present_value_factors.h"

namespace fv {

// A row's value: disbursements are not discounted; a row with parts is the sum
// of its parts' present values; a row without amounts or frequency is worth 0.
// With a page (which needs a line type) each discounted row writes its heading
// and derivation lines.
double row_present_value(const cash_flow_row& row, present_value_factors& factors, display_page* page = nullptr, const line_layout* type = nullptr);

// Computes the cohort's results record with the factors given; with a page,
// under a cohort heading. On the rate set's curve (not a single-effective-rate
// trial) a row value or result that is not finite throws the cohort's failure.
void compute_subsidy(cohort& cohort, present_value_factors& factors, display_page* page = nullptr,
                     const line_layout* type = nullptr);

}  // namespace fv
