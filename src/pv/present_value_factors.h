// Present-value factors of one calculation: a discount factor for every
// half-month over 100 years, built from a rate set through the yield curve or
// from one annual rate (the single effective rate), and the discounting of
// cash-flow amounts on that grid.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "pv/discount_request.h"
#include "pv/lane_discount.h"
#include "rates/rate_set.h"
#include "rates/yield_curve.h"

namespace fv {

inline constexpr double not_available = 1e30;

class present_value_factors {
public:
    // The twelve per-frequency tables: frequency m, q, s, a by point b, m, e.
    enum table_id { mb, mm, me, qb, qm, qe, sb, sm, se, ab, am, ae };

    present_value_factors() = default;

    // Takes title, source and the nine rates of a set; the factors are built
    // on first use. Throws for a null set.
    void set(const rate_set* rates);
    // Discounts at one annual rate (percent) from now on; the rate from the
    // source spreadsheet.
    void set_single_effective_rate(double rate);
    // With the single effective rate, discount computes each factor directly.
    void set_on_the_fly(bool on);

    // Builds the factor table from the rate set or the single effective rate.
    void make();

    // Present value of amounts at grid indices start + k * grid_step(frequency)
    // (pv/factor_grid.h). start may be negative: those amounts are
    // carried forward to the start of the cohort.
    double discount(int frequency, int point, std::span<const double> amounts, int start);
    // The factor of each of count amounts that discount would apply, found the
    // way it finds them (the present value of 1 at that index); none for a
    // frequency outside 1-4.
    std::vector<double> amount_factors(int frequency, int point, std::size_t count, int start);
    // The present value of each row of the batch, the same bits discount
    // gives it, eight rows at a time. False, with nothing computed, when
    // discount would not compute every row that way: it would build the
    // table first, or throw for a row.
    bool discount_all(const discount_batch& batch, std::span<double> values);

    // The twelve tables; each throws when no factor table exists.
    const std::vector<double>& monthly_beginning_table() { return build_table(mb); }
    const std::vector<double>& monthly_middle_table() { return build_table(mm); }
    const std::vector<double>& monthly_end_table() { return build_table(me); }
    const std::vector<double>& quarterly_beginning_table() { return build_table(qb); }
    const std::vector<double>& quarterly_middle_table() { return build_table(qm); }
    const std::vector<double>& quarterly_end_table() { return build_table(qe); }
    const std::vector<double>& semiannual_beginning_table() { return build_table(sb); }
    const std::vector<double>& semiannual_middle_table() { return build_table(sm); }
    const std::vector<double>& semiannual_end_table() { return build_table(se); }
    const std::vector<double>& annual_beginning_table() { return build_table(ab); }
    const std::vector<double>& annual_middle_table() { return build_table(am); }
    const std::vector<double>& annual_end_table() { return build_table(ae); }
    const std::vector<double>& build_table(table_id id);
    const std::vector<double>& table(table_id id) const { return tables_[id]; }

    // Grid indices of the lowest and highest zero rate among 0 .. min(n, 2400),
    // first occurrence of each.
    std::pair<int, int> range_of_zero_rates(int n) const;

    // Present value at the single effective rate computed directly, without
    // a table: amounts at start + k * step discount by R^(-index/24). Needs
    // uses_single_rate, on_the_fly and a set rate.
    double discount_at_single_rate(int frequency, int point, std::span<const double> amounts, int start) const;

    // Neutral rate. level_payment_value: present value on the factor table of the
    // payments of a loan of 1000 over n periods at rate percent per period,
    // level payments or interest only with a balloon. solve: the rate per
    // period (percent) at which that value is 1000; 0 for n = 0.
    double level_payment_value(int n, double rate, bool balloon, int frequency) const;
    double solve(int n, bool balloon, int frequency) const;

    // Inspectors.
    double highest_zero_rate() const { return highest_zero_; }
    double lowest_zero_rate() const { return lowest_zero_; }
    bool uses_single_rate() const { return uses_single_rate_; }
    bool on_the_fly() const { return on_the_fly_; }
    double single_rate_factor() const { return single_rate_factor_; }
    bool has_table() const { return built_; }
    const std::string& title() const { return title_; }
    // The source of the rate set the factors come from; none for a single rate.
    std::optional<fv::rate_source> source() const { return source_; }
    const yield_curve& curve() const { return curve_; }
    double factor(int i) const { return curve_.discount_factors[static_cast<std::size_t>(i)]; }

private:
    void make_from_rates();
    void make_from_single_rate();
    void drop_tables();

    yield_curve curve_;
    // The curve is as yield_curve::reset leaves it but for its discount
    // factors, which a single rate's table overwrites.
    bool curve_reset_but_factors_ = false;
    // The last curve built from rates: a rate set built again (each cohort's
    // search starts from the curve) is copied instead of solved again.
    std::optional<yield_curve> built_from_rates_;
    double built_highest_zero_ = 0.0;
    double built_lowest_zero_ = 0.0;
    std::string title_;
    std::optional<fv::rate_source> source_;
    bool uses_single_rate_ = false;
    bool on_the_fly_ = false;
    bool built_ = false;
    double single_rate_factor_ = not_available;
    // The single rate's factor to the power -h/24 for half-months h near the
    // present, kept with the rate they were taken at (a count of rates set): a
    // search discounts every row at each rate it tries, and rows share starts.
    double single_rate_power(int half_months) const;
    mutable std::vector<std::pair<unsigned, double>> single_rate_powers_;
    unsigned single_rate_count_ = 0;
    double highest_zero_ = 0.0;
    double lowest_zero_ = 0.0;
    std::array<std::vector<double>, 12> tables_;
    // discount_all's, kept between trials.
    std::vector<lane_discount> lanes_;
    std::vector<double> runs_;
};

}  // namespace fv
