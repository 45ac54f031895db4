// The input-editing steps in their order.
#include "subsidy/input_editing.h"

#include "cashflow/distribution.h"
#include "cashflow/wide_rows.h"
#include "subsidy/consistency_checks.h"

namespace fv {

bool edit_input(credit_program& program) {
    for (auto& cohort : program.cohorts) combine_rows(*cohort);
    for (auto& cohort : program.cohorts) distribute_cohort(*cohort);
    for (auto& cohort : program.cohorts)
        for (auto& row : cohort->rows) spread_by_annual_shares(*row);
    for (auto& cohort : program.cohorts) consistency_pass(*cohort, program.messages());
    bool divided = false;
    for (auto& cohort : program.cohorts) divided = divide_wide_rows(*cohort) || divided;
    for (auto& cohort : program.cohorts)
        for (auto& row : cohort->rows) row->trim_trailing_zeros();
    return divided;
}

}  // namespace fv
