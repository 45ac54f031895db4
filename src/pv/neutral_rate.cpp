// The neutral-rate solver of the factor engine (the present value of a loan
// of 1000 at a trial rate, and the bisection on that rate) and the
// zero-subsidy borrower's rate built on it.
#include "pv/neutral_rate.h"

#include <climits>
#include <cmath>
#include <cstdio>

#include "pv/present_value_factors.h"
#include "rates/yield_curve.h"
#include "util/text_error.h"

namespace fv {

namespace {

struct period_shape {
    int step;
    int limit;
};
constexpr period_shape shapes[4] = {{24, 100}, {12, 200}, {6, 400}, {2, 1200}};

constexpr double lowest_neutral_rate = 1e-05;

const char* const no_neutral_rate = "cf_pvfact::solve was unable to find a suitable neutral rate";

void check_frequency_and_table(int frequency, bool has_table) {
    // Codes above 4 have no period length: refused like code 0.
    if (frequency < 1 || frequency > 4) throw text_error("cf_pvfact::nr_helper\tcalled with unknown frequency");
    if (!has_table) throw text_error("cf_pvfact::nr_helper\tcalled before PV factors were created");
}

}  // namespace

double present_value_factors::level_payment_value(int n, double rate, bool balloon, int frequency) const {
    if (n == 0) return 0.0;
    if (rate < 0) throw text_error("cf_pvfact::nr_helper\tcalled with a negative interest rate");
    check_frequency_and_table(frequency, built_);
    const period_shape shape = shapes[frequency - 1];
    if (n > shape.limit) throw text_error("cf_pvfact::nr_helper\tcalled periods beyond 100 years");
    if (n < 0) return 0.0;

    const double i = rate * 0.01;
    // Level payment i * 1000 / (1 - (1 + i)^-n): written this way it neither
    // overflows at high rates nor loses its digits at tiny ones, and at a
    // rate of 0 it is the limit 1000 / n.
    const double payment =
        i == 0.0 ? 1000.0 / n : i * 1000.0 / -std::expm1(-static_cast<double>(n) * std::log1p(i));
    const auto& df = curve_.discount_factors;
    double balance = 1000.0;
    double interest_value = 0.0;
    double principal_value = 0.0;
    for (int k = 1; k <= n; ++k) {
        const double factor = df[static_cast<std::size_t>(k * shape.step)];
        const double interest = balance * i;
        double principal = 0.0;
        if (!balloon) {
            principal = payment - interest;
            balance -= principal;
        } else if (k == n) {
            principal = balance;
        }
        interest_value += interest * factor;
        principal_value += principal * factor;
    }
    return interest_value + principal_value;
}

double present_value_factors::solve(int n, bool balloon, int frequency) const {
    if (n == 0) return 0.0;
    check_frequency_and_table(frequency, built_);
    if (n > shapes[frequency - 1].limit) throw text_error("cf_pvfact::nr_helper\tcalled periods beyond 100 years");

    const double bound_low = lowest_neutral_rate;
    const double bound_high = 4.0 * highest_zero_;
    // No payments, or a curve with no positive rate: nothing to bracket.
    if (n < 0 || !std::isfinite(bound_high) || !(bound_high > bound_low)) throw text_error(no_neutral_rate);

    const std::optional<double> rate =
        midpoint_root(bound_low, bound_high, [&](double m) { return level_payment_value(n, m, balloon, frequency) - 1000.0; });
    if (!rate) throw text_error(no_neutral_rate);
    return *rate;
}

int read_term_years(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r' ||
                                text[at] == '\v' || text[at] == '\f'))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    long long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > INT_MAX) value = INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

double annualise_period_rate(double per_period, int frequency_code) {
    static constexpr int periods_a_year[4] = {1, 2, 4, 12};
    const int power = frequency_code >= 1 && frequency_code <= 4 ? periods_a_year[frequency_code - 1] : 1;
    const double g = 1.0 + per_period / 100.0;
    double product = 1.0;
    for (int k = 0; k < power; ++k) product *= g;
    return (product - 1.0) * 100.0;
}

double zero_subsidy_rate(const rate_set& rates, int principal_payments, int payment_frequency, int term_years) {
    if (payment_frequency < 0 || payment_frequency > 3) throw text_error("Please select a frequency");
    static constexpr int periods_a_year[4] = {1, 2, 4, 12};
    const int code = payment_frequency + 1;
    // A term too long for an int of periods is beyond 100 years anyway.
    const long long periods = static_cast<long long>(term_years) * periods_a_year[payment_frequency];
    const int n = periods > INT_MAX ? INT_MAX : periods < INT_MIN ? INT_MIN : static_cast<int>(periods);

    present_value_factors engine;
    engine.set(&rates);
    engine.make();
    const double per_period = engine.solve(n, principal_payments == principal_balloon, code);
    return annualise_period_rate(per_period, code);
}

std::string format_zero_subsidy_rate(double rate) {
    char text[64];
    std::snprintf(text, sizeof text, "%.4lf", rate);
    return text;
}

}  // namespace fv
