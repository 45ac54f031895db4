// The sets of the shipped rate file, made from monthly yields: one actual set
// per complete fiscal year (October to September averages, "FY YYYY
// average") and one budget set per budget year 1992-2030 ("Budget YYYY"),
// each the average of the fiscal year two years before, or of the last twelve
// months of the table where that year is not complete.
#pragma once

#include <string>
#include <vector>

#include "rates/rate_set.h"
#include "treasury_months.h"

namespace fv {

struct shipped_rate_sets {
    std::vector<rate_set> actual;
    std::vector<rate_set> budget;
    std::vector<std::string> notes;  // fiscal years left out between the first and the last
};

// Throws text_error when the table does not end in twelve complete months.
shipped_rate_sets make_shipped_rate_sets(const month_table& months);

}  // namespace fv
