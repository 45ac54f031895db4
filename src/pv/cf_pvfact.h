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

#include "rates/cr_rate_item.h"
#include "rates/yld_curve.h"

namespace fv {

inline constexpr double not_available = 1e30;

class cf_pvfact {
public:
    // The twelve per-frequency tables: frequency m, q, s, a by point b, m, e.
    enum table_id { mb, mm, me, qb, qm, qe, sb, sm, se, ab, am, ae };

    cf_pvfact() = default;

    // Takes title, source and the nine rates of a set; the factors are built
    // on first use. Throws for a null set.
    void set(const cr_rate_item* rates);
    // Discounts at one annual rate (percent) from now on; the rate from the
    // source spreadsheet.
    void set_single_effective_rate(double rate);
    // With the single effective rate, discount computes each factor directly.
    void set_on_the_fly(bool on);

    // Builds the factor table from the rate set or the single effective rate.
    void make();

    // Present value of amounts at grid indices start + k * step (step 24,
    // 12, 6, 2 for frequency 1-4). start may be negative: those amounts are
    // carried forward to the start of the cohort.
    double discount(int frequency, int point, std::span<const double> amounts, int start);

    // The twelve tables; each throws when no factor table exists.
    const std::vector<double>& make_pv_mb() { return make_pv(mb); }
    const std::vector<double>& make_pv_mm() { return make_pv(mm); }
    const std::vector<double>& make_pv_me() { return make_pv(me); }
    const std::vector<double>& make_pv_qb() { return make_pv(qb); }
    const std::vector<double>& make_pv_qm() { return make_pv(qm); }
    const std::vector<double>& make_pv_qe() { return make_pv(qe); }
    const std::vector<double>& make_pv_sb() { return make_pv(sb); }
    const std::vector<double>& make_pv_sm() { return make_pv(sm); }
    const std::vector<double>& make_pv_se() { return make_pv(se); }
    const std::vector<double>& make_pv_ab() { return make_pv(ab); }
    const std::vector<double>& make_pv_am() { return make_pv(am); }
    const std::vector<double>& make_pv_ae() { return make_pv(ae); }
    const std::vector<double>& make_pv(table_id id);
    const std::vector<double>& table(table_id id) const { return tables_[id]; }

    // Grid indices of the lowest and highest zero rate among 0 .. min(n, 2400),
    // first occurrence of each.
    std::pair<int, int> range_of_zero_rates(int n) const;

    // Present value at the single effective rate computed directly, without
    // a table: amounts at start + k * step discount by R^(-index/24). Needs
    // use_ser, on_the_fly and a set rate.
    double dwork_fast(int frequency, int point, std::span<const double> amounts, int start) const;

    // Neutral rate. nr_helper: present value on the factor table of the
    // payments of a loan of 1000 over n periods at rate percent per period,
    // level payments or interest only with a balloon. solve: the rate per
    // period (percent) at which that value is 1000; 0 for n = 0.
    double nr_helper(int n, double rate, bool balloon, int frequency) const;
    double solve(int n, bool balloon, int frequency) const;

    // Inspectors.
    double highest_zero_rate() const { return highest_zero_; }
    double lowest_zero_rate() const { return lowest_zero_; }
    bool use_ser() const { return use_ser_; }
    bool on_the_fly() const { return on_the_fly_; }
    double ser_factor() const { return ser_factor_; }
    bool has_table() const { return built_; }
    const std::string& title() const { return title_; }
    int rate_source() const { return source_; }
    const yld_curve& curve() const { return curve_; }
    double factor(int i) const { return curve_.discount_factors[static_cast<std::size_t>(i)]; }

private:
    void make_from_rates();
    void make_from_ser();
    void drop_tables();

    yld_curve curve_;
    // The last curve built from rates: a rate set built again (each cohort's
    // search starts from the curve) is copied instead of solved again.
    std::optional<yld_curve> built_from_rates_;
    double built_highest_zero_ = 0.0;
    double built_lowest_zero_ = 0.0;
    std::string title_;
    int source_ = 0;
    bool use_ser_ = false;
    bool on_the_fly_ = false;
    bool built_ = false;
    double ser_factor_ = not_available;
    double highest_zero_ = 0.0;
    double lowest_zero_ = 0.0;
    std::array<std::vector<double>, 12> tables_;
};

}  // namespace fv
