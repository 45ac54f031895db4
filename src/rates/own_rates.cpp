// Checks, fill-in and conversion for the user's own rate sets. Kept apart
// from the dialogs so that everything they decide can be tested without a
// window.
#include "rates/own_rates.h"

#include <algorithm>
#include <cmath>

#include "rates/rate_collection.h"
#include "rates/yield_curve.h"
#include "util/decimal_round.h"
#include "util/text_error.h"
#include "util/utf8_text.h"

namespace fv {

namespace {

std::string check_title(std::string_view title) {
    if (character_count(title) > 16) return "Title must be 16 characters or less";
    if (title.empty()) return "Title must be at least 1 character long";
    return rate_collection::unstorable_title_message(title);
}

// Rates that are not numbers fail the checks as if out of range.
std::string check_entered_rate(double rate, const char* negative, const char* zero, const char* large) {
    if (rate < 0) return negative;
    if (rate < 0.0001) return zero;
    if (rate > 99 || std::isnan(rate)) return large;
    return std::string();
}

const char* const interpolated_names[7] = {"26-week", "52-week", "2-year", "3-year", "5-year", "7-year", "30-year"};
constexpr int interpolated_index[7] = {1, 2, 3, 4, 5, 6, 8};

std::string not_interpolated_message(const std::string& name) {
    return "The " + name +
           " rate could not be interpolated, perhaps due\nto severe flucations in the rates specified.\nPlease enter a " +
           name + " rate and, if you wish, try again";
}

std::string required_rate_check(double rate, const char* which) {
    const std::string reenter = std::string("  Please reenter the ") + which + " rate.";
    if (rate < 0) return "Interest rates must be positive values." + reenter;
    if (rate < 0.01) return "Interest rates must be at least one basis point." + reenter;
    if (rate > 99 || std::isnan(rate)) return "Interest rates must be less than 99.0 percent." + reenter;
    return std::string();
}

}  // namespace

std::string check_yield_curve_entry(const std::array<double, 9>& rates, std::string_view title) {
    for (double rate : rates) {
        std::string message = check_entered_rate(rate, "Interest rates must be positive values.",
                                                  "Interest rates must be non-zero values.",
                                                  "Interest rates must be less than 99.0 percent.");
        if (!message.empty()) return message;
    }
    return check_title(title);
}

std::string check_flat_rate_entry(double rate, std::string_view title) {
    std::string message =
        check_entered_rate(rate, "Interest rate must be a positive value.", "Interest rate must be a non-zero value.",
                           "Interest rate must be less than 99.0 percent.");
    if (!message.empty()) return message;
    return check_title(title);
}

interpolation_result interpolate_own_curve(const std::array<double, 9>& entered) {
    interpolation_result result;
    result.rates = entered;
    const bool has_short = entered[0] != 0.0;
    const bool has_long = entered[7] != 0.0;
    const std::string required = "Interpolation requires, at a minimum, a 13-week rate and a 10 year rate.";
    if (!has_short && !has_long) {
        result.message = required;
        return result;
    }
    if (!has_long) {
        result.message = required + "\n\nPlease enter the 10 year rate";
        return result;
    }
    if (!has_short) {
        result.message = required + "\n\nPlease enter the 13-week rate";
        return result;
    }
    result.message = required_rate_check(entered[0], "13-week");
    if (result.message.empty()) result.message = required_rate_check(entered[7], "10-year");
    if (!result.message.empty()) return result;

    std::array<double, 9> input = entered;
    for (std::size_t j = 0; j < input.size(); ++j) {
        if (j != 0 && j != 7 && !(entered[j] > 0.01)) input[j] = missing_rate;
    }
    yield_curve curve;
    curve.set_rates(input);
    try {
        curve.fill_missing();
    } catch (const text_error&) {
        // No forward rate fits the rates given: name the first rate the
        // user is to enter instead of the solver's own words.
        for (int n = 0; n < 7; ++n) {
            if (input[static_cast<std::size_t>(interpolated_index[n])] == missing_rate) {
                result.message = not_interpolated_message(interpolated_names[n]);
                return result;
            }
        }
        // Every rate was entered: there was nothing to interpolate.
        curve.set_rates(entered);
    }
    for (std::size_t j = 0; j < input.size(); ++j) result.rates[j] = round_decimal(curve.rates()[j], 4);
    result.filled = true;
    for (int n = 0; n < 7; ++n) {
        const double rate = result.rates[static_cast<std::size_t>(interpolated_index[n])];
        if (rate < 0.01 || rate > 99 || std::isnan(rate)) {
            result.message = not_interpolated_message(interpolated_names[n]);
            return result;
        }
    }
    return result;
}

bool flat_kind_converts(int kind) { return kind != flat_bond_equivalent; }

double to_bond_equivalent(double rate) { return (std::pow(1.0 + rate / 100.0, 0.5) - 1.0) * 200.0; }

double flat_rate_value(double rate, int kind) {
    return flat_kind_converts(kind) ? to_bond_equivalent(rate) : rate;
}

}  // namespace fv
