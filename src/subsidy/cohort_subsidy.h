// A cohort's subsidy: every row's value (present value, or the plain sum of
// the disbursements) gathered into the components of the results record.
#pragma once

#include "cashflow/cf_cohort.h"
#include "pv/cf_pvfact.h"

namespace fv {

// A row's value: disbursements are not discounted; a row with parts is the sum
// of its parts' present values; a row without amounts or frequency is worth 0.
double do_npv(const cf_item& row, cf_pvfact& factors);

// Computes the cohort's results record with the factors given.
void compute_subsidy(cf_cohort& cohort, cf_pvfact& factors);

}  // namespace fv
