// The single effective rate of a cohort, searched with the cohort's own
// subsidy calculation, and the marking of rates not computed.
#pragma once

#include "cashflow/cohort.h"
#include "cashflow/message_list.h"
#include "pv/present_value_factors.h"
#include "rates/rate_set.h"
#include "subsidy/cohort_subsidy.h"

namespace fv {

// Needs the cohort's subsidy computed on the rate set's curve. Stores the rate
// in the results record and adds messages 50 and 57. The cohort's results hold
// a trial rate's subsidy afterwards: compute the subsidy again on the curve,
// or put back the results from before. The trials go through `subsidy`, the
// cohort's rows as they are.
void compute_single_effective_rate(cohort& cohort, present_value_factors& engine, const rate_set& rate_set,
                                   message_list& messages, batched_subsidy& subsidy);
void compute_single_effective_rate(cohort& cohort, present_value_factors& engine, const rate_set& rate_set, message_list& messages);

// The rate is not available ("(X)").
void mark_single_effective_rate_not_computed(cohort& cohort);

}  // namespace fv
