// The yield curve on the half-month grid: forward rates, discount factors and
// zero-coupon rates for every half-month over 100 years, derived segment by
// segment from the nine quoted rates. Rates are percent per year with
// semiannual compounding; a rate r discounts a half-year by 1/(1 + r/200).
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace fv {

// Runs the midpoint search on [lo, hi] with the error of each midpoint (curve
// segments, neutral rate): an error below 0.0001 that repeats counts as 0; a
// midpoint that repeats ends the search. The root, or nothing when the search
// did not settle inside the bracket (it ran to a bound within one unit in the
// last place, or stopped being a number).
std::optional<double> midpoint_root(double lo, double hi, const std::function<double(double)>& error);

inline constexpr int grid_last = 2400;    // 100 years of half-months
inline constexpr int grid_points = 2401;
inline constexpr double missing_rate = -200.0;
inline constexpr double given_rate_floor = -199.0;  // a rate at least this is given
// Grid indices of the 13-, 26-, 52-week, 2-, 3-, 5-, 7-, 10- and 30-year rates.
inline constexpr std::array<int, 9> maturity_index = {6, 12, 24, 48, 72, 120, 168, 240, 720};

// The interpolation variable of grid point i: ln(i + 1).
double log_time(int i);

// Midpoint of a bisection bracket that halves the exponent range first, so a
// bracket from -199 to 1e308 narrows quickly; never overflows.
double fp_midpoint(double lo, double hi);

class yield_curve {
public:
    yield_curve();

    // Discount factors become 0; forward rates, input points and zero rates
    // become the missing marker.
    void reset();
    void load_points();   // the nine rates into the input points
    void store_points();  // the input points back into the nine rates

    void set_rates(const std::array<double, 9>& rates) { rates_ = rates; }
    const std::array<double, 9>& rates() const { return rates_; }

    // Derives the forward rate of knot b, and everything between a and b, so
    // that a bond of b/12 half-years with the input point at b as coupon is
    // priced at par. Needs discount factors up to a and the forward rate at
    // a. Throws "yld_curve::solve was unable to find a suitable forward rate".
    void solve(int a, int b);

    // Semiannual coupon rate (percent) of a par bond maturing at knot n.
    double par_yield(int n) const;

    // Throws when a rate is below -199 percent, naming the first one.
    void check_rates() const;

    // Completes the nine rates where some hold the missing marker; the
    // 13-week and 10-year rates must be given.
    void fill_missing();

    // Rate at maturity t years, straight lines between the nine quotes.
    double interpolate_rate(double t) const;

    std::vector<double> forward_rates;
    std::vector<double> discount_factors;
    std::vector<double> input_points;
    std::vector<double> zero_rates;

private:
    std::array<double, 9> rates_;
};

}  // namespace fv
