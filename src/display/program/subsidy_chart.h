// What the subsidy-by-cohort chart draws: each cohort's subsidy rate and its
// four components (percent of disbursements) and, where there is one, its
// single effective rate, straight from the cohorts' results records.
#pragma once

#include <optional>
#include <vector>

#include "cashflow/credit_program.h"

namespace fv {

struct cohort_subsidy_bar {
    int year = 0;
    double financing = 0.0;
    double defaults = 0.0;
    double fees = 0.0;
    double other = 0.0;
    double total = 0.0;
    std::optional<double> single_effective_rate;
};

// The cohorts in the program's order; a cohort whose subsidy was not computed
// (no disbursements) shows zeros, as the subsidy display does.
std::vector<cohort_subsidy_bar> make_subsidy_chart(const credit_program& program);

}  // namespace fv
