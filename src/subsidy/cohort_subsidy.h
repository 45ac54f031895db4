// A cohort's subsidy: every row's value (present value, or the plain sum of
// the disbursements) gathered into the components of the results record, and
// on request how each discounted row came to its value, for the display layer
// to draw.
#pragma once

#include <utility>
#include <vector>

#include "cashflow/cohort.h"
#include "pv/present_value_factors.h"
#include "pv/discount_batch.h"

namespace fv {

// How one discounted row came to its present value: its amounts, the factor
// of each and the value. No factors when the row has no frequency it is
// discounted at (its value is then 0, or what discount gives).
struct row_derivation {
    const cash_flow_row* row = nullptr;  // in the cohort derived
    std::vector<double> amounts;
    std::vector<double> factors;
    double present_value = 0.0;
};

// A cohort's discounted rows in order, a row with parts as its parts.
struct cohort_derivation {
    int year = 0;
    std::vector<row_derivation> rows;
};

// A row's value: disbursements are not discounted; a row with parts is the sum
// of its parts' present values; a row without amounts or frequency is worth 0.
double row_present_value(const cash_flow_row& row, present_value_factors& factors);

// Computes the cohort's results record with the factors given. On the rate
// set's curve (not a single-effective-rate trial) a row value or result that
// is not finite throws the cohort's failure.
void compute_subsidy(cohort& cohort, present_value_factors& factors);

// The same as compute_subsidy, and how each discounted row got its value.
cohort_derivation compute_subsidy_derived(cohort& cohort, present_value_factors& factors);

// A cohort's subsidy at one rate after another (on the curve, then at the
// trial rates of a single-effective-rate search): each time the figures
// compute_subsidy gives, with the rows to discount gathered once and
// discounted together. The cohort's rows must not change while it is used.
class batched_subsidy {
public:
    explicit batched_subsidy(const cohort& cohort);
    void compute(cohort& cohort, present_value_factors& factors);
    // The rows discounted, a row's parts in its place: frequency, timing point,
    // amounts and start as discount takes them; a row that is not discounted
    // (a disbursement row, a row without amounts or frequency) has none.
    const std::vector<discount_request>& discounted_rows() const { return batch_.rows(); }

private:
    std::vector<const cash_flow_row*> valued_rows_;  // a row's parts, or the row
    discount_batch batch_;                            // a request per valued row; none to discount is worth 0
    std::vector<std::pair<std::size_t, double>> sums_;  // the disbursement rows' sums, by valued row
    std::vector<double> leaf_values_;
    std::vector<double> row_values_;
};

}  // namespace fv
