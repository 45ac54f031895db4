// Fitting the yield curve: the segment solver (a bisection on the forward
// rate of the segment's end knot, with forwards in between linear in log
// time), par yields, and the filling-in of missing quotes.
#include "rates/yield_curve.h"

#include <bit>
#include <cmath>
#include <cstdint>

#include "util/text_error.h"

namespace fv {

namespace {

// The stopping rule of the midpoint searches.
class midpoint_search {
public:
    // Narrows [lo, hi] by the error e at the midpoint m; true when converged.
    bool step(double m, double& e, double& lo, double& hi);

private:
    int pass_ = 0;
    double previous_error_ = 0.0;
    double previous_mid_ = 0.0;
};

}  // namespace

bool midpoint_search::step(double m, double& e, double& lo, double& hi) {
    bool last = false;
    if (pass_++ == 0) {
        previous_error_ = e;
        previous_mid_ = m;
    } else {
        if (std::fabs(e) < 0.0001) {
            if (e != previous_error_)
                previous_error_ = e;
            else
                e = 0.0;
        }
        if (m == previous_mid_) last = true;
        previous_mid_ = m;
    }
    if (e < 0) {
        lo = m;
    } else if (e > 0) {
        hi = m;
    } else if (e == 0) {
        return true;
    }
    return last;
}

namespace {

const std::vector<double>& log_time_table() {
    static const std::vector<double> table = [] {
        std::vector<double> values(grid_points);
        for (int i = 0; i < grid_points; ++i) values[static_cast<std::size_t>(i)] = std::log(i + 1.0);
        return values;
    }();
    return table;
}

constexpr double bracket_low = -199.0;
constexpr double bracket_high = 9.99999999e307;

// Within one unit in the last place: same upper 32 bits, low 32 differing by
// at most 1.
bool within_one_ulp(double a, double b) {
    const auto ba = std::bit_cast<std::uint64_t>(a);
    const auto bb = std::bit_cast<std::uint64_t>(b);
    if ((ba >> 32) != (bb >> 32)) return false;
    const auto la = static_cast<std::uint32_t>(ba);
    const auto lb = static_cast<std::uint32_t>(bb);
    return (la > lb ? la - lb : lb - la) <= 1;
}

const char* const below_messages[9] = {
    "3-month rate is below -199.0 percent", "6-month rate is below -199.0 percent",
    "12-month rate is below -199.0 percent", "2-year rate is below -199.0 percent",
    "3-year rate is below -199.0 percent",  "5-year rate is below -199.0 percent",
    "7-year rate is below -199.0 percent",  "10-year rate is below -199.0 percent",
    "30-year rate is below -199.0 percent",
};

}  // namespace

double log_time(int i) { return log_time_table()[static_cast<std::size_t>(i)]; }

double fp_midpoint(double lo, double hi) {
    const auto blo = std::bit_cast<std::uint64_t>(lo);
    const auto bhi = std::bit_cast<std::uint64_t>(hi);
    const int ea = static_cast<int>((blo >> 52) & 0x7FF);
    const int eb = static_cast<int>((bhi >> 52) & 0x7FF);
    // Halving each side first keeps the sum finite near the largest doubles.
    if (std::abs(ea - eb) <= 1) return 0.5 * lo + 0.5 * hi;
    const std::uint64_t source = std::fabs(hi) >= std::fabs(lo) ? bhi : blo;
    const auto exponent = static_cast<std::uint64_t>((ea + eb) / 2);
    const std::uint64_t bits = (source & 0x800FFFFFFFFFFFFFULL) | (exponent << 52);
    return std::bit_cast<double>(bits);
}

std::optional<double> midpoint_root(double lo, double hi, const std::function<double(double)>& error) {
    const double low = lo;
    const double high = hi;
    midpoint_search search;
    // The bracket narrows by whole exponents first, then bit by bit: a few
    // thousand passes at most; the cap only guards against a cycle.
    for (int pass = 0; pass < 20000; ++pass) {
        const double m = fp_midpoint(lo, hi);
        double e = error(m);
        if (!search.step(m, e, lo, hi)) continue;
        if (!std::isfinite(m) || !std::isfinite(e) || within_one_ulp(m, low) || within_one_ulp(m, high))
            return std::nullopt;
        return m;
    }
    return std::nullopt;
}

yield_curve::yield_curve() {
    rates_.fill(missing_rate);
    reset();
}

void yield_curve::reset() {
    discount_factors.assign(grid_points, 0.0);
    forward_rates.assign(grid_points, missing_rate);
    input_points.assign(grid_points, missing_rate);
    zero_rates.assign(grid_points, missing_rate);
}

void yield_curve::load_points() {
    for (std::size_t j = 0; j < maturity_index.size(); ++j)
        input_points[static_cast<std::size_t>(maturity_index[j])] = rates_[j];
}

void yield_curve::store_points() {
    for (std::size_t j = 0; j < maturity_index.size(); ++j)
        rates_[j] = input_points[static_cast<std::size_t>(maturity_index[j])];
}

void yield_curve::solve(int a, int b) {
    static const char* const failure = "yld_curve::solve was unable to find a suitable forward rate";
    if (a < 0 || b > grid_last || b <= a || b % 12 != 0 || (a != 6 && a % 12 != 0)) throw text_error(failure);
    auto& df = discount_factors;
    auto& fwd = forward_rates;
    const auto ua = static_cast<std::size_t>(a);
    const auto ub = static_cast<std::size_t>(b);
    const int k0 = (a == 6) ? 12 : a + 12;
    double s0 = 0.0;
    for (int k = 12; k <= 12 * (a / 12); k += 12) s0 += df[static_cast<std::size_t>(k)];
    const double coupon = input_points[ub];
    const double xa = log_time(a);
    const double span = log_time(b) - xa;

    const std::optional<double> root = midpoint_root(bracket_low, bracket_high, [&](double m) {
        fwd[ub] = m;
        double sum = s0;
        for (int k = k0; k <= b; k += 12) {
            const auto uk = static_cast<std::size_t>(k);
            if (k < b) fwd[uk] = fwd[ua] + (m - fwd[ua]) * (log_time(k) - xa) / span;
            df[uk] = df[uk - 12] / (1.0 + fwd[uk] * 0.005);
            sum += df[uk];
        }
        return 100.0 - (100.0 * df[ub] + 0.5 * coupon * sum);
    });
    // No forward rate prices the bond at par.
    if (!root) throw text_error(failure);
    for (int k = k0; k <= b; k += 12) {
        const auto uk = static_cast<std::size_t>(k);
        zero_rates[uk] = (std::pow(1.0 / df[uk], 12.0 / k) - 1.0) * 200.0;
        if (!std::isfinite(df[uk]) || !std::isfinite(fwd[uk]) || !std::isfinite(zero_rates[uk]))
            throw text_error(failure);
    }
}

double yield_curve::par_yield(int n) const {
    double sum = 0.0;
    for (int k = 12; k <= n; k += 12) sum += discount_factors[static_cast<std::size_t>(k)];
    return 2.0 * (100.0 - 100.0 * discount_factors[static_cast<std::size_t>(n)]) / sum;
}

void yield_curve::check_rates() const {
    for (std::size_t j = 0; j < rates_.size(); ++j) {
        if (rates_[j] < given_rate_floor) throw text_error(below_messages[j]);
    }
}

void yield_curve::fill_missing() {
    if (rates_[0] < given_rate_floor) throw text_error("13-week rate is less than -199 percent");
    if (rates_[7] < given_rate_floor) throw text_error("10-year rate is less than -199 percent");
    reset();
    load_points();
    auto& df = discount_factors;
    auto& fwd = forward_rates;
    const double r13 = rates_[0];
    df[0] = 1.0;
    df[6] = std::pow(1.0 / (1.0 + r13 * 0.005), 0.5);
    zero_rates[6] = fwd[6] = r13;
    if (rates_[1] != missing_rate) {
        df[12] = 1.0 / (1.0 + rates_[1] * 0.005);
        zero_rates[12] = fwd[12] = rates_[1];
    }

    static constexpr int knots[] = {12, 24, 48, 72, 120, 168, 240};
    constexpr int knot_count = 7;
    int last_given = 6;
    for (int j = 0; j < knot_count; ++j) {
        const int knot = knots[j];
        if (input_points[static_cast<std::size_t>(knot)] >= given_rate_floor) {
            last_given = knot;
            if (j > 0 && fwd[static_cast<std::size_t>(knot)] == missing_rate) solve(knots[j - 1], knot);
            continue;
        }
        int next = j;
        while (next < knot_count && input_points[static_cast<std::size_t>(knots[next])] < given_rate_floor) ++next;
        if (next == knot_count) break;  // cannot happen: the 10-year rate is given
        solve(last_given, knots[next]);
        for (int before = 0; before < next; ++before) {
            const auto index = static_cast<std::size_t>(knots[before]);
            if (input_points[index] < given_rate_floor) input_points[index] = par_yield(knots[before]);
        }
    }

    if (rates_[8] < given_rate_floor) {
        const double x12 = log_time(12);
        const double x240 = log_time(240);
        const double x720 = log_time(720);
        double f720 = fwd[240] + (fwd[240] - fwd[12]) * (x720 - x240) / (x240 - x12);
        if (f720 < 0.01) f720 = 0.01;
        fwd[720] = f720;
        for (int k = 252; k <= 720; k += 12) {
            const auto uk = static_cast<std::size_t>(k);
            // The last knot keeps the floored value exactly.
            fwd[uk] = k == 720 ? f720 : fwd[240] + (f720 - fwd[240]) * (log_time(k) - x240) / (x720 - x240);
            df[uk] = df[uk - 12] / (1.0 + fwd[uk] * 0.005);
        }
        input_points[720] = par_yield(720);
    }
    store_points();
}

double yield_curve::interpolate_rate(double t) const {
    static constexpr double years[9] = {0.25, 0.5, 1, 2, 3, 5, 7, 10, 30};
    if (t < years[0]) return rates_[0];
    for (std::size_t j = 1; j < 9; ++j) {
        if (t < years[j])
            return rates_[j - 1] + (rates_[j] - rates_[j - 1]) * (t - years[j - 1]) / (years[j] - years[j - 1]);
    }
    return rates_[8];
}

}  // namespace fv
