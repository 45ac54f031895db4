// The single effective rate of a cohort, searched with the cohort's own
// subsidy calculation, and the marking of rates not computed.
#pragma once

#include "cashflow/cf_cohort.h"
#include "cashflow/cf_messages.h"
#include "pv/cf_pvfact.h"
#include "rates/cr_rate_item.h"

namespace fv {

// Needs the cohort's subsidy computed on the rate set's curve. Stores the rate
// in the results record and adds messages 50 and 57. The cohort's results hold
// a trial rate's subsidy afterwards: compute the subsidy again on the curve.
void get_ser(cf_cohort& cohort, cf_pvfact& engine, const cr_rate_item& rate_set, cf_messages& messages);

// The rate is not available ("(X)").
void mark_ser_not_computed(cf_cohort& cohort);

}  // namespace fv
