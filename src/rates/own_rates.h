// The arithmetic behind the dialogs that create the user's own rate sets: the
// checks of both dialogs (each returns the message to show, or "" when the
// values pass), filling in a yield curve from the rates the user gave, and
// turning a flat rate into a bond-equivalent one.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace fv {

// Rate kinds of a flat rate.
inline constexpr int flat_similar_maturity = 0;
inline constexpr int flat_bond_equivalent = 1;
inline constexpr int flat_effective_annual = 2;

// Checks of the yield-curve dialog's OK: the nine rates in order, then the title.
std::string check_yield_curve_entry(const std::array<double, 9>& rates, std::string_view title);

// Checks of the flat-rate dialog's OK: the rate, then the title.
std::string check_flat_rate_entry(double rate, std::string_view title);

struct interpolation_result {
    std::string message;            // "" when the rates can be shown
    std::array<double, 9> rates{};  // rounded to 4 places; the fields take them either way
    bool filled = false;            // the fill ran (rates holds its rounded results)
};

// The yield-curve dialog's Interpolate: a rate of 0.01 or less (other than
// the 13-week and 10-year rates) counts as not entered and is filled in.
interpolation_result interpolate_own_curve(const std::array<double, 9>& entered);

// True when a flat rate of this kind is converted to bond-equivalent terms.
bool flat_kind_converts(int kind);

// An annual rate r (percent) in bond-equivalent terms: ((1 + r/100)^0.5 - 1) x 200.
double to_bond_equivalent(double rate);

// The rate the flat-rate dialog stores for all nine points (unrounded).
double flat_rate_value(double rate, int kind);

}  // namespace fv
