// Warnings about a cohort whose rows are each valid but tell an inconsistent
// story: principal that does not repay the disbursements, payments before the
// loans are made, defaults beyond the year's receipts, recoveries beyond
// defaults. They go to the run's message list; the run continues.
#pragma once

#include "cashflow/cohort.h"
#include "cashflow/message_list.h"
#include "cashflow/cohort_results.h"

namespace fv {

// Recomputes the cohort's totals and the rows' sign checks, then messages 36, 48 and 49.
void consistency_pass(cohort& cohort, message_list& messages);

// Message 37: recoveries worth more than the defaults they come from.
void present_value_test(const cohort& cohort, const cohort_results& results, message_list& messages);

}  // namespace fv
