// Searching for a cohort's single effective rate: maturities and bounds from
// the curve, five samples across them, a recursive root search over flat
// rates and bisection within each bracket, with a nearest-rate fallback when
// no rate in range reproduces the subsidy.
#include "pv/single_effective_rate.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "pv/factor_grid.h"
#include "util/decimal_round.h"
#include "util/text_error.h"

namespace fv {

namespace {

constexpr double search_low = 0.01;
constexpr double search_high = 20.0;

// Sampling stops splitting intervals narrower than this.
constexpr double narrowest_interval = 0.01;

// Bisection between two doubles settles within a few thousand halvings at
// the very worst; the cap only guards against a cycle.
constexpr int most_halvings = 5000;

std::string format(const char* pattern, double value) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// A miss that is not a number counts as a miss.
bool misses(double target, double subsidy, double tolerance) { return !(std::fabs(target - subsidy) <= tolerance); }

}  // namespace

double average_maturity(std::span<const single_rate_row> rows) {
    double weighted = 0.0;
    double total = 0.0;
    for (const single_rate_row& row : rows) {
        const int step = grid_step(row.frequency);
        if (step == 0) continue;
        for (std::size_t k = 0; k < row.amounts.size(); ++k) {
            const double size = std::fabs(row.amounts[k]);
            weighted += (static_cast<double>(row.start) + static_cast<double>(k) * step) * size;
            total += size;
        }
    }
    if (total == 0.0) return 0.0;
    return weighted / (24.0 * total);
}

double maximum_maturity(std::span<const single_rate_row> rows) {
    bool any = false;
    double latest = 0.0;
    for (const single_rate_row& row : rows) {
        const int step = grid_step(row.frequency);
        if (step == 0 || row.amounts.empty()) continue;
        const double last = static_cast<double>(row.start) + static_cast<double>(row.amounts.size() - 1) * step;
        if (!any || last > latest) latest = last;
        any = true;
    }
    return latest / 24.0;
}

double annual_effective(double semiannual_rate) {
    const double half = 1.0 + semiannual_rate * 0.005;
    return (half * half - 1.0) * 100.0;
}

std::vector<single_rate_message> nearest_rate_messages(int year, double target, double nearest) {
    char first[160];
    std::snprintf(first, sizeof first,
                  "For the FY %d cohort, an exact single effective rate could not be computed.  Nearest used", year);
    return {
        {50, first},
        {50, format("     Target subsidy was.... %7.3lf percent", target)},
        {50, format("     Nearest subsidy was... %7.3lf percent", nearest)},
        {50, format("     Difference is......... %7.3lf percent", target - nearest)},
    };
}

single_rate_search::single_rate_search(subsidy_evaluator evaluate) : evaluate_(std::move(evaluate)) {
    // On the fly before any rate is set, so no table is ever built.
    engine_.set_on_the_fly(true);
}

double single_rate_search::at(double rate) {
    if (std::isnan(rate)) return evaluate_at(rate);
    if (auto found = known_.find(rate); found != known_.end()) return found->second;
    const double subsidy = evaluate_at(rate);
    known_.emplace(rate, subsidy);
    return subsidy;
}

double single_rate_search::evaluate_at(double rate) {
    engine_.set_single_effective_rate(rate);
    engine_.make();
    ++evaluations_;
    return evaluate_(engine_);
}

std::vector<double> single_rate_search::find_roots(double lo, double hi, double target) {
    samples_.fill(0.0);
    if (hi - lo >= narrowest_interval) {
        const double step = (hi - lo) / 4.0;
        for (int i = 0; i < 5; ++i) samples_[static_cast<std::size_t>(i)] = round_decimal(at(lo + i * step), 6);
        bool varies = false;
        for (int i = 1; i < 5; ++i) varies = varies || samples_[static_cast<std::size_t>(i)] != samples_[0];
        if (varies) {
            for (int i = 4; i >= 1; --i) samples_[static_cast<std::size_t>(i)] -= samples_[static_cast<std::size_t>(i - 1)];
            samples_[0] = 0.0;
        } else {
            samples_.fill(0.0);
        }
    }
    bool rising = false;
    bool falling = false;
    for (double difference : samples_) {
        if (difference > 0) rising = true;
        if (difference < 0) falling = true;
    }
    if (!(rising && falling)) {
        const double at_lo = at(lo);
        const double at_hi = at(hi);
        const bool bracketed = target == at_lo || target == at_hi || (at_lo < target && target < at_hi) ||
                               (at_hi < target && target < at_lo);
        if (!bracketed) return {};
        return {bisect(lo, hi, target)};
    }
    const double mid = (lo + hi) / 2.0;
    if (mid == hi) return {};
    std::vector<double> roots = find_roots(mid, hi, target);
    std::vector<double> lower = find_roots(lo, mid, target);
    roots.insert(roots.end(), lower.begin(), lower.end());
    return roots;
}

double single_rate_search::bisect(double lo, double hi, double target) {
    if (hi == lo) return hi;
    const double at_hi = at(hi);
    const double at_lo = at(lo);
    if (at_hi == at_lo) return (lo + hi) / 2.0;
    const bool increasing = at_hi > at_lo;
    double x = (lo + hi) / 2.0;
    double previous = 0.0;
    for (int pass = 0; pass < most_halvings; ++pass) {
        x = (lo + hi) / 2.0;
        const double s = at(x);
        // A subsidy that is not a number cannot guide the halving.
        if (!std::isfinite(s)) break;
        if (s > target) {
            (increasing ? hi : lo) = x;
        } else if (s < target) {
            (increasing ? lo : hi) = x;
        }
        const double d = std::fabs(s - target);
        if (d == previous || d == 0.0) break;
        previous = d;
    }
    return x;
}

single_rate_outcome compute_single_effective_rate(const single_rate_cohort& cohort, present_value_factors& engine, const rate_set& rate_set,
                    const subsidy_evaluator& evaluate) {
    single_rate_outcome outcome;
    if (!cohort.compute) {
        outcome.rate = cohort.single_effective_rate;
        return outcome;
    }

    // A flat rate set: the rate is its own rate, converted. All nine must
    // agree; equal quotes at four maturities say nothing about the others.
    const auto& r = rate_set.rates;
    bool flat = true;
    for (double rate : r) flat = flat && rate == r[0];
    if (flat) {
        outcome.rate = annual_effective(r[0]);
        return outcome;
    }

    const double target = cohort.subsidy_percentage;
    const double m = average_maturity(cohort.rows);
    if (!(m >= 0.01)) {
        outcome.messages = {{57, "Single effective rate was not calculated because the average maturity"},
                            {57, "   of the cash flow observations is zero or negative."}};
        outcome.rate = 0.0;
        return outcome;
    }

    // Bounds from this rate set's own curve, whatever an earlier search left
    // in the engine.
    engine.set(&rate_set);
    engine.make();
    const double longest = maximum_maturity(cohort.rows) * 24.0;
    const int n = longest >= grid_last ? grid_last : longest <= 0.0 ? 0 : static_cast<int>(longest);
    const auto [lowest, highest] = engine.range_of_zero_rates(n);
    const auto& zero = engine.curve().zero_rates;
    const double bound_low = annual_effective(zero[static_cast<std::size_t>(lowest)]);
    const double bound_high = annual_effective(zero[static_cast<std::size_t>(highest)]);
    const double middle = annual_effective(engine.curve().interpolate_rate(m));

    auto evaluate_on = [&](double rate) {
        engine.set_single_effective_rate(rate);
        engine.make();
        ++outcome.evaluations;
        return evaluate(engine);
    };
    const double s1 = evaluate_on(bound_low);
    const double s2 = evaluate_on((middle + bound_low) / 2.0);
    const double s3 = evaluate_on(middle);
    const double s4 = evaluate_on((bound_high + middle) / 2.0);
    const double s5 = evaluate_on(bound_high);

    if (std::fabs(target - s2) < 0.002 && std::fabs(target - s3) < 0.002 && std::fabs(target - s4) < 0.002) {
        outcome.rate = middle;
        return outcome;
    }

    if (cohort.highest_zero_rate == not_available)
        throw text_error("cf_cohort::get_ser called before a subsidy was calculated");

    single_rate_search search(evaluate);
    const std::vector<double> roots = search.find_roots(search_low, search_high, target);
    double rate = middle;
    if (roots.empty()) {
        if (misses(target, s3, 0.005)) outcome.messages = nearest_rate_messages(cohort.year, target, s3);
    } else {
        rate = roots.front();
        for (double root : roots)
            if (std::fabs(root - middle) < std::fabs(rate - middle)) rate = root;
        if (rate > bound_high) {
            rate = bound_high;
            if (misses(target, s5, 0.001)) outcome.messages = nearest_rate_messages(cohort.year, target, s5);
        } else if (rate < bound_low) {
            rate = bound_low;
            if (misses(target, s1, 0.005)) outcome.messages = nearest_rate_messages(cohort.year, target, s1);
        } else {
            const double reached = evaluate_on(rate);
            if (misses(target, reached, 0.005)) outcome.messages = nearest_rate_messages(cohort.year, target, reached);
        }
    }
    outcome.evaluations += search.evaluations();
    outcome.rate = rate;
    return outcome;
}

}  // namespace fv
