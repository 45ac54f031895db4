// The single effective rate of a cohort: the one annual rate that, used to
// discount every cash flow, gives the same subsidy as the yield curve. Found
// by sampling the subsidy over flat rates, splitting where it is not
// monotone and bisecting on each bracket. The cohort's subsidy is computed
// elsewhere; the search sees it only as a function of the factor engine.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "pv/present_value_factors.h"
#include "rates/rate_set.h"

namespace fv {

// One cash-flow row other than the disbursements: amount k falls at grid
// index start + k * step, the step given by the frequency code (1-4).
struct single_rate_row {
    int frequency = 1;
    int start = 0;
    std::vector<double> amounts;
};

// A numbered message for the run's message list.
struct single_rate_message {
    int number = 0;
    std::string text;
    bool operator==(const single_rate_message&) const = default;
};

// Years from the start of the cohort, weighted by the size of the amounts;
// 0 when every amount is 0.
double average_maturity(std::span<const single_rate_row> rows);
// The latest grid index of any row, in years; 0 without rows.
double maximum_maturity(std::span<const single_rate_row> rows);

// A rate set's semiannual rate (percent) as an annual effective rate.
double annual_effective(double semiannual_rate);

// The four lines of message 50 for a cohort whose subsidy no rate reaches.
std::vector<single_rate_message> nearest_rate_messages(int year, double target, double nearest);

// The cohort's subsidy percentage computed with the given engine.
using subsidy_evaluator = std::function<double(present_value_factors&)>;

// What the search needs of a cohort's results record.
struct single_rate_cohort {
    int year = 0;
    bool compute = true;                        // false: the rate came from the spreadsheet
    double single_effective_rate = not_available;
    double subsidy_percentage = not_available;  // from the curve calculation: the target
    double highest_zero_rate = not_available;   // not_available: no curve calculation has run
    std::vector<single_rate_row> rows;
};

struct single_rate_outcome {
    double rate = not_available;
    std::vector<single_rate_message> messages;
    int evaluations = 0;  // subsidy calculations made
};

// The root search over flat rates. Every evaluation uses a private engine
// that discounts directly, so no factor table is built per trial rate.
class single_rate_search {
public:
    explicit single_rate_search(subsidy_evaluator evaluate);

    // Subsidy percentage at one rate (percent, annual effective).
    double at(double rate);
    // Rates in [lo, hi] where the subsidy equals target: upper half first
    // wherever an interval had to be split.
    std::vector<double> find_roots(double lo, double hi, double target);
    // One rate in [lo, hi] where the subsidy meets target.
    double bisect(double lo, double hi, double target);

    const std::array<double, 5>& samples() const { return samples_; }
    int evaluations() const { return evaluations_; }

private:
    double evaluate_at(double rate);

    subsidy_evaluator evaluate_;
    present_value_factors engine_;
    std::array<double, 5> samples_{};
    // The subsidy at a rate does not change during a search: a rate sampled
    // once is not computed again when it becomes a bracket's end (NaN, which
    // an ordered map cannot hold, is never kept).
    std::map<double, double> known_;
    int evaluations_ = 0;
};

// The cohort's single effective rate (the stored one when computation is not
// requested). Sets and builds the rate set's curve for its bounds, so each
// cohort gets the same rate alone or after others; leaves the engine working
// from a single effective rate. Throws when no subsidy has been calculated.
single_rate_outcome compute_single_effective_rate(const single_rate_cohort& cohort, present_value_factors& engine, const rate_set& rate_set,
                    const subsidy_evaluator& evaluate);

}  // namespace fv
