// What a cohort's calculation moved in each fiscal year: the amounts of each
// kind of row and their present values, summed from the derivation record the
// engine returned (disbursements, which are not discounted, count at their
// amount). Small enough to keep for every cohort after a calculation.
#pragma once

#include <array>
#include <vector>

#include "cashflow/cash_flow_kind.h"
#include "subsidy/cohort_subsidy.h"

namespace fv {

struct year_flows {
    int year = 0;
    std::array<double, cash_flow_kind_count> amounts{};
    std::array<double, cash_flow_kind_count> present_values{};
};

struct cohort_flows {
    int year = 0;                   // the cohort's
    std::vector<year_flows> years;  // consecutive fiscal years, earliest first
};

// The fiscal year of a row's amount number `index` (from 0), as its start
// year and period place it; annual totals discounted as such count by year.
int fiscal_year_of_amount(const cash_flow_row& row, std::size_t index);

// Sums the cohort's disbursement rows and the derivation's discounted rows by
// fiscal year and kind; each discounted amount adds amount times its factor.
cohort_flows flows_by_year(const cohort& cohort, const cohort_derivation& derivation);

}  // namespace fv
