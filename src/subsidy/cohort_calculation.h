// Every cohort's subsidy, and on request its single effective rate, on all
// cores. Cohorts are independent: each is computed on an engine of its own
// built from the rate set, so the figures are the same bits whichever thread
// computes a cohort, and the messages and a failure come in cohort order, as
// one cohort after the other would give them.
#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>

#include "cashflow/credit_program.h"
#include "rates/rate_set.h"
#include "subsidy/flows_by_year.h"
#include "util/parallel_items.h"

namespace fv {

// Told how many cohorts are done of how many, now and then while the threads
// work; false stops the calculation.
using cohort_progress = item_progress;

// Thrown when a progress callback stopped the calculation.
class calculation_cancelled : public std::runtime_error {
public:
    calculation_cancelled() : std::runtime_error("the calculation was cancelled") {}
};

// Computes each cohort's results on the rate set's curve; with
// `with_single_effective_rate` also its single effective rate (messages 50 and
// 57), else marks the rate as not computed. When a cohort fails, the messages
// of the cohorts before it are added and its failure is thrown. With
// `progress`, the calling thread only watches: it calls `progress` before the
// first cohort, about every 50 ms and at the end; when it says stop, the
// cohorts not yet begun are left alone, no message is added and
// calculation_cancelled is thrown. With `flows`, each cohort's flows by fiscal
// year are gathered there too, in cohort order, from the same last pass.
void compute_cohorts(credit_program& program, const rate_set& rate_set, bool with_single_effective_rate,
                     unsigned threads, const cohort_progress& progress = {},
                     std::vector<cohort_flows>* flows = nullptr);

}  // namespace fv
