// Building the factor table and discounting with it. The table from a rate
// set joins a regression for the first three months, the fitted curve up to
// 30 years (zero rates linear in log time between half-year knots) and a flat
// forward rate beyond.
#include "pv/present_value_factors.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>

#include "pv/factor_grid.h"
#include "pv/discount_batch.h"
#include "pv/lane_discount.h"
#include "util/decimal_round.h"
#include "util/text_error.h"

namespace fv {

namespace {

const char* const extent_messages[4] = {
    "Annual cash flow extend more than 100 years past the start of the cohort",
    "Semiannual cash flow extend more than 100 years past the start of the cohort",
    "Quarterly cash flow extend more than 100 years past the start of the cohort",
    "Monthly cash flow extend more than 100 years past the start of the cohort",
};

// Discounting at a single rate: each amount times the factor is added to the
// value, then the factor is multiplied by the step. A running product instead
// of a power per amount: the search evaluates the whole cohort many times, and
// the product stays within a few units in the last place over 1,200 periods.
double continue_discount(std::span<const double> amounts, double factor, double per_step, double value) {
    for (const double amount : amounts) {
        value += amount * factor;
        factor *= per_step;
    }
    return value;
}

// Discounting on a factor table from grid index `index` on; an amount
// before the start is carried forward by the factor's reciprocal.
double continue_on_table(std::span<const double> df, std::span<const double> amounts, std::int64_t index,
                         std::int64_t step, double value) {
    for (const double amount : amounts) {
        const double f = index >= 0 ? df[static_cast<std::size_t>(index)] : 1.0 / df[static_cast<std::size_t>(-index)];
        value += amount * f;
        index += step;
    }
    return value;
}

struct segment {
    int from;
    int to;
    const char* message;
};

constexpr segment segments[] = {
    {24, 48, "Change between 1-year and 2-year rates is too extreme to derive forward rates"},
    {48, 72, "Change between 2-year and 3-year rates is too extreme to derive forward rates"},
    {72, 120, "Change between 3-year and 5-year rates is too extreme to derive forward rates"},
    {120, 168, "Change between 5-year and 7-year rates is too extreme to derive forward rates"},
    {168, 240, "Change between 7-year and 10-year rates is too extreme to derive forward rates"},
    {240, 720, "Change between 10-year and 30-year rates is too extreme to derive forward rates"},
};

// Short-end regression of the zero rates at indices 0-5 on the 13-week rate.
constexpr double short_a[6] = {1.0078, 0.96868, 0.94362, 0.97198, 0.98595, 0.99551};
constexpr double short_b[6] = {0.57439, 0.26107, 0.07258, 0.10305, 0.0611, 0.04864};

struct table_shape {
    const char* name;
    int entries;
    int step;
    int offset;
};

constexpr table_shape shapes[12] = {
    {"mb", 1200, 2, 0},  {"mm", 1200, 2, 1},  {"me", 1200, 2, 2},   {"qb", 400, 6, 0},
    {"qm", 400, 6, 3},   {"qe", 400, 6, 6},   {"sb", 200, 12, 0},   {"sm", 200, 12, 6},
    {"se", 200, 12, 12}, {"ab", 100, 24, 0},  {"am", 100, 24, 12},  {"ae", 100, 24, 24},
};

// The segment whose rates decide the factor at index i.
const segment& segment_at(int i) {
    for (const segment& s : segments)
        if (i <= s.to) return s;
    return segments[std::size(segments) - 1];
}

std::string period_message(const char* what, int i) {
    char text[128];
    std::snprintf(text, sizeof text, "class pvfact:  the present value factor in period %d is %s", i, what);
    return text;
}

}  // namespace

void present_value_factors::drop_tables() {
    for (auto& table : tables_) table = std::vector<double>();
}

void present_value_factors::set(const rate_set* rates) {
    if (rates == nullptr) throw text_error("cf_pvfact::set called with a null cr_rate_item pointer");
    title_ = rates->title;
    source_ = rates->source;
    curve_.set_rates(rates->rates);
    curve_reset_but_factors_ = false;
    uses_single_rate_ = false;
    built_ = false;
    drop_tables();
}

void present_value_factors::set_single_effective_rate(double rate) {
    uses_single_rate_ = true;
    source_.reset();
    title_ = "SER from source spreadsheet";
    highest_zero_ = lowest_zero_ = rate;
    single_rate_factor_ = rate * 0.01 + 1.0;
    ++single_rate_count_;
    // A table built from the rate set must not stand in for this rate.
    built_ = false;
    drop_tables();
}

void present_value_factors::set_on_the_fly(bool on) {
    if (uses_single_rate_ && !built_) make_from_single_rate();
    on_the_fly_ = on;
}

void present_value_factors::make() {
    // With the rate computed on the fly there is nothing to build, and a
    // table set_on_the_fly built stays.
    if (uses_single_rate_ && (single_rate_factor_ == not_available || on_the_fly_)) return;
    built_ = false;
    if (uses_single_rate_) {
        make_from_single_rate();
    } else {
        make_from_rates();
    }
}

void present_value_factors::make_from_single_rate() {
    if (single_rate_factor_ == not_available) return;
    // Every factor is written below; the rest of the curve need only be reset
    // once for a run of single rates (a search builds many).
    if (!curve_reset_but_factors_) curve_.reset();
    curve_reset_but_factors_ = true;
    auto& df = curve_.discount_factors;
    // R^(-(24n + m)/24) as a whole-year power times a within-year power: two
    // exact powers per factor instead of one power each (the search builds
    // this table for every trial rate).
    std::array<double, 25> within_year{};
    for (int m = 0; m <= 24; ++m) within_year[static_cast<std::size_t>(m)] = 1.0 / std::pow(single_rate_factor_, m / 24.0);
    df[0] = 1.0;
    for (int n = 0; n < 100; ++n) {
        const double whole_years = 1.0 / std::pow(single_rate_factor_, n);
        for (int m = 1; m <= 24; ++m)
            df[static_cast<std::size_t>(24 * n + m)] = whole_years * within_year[static_cast<std::size_t>(m)];
    }
    built_ = true;
}

void present_value_factors::make_from_rates() {
    curve_reset_but_factors_ = false;
    if (built_from_rates_ && built_from_rates_->rates() == curve_.rates()) {
        curve_ = *built_from_rates_;
        highest_zero_ = built_highest_zero_;
        lowest_zero_ = built_lowest_zero_;
        built_ = true;
        return;
    }
    yield_curve& c = curve_;
    c.reset();
    c.load_points();
    c.check_rates();
    auto& df = c.discount_factors;
    auto& zero = c.zero_rates;
    auto& fwd = c.forward_rates;
    const auto& r = c.rates();

    // Six months and one year straight from the 26- and 52-week rates.
    df[12] = 1.0 / (1.0 + r[1] * 0.005);
    zero[12] = fwd[12] = r[1];
    const double d = r[2] * 0.5;
    const double x = (d + 100.0) / (100.0 - d * df[12]);
    df[24] = 1.0 / x;
    zero[24] = (std::pow(x, 0.5) - 1.0) * 200.0;
    fwd[24] = ((1.0 + zero[24] * 0.005) * (1.0 + zero[24] * 0.005) / (1.0 + zero[12] * 0.005) - 1.0) * 200.0;

    for (const segment& s : segments) {
        try {
            c.solve(s.from, s.to);
        } catch (const text_error&) {
            throw text_error(s.message);
        }
    }

    // The first three months.
    const double r13 = r[0];
    const double spread = std::fabs(round_decimal(r13 - zero[24], 3)) + std::fabs(round_decimal(r13 - zero[120], 3)) +
                          std::fabs(round_decimal(r13 - zero[720], 3));
    for (int k = 0; k < 6; ++k) zero[static_cast<std::size_t>(k)] = spread == 0.0 ? r13 : r13 * short_a[k] - short_b[k];
    zero[6] = r13;
    for (int k = 0; k <= 6; ++k) {
        const auto uk = static_cast<std::size_t>(k);
        if (zero[uk] < 0.01) zero[uk] = 0.01;
        df[uk] = std::pow(1.0 + zero[uk] * 0.005, -k / 12.0);
    }

    // Between the knots, zero rates linear in log time.
    auto fill_between = [&](int a, int b) {
        const auto ua = static_cast<std::size_t>(a);
        const auto ub = static_cast<std::size_t>(b);
        const double xa = log_time(a);
        const double span = log_time(b) - xa;
        for (int i = a + 1; i < b; ++i) {
            const auto ui = static_cast<std::size_t>(i);
            zero[ui] = zero[ua] + (zero[ub] - zero[ua]) * (log_time(i) - xa) / span;
            df[ui] = std::pow(std::pow(1.0 + zero[ui] * 0.005, -1.0 / 12.0), i);
        }
    };
    fill_between(6, 12);
    for (int a = 12; a < 720; a += 12) fill_between(a, a + 12);

    // Beyond 30 years the last forward rate holds.
    const double f720 = fwd[720];
    const double v = std::pow(1.0 / (1.0 + f720 * 0.005), 1.0 / 12.0);
    for (int i = 721; i <= grid_last; ++i) {
        const auto ui = static_cast<std::size_t>(i);
        fwd[ui] = f720;
        df[ui] = df[ui - 1] * v;
    }

    highest_zero_ = lowest_zero_ = zero[0];
    for (int i = 0; i <= grid_last; ++i) {
        const auto ui = static_cast<std::size_t>(i);
        if (df[ui] > 1.0) throw text_error(period_message("greater than 1.0", i));
        if (df[ui] < 0.0) throw text_error(period_message("negative", i));
        if (std::isnan(df[ui])) throw text_error(period_message("not a number", i));
        if (zero[ui] == missing_rate) zero[ui] = (std::pow(1.0 / df[ui], 12.0 / i) - 1.0) * 200.0;
        // A factor so small that its rate overflows: the curve cannot be
        // carried this far.
        if (!std::isfinite(zero[ui])) throw text_error(segment_at(i).message);
        if (zero[ui] > highest_zero_) highest_zero_ = zero[ui];
        if (zero[ui] < lowest_zero_) lowest_zero_ = zero[ui];
    }
    built_ = true;
    built_from_rates_ = curve_;
    built_highest_zero_ = highest_zero_;
    built_lowest_zero_ = lowest_zero_;
}

double present_value_factors::single_rate_power(int half_months) const {
    constexpr int kept_span = 2 * grid_last;  // powers kept for -kept_span..kept_span
    if (half_months < -kept_span || half_months > kept_span)
        return std::pow(single_rate_factor_, -static_cast<double>(half_months) / 24.0);
    if (single_rate_powers_.empty()) single_rate_powers_.resize(2 * kept_span + 1, {0, 0.0});
    auto& [count, power] = single_rate_powers_[static_cast<std::size_t>(half_months + kept_span)];
    if (count != single_rate_count_) {
        count = single_rate_count_;
        power = std::pow(single_rate_factor_, -static_cast<double>(half_months) / 24.0);
    }
    return power;
}

double present_value_factors::discount_at_single_rate(int frequency, int, std::span<const double> amounts, int start) const {
    if (!uses_single_rate_) throw text_error("cf_pvfact::dwork_fast called when use_ser wasn't set");
    if (!on_the_fly_) throw text_error("cf_pvfact::dwork_fast called when on_the_fly wasn't set");
    if (single_rate_factor_ == not_available) throw text_error("cf_pvfact::dwork_fast called when single effective rate wasn't set");
    if (frequency < 1 || frequency > 4 || amounts.empty()) return 0.0;
    return continue_discount(amounts, single_rate_power(start), single_rate_power(grid_step(frequency)), 0.0);
}

bool present_value_factors::discount_all(const discount_batch& batch, std::span<double> values) {
    if (values.size() < batch.rows().size() || !batch.discountable()) return false;
    const bool at_single_rate = uses_single_rate_ && on_the_fly_;
    if (at_single_rate ? single_rate_factor_ == not_available
                       : !built_ || batch.latest_index() > grid_last || batch.earliest_index() < -grid_last)
        return false;
    std::fill_n(values.begin(), batch.rows().size(), 0.0);
    // Where each family's factors are: at a single rate, its run of products;
    // on the table, its grid points.
    const auto& families = batch.families();
    std::span<const double> table = curve_.discount_factors;
    if (at_single_rate) {
        std::vector<double> first_factors(families.size()), per_steps(families.size());
        for (std::size_t f = 0; f < families.size(); ++f) {
            first_factors[f] = single_rate_power(families[f].start);
            per_steps[f] = single_rate_power(families[f].step);
        }
        runs_.resize(batch.runs_size());
        factor_runs(batch, first_factors, per_steps, runs_);
        table = runs_;
    }
    const auto& groups = batch.groups();
    lanes_.resize(groups.size());
    discount_side_by_side(batch, table, batch.starting_lanes(at_single_rate), lanes_);
    for (std::size_t g = 0; g < groups.size(); ++g)
        for (std::size_t l = 0; l < discount_batch::lanes; ++l) values[groups[g].rows[l]] = lanes_[g].value[l];
    // What the groups' longer rows have beyond the group's shortest.
    for (const auto& [g, l] : batch.longer_rows()) {
        const std::size_t n = groups[g].rows[l];
        const std::span<const double> rest = batch.rows()[n].amounts.subspan(groups[g].together);
        values[n] = continue_on_table(table, rest, lanes_[g].index[l], lanes_[g].index_step[l], values[n]);
    }
    // The rows alone: at a single rate, a row of a family reads its family's
    // run, a row reaching before the start makes its own products.
    for (const std::size_t n : batch.alone()) {
        const discount_request& row = batch.rows()[n];
        const int step = grid_step(row.frequency);
        const std::size_t f = batch.family_of(n);
        if (f != discount_batch::no_family && at_single_rate)
            values[n] = continue_on_table(table, row.amounts, static_cast<std::int64_t>(families[f].run), discount_batch::lanes, 0.0);
        else if (at_single_rate)
            values[n] = continue_discount(row.amounts, single_rate_power(row.start), single_rate_power(step), 0.0);
        else
            values[n] = continue_on_table(table, row.amounts, row.start, step, 0.0);
    }
    return true;
}

double present_value_factors::discount(int frequency, int point, std::span<const double> amounts, int start) {
    if (amounts.empty()) return 0.0;
    if (frequency == 0) throw text_error("cf_pvfact::discount called with unknown frequency");
    if (point == 0) throw text_error("cf_pvfact::discount called with unknown within-period point");
    if (frequency < 1 || frequency > 4) return 0.0;
    const int step = grid_step(frequency);
    if (uses_single_rate_ && on_the_fly_) return discount_at_single_rate(frequency, point, amounts, start);
    if (!built_) make();
    if (!built_) throw text_error("cf_pvfact::discount called before the single effective rate was set");

    const std::int64_t span = static_cast<std::int64_t>(amounts.size() - 1) * step;
    if (start + span > grid_last || (start < 0 && -static_cast<std::int64_t>(start) > grid_last))
        throw text_error(extent_messages[frequency - 1]);
    return continue_on_table(curve_.discount_factors, amounts, start, step, 0.0);
}

std::vector<double> present_value_factors::amount_factors(int frequency, int point, std::size_t count, int start) {
    std::vector<double> factors;
    if (frequency < 1 || frequency > 4) return factors;
    const double one = 1.0;
    const int step = grid_step(frequency);
    for (std::size_t k = 0; k < count; ++k)
        factors.push_back(discount(frequency, point, std::span<const double>(&one, 1), start + static_cast<int>(k) * step));
    return factors;
}

const std::vector<double>& present_value_factors::build_table(table_id id) {
    const table_shape& shape = shapes[id];
    if (!built_)
        throw text_error(std::string("cf_pvfact::make_pv_") + shape.name + " called with a null pvfact pointer");
    std::vector<double> table(static_cast<std::size_t>(shape.entries));
    for (int k = 0; k < shape.entries; ++k)
        table[static_cast<std::size_t>(k)] = curve_.discount_factors[static_cast<std::size_t>(shape.step * k + shape.offset)];
    tables_[id] = std::move(table);
    return tables_[id];
}

std::pair<int, int> present_value_factors::range_of_zero_rates(int n) const {
    const int last = n < grid_last ? n : grid_last;
    const auto& zero = curve_.zero_rates;
    int low = 0;
    int high = 0;
    for (int i = 1; i <= last; ++i) {
        const auto ui = static_cast<std::size_t>(i);
        if (zero[ui] < zero[static_cast<std::size_t>(low)]) low = i;
        if (zero[ui] > zero[static_cast<std::size_t>(high)]) high = i;
    }
    return {low, high};
}

}  // namespace fv
