// A cohort's subsidy: every row's value (present value, or the plain sum of
// the disbursements) gathered into the components of the results record,
// optionally writing each row's derivation to a display page.
#pragma once

#include "cashflow/cf_cohort.h"
#include "display/gr_page.h"
#include "pv/cf_pvfact.h"

namespace fv {

// A row's value: disbursements are not discounted; a row with parts is the sum
// of its parts' present values; a row without amounts or frequency is worth 0.
// With a page (which needs a line type) each discounted row writes its heading
// and derivation lines.
double do_npv(const cf_item& row, cf_pvfact& factors, gr_page* page = nullptr, const gr_line_type* type = nullptr);

// Computes the cohort's results record with the factors given; with a page,
// under a cohort heading. On the rate set's curve (not a single-effective-rate
// trial) a row value or result that is not finite throws the cohort's failure.
void compute_subsidy(cf_cohort& cohort, cf_pvfact& factors, gr_page* page = nullptr,
                     const gr_line_type* type = nullptr);

}  // namespace fv
