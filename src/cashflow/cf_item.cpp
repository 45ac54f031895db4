// Reading a cash-flow row from the range and the row's own small operations:
// leading zeros, start offset, sign check, trimming, yearly sums, time measures.
#include "cashflow/cf_item.h"

#include <cmath>
#include <cstdint>

#include "cashflow/cf_calendar.h"
#include "cashflow/cf_cohort.h"
#include "cashflow/cf_pgm.h"
#include "cashflow/cr_spec.h"
#include "cashflow/disbursement_conversion.h"
#include "cashflow/input_text.h"
#include "cashflow/timing_spec.h"
#include "util/text_error.h"
#include "workbook/gen_file.h"

namespace fv {

namespace {

constexpr unsigned far_away = 65536;  // more cells than any range holds: the cursor stops at the edge

enum class cell_value { blank, number, invalid };

// A cell under the cursor as an amount: a finite number, nothing, or anything
// else (text, error and not-available values, non-finite numbers).
cell_value read_amount(gen_file& book, double& value) {
    const int type = book.rc_type();
    if (type == kind_none) return cell_value::blank;
    if (type == kind_number) {
        double number = 0.0;
        if (book.rc_content(number) == content_delivered && std::isfinite(number)) {
            value = number;
            return cell_value::number;
        }
    }
    return cell_value::invalid;
}

std::string label_of(const std::string& text) {
    std::size_t first = 0;
    while (first < text.size() && text[first] == ' ') ++first;
    std::size_t last = text.size();
    while (last > first && (text[last - 1] == ' ' || text[last - 1] == '.')) --last;
    return text.substr(first, last - first);
}

// Amount limit by frequency: 100 years of amounts.
std::size_t amount_limit(int frequency) {
    switch (frequency) {
        case 2: return 200;
        case 3: return 400;
        case 4: return 1200;
        default: return 100;
    }
}

}  // namespace

cf_item::cf_item(cf_cohort* owner) : cohort(owner) {}

cf_pgm* cf_item::program() const { return cohort != nullptr ? cohort->program : nullptr; }

std::unique_ptr<cf_item> cf_item::copy(bool with_amounts) const {
    auto twin = std::make_unique<cf_item>(cohort);
    twin->lint_type = lint_type;
    twin->cell = cell;
    twin->label = label;
    if (with_amounts) {
        twin->amt = amt;
        twin->c_amt = c_amt;
    }
    twin->frequency = frequency;
    twin->c_frequency = c_frequency;
    twin->has_annual_totals = has_annual_totals;
    twin->point = point;
    twin->start_year = start_year;
    twin->start_period = start_period;
    twin->disb_period_flag = disb_period_flag;
    twin->disb_period = disb_period;
    twin->same_as_disbursement = same_as_disbursement;
    twin->continuous = continuous;
    twin->start_offset = start_offset;
    twin->sign_state = sign_state;
    twin->is_part = is_part;
    twin->distribution_method = distribution_method;
    twin->periods_ratio = periods_ratio;
    twin->combination_count = combination_count;
    twin->parent_start_year = parent_start_year;
    return twin;
}

void cf_item::reset() {
    cf_cohort* owner = cohort;
    *this = cf_item(owner);
}

void cf_item::read(gen_file& book, int line_type) {
    reset();
    lint_type = line_type;
    cell = book.rc_coord();
    std::string text;
    if (book.rc_content(text) == content_delivered) label = label_of(text);
    cf_pgm* pgm = program();
    const auto message_38 = [pgm](const std::string& where) {
        if (pgm != nullptr) pgm->add(38, fill("Non-numeric or invalid cell value in cell %s.  Zero used instead.", {where}));
    };

    // Rightmost nonzero number. A bad cell is reported once the scan has moved
    // past it, so the label cell itself never is.
    book.rc_right(far_away);
    int found = -1;
    std::string queued;
    for (;;) {
        if (!queued.empty()) {
            message_38(queued);
            queued.clear();
        }
        if (book.current_column() <= book.first_column()) break;
        double value = 0.0;
        const cell_value kind = read_amount(book, value);
        if (kind == cell_value::number && value != 0.0) {
            found = book.current_column();
            break;
        }
        if (kind == cell_value::invalid) queued = book.rc_coord();
        if (!book.rc_left(1)) break;
    }
    if (found < 0) {
        label.clear();
        return;
    }

    if (!is_disbursement() && (cohort == nullptr || cohort->disbursement_row == nullptr)) {
        if (pgm == nullptr)
            throw text_error("E024:  the line with \"Disbursements\" was missing.\nIt must precede most other cash flows (see help)");
        throw text_error(fill("E024:  the line with \"Disbursements\" was missing.\nIt must follow \"%s\" and precede all other cash flows (see help)",
                              {pgm->program_type == 1 ? "Obligations" : "Commitments"}));
    }

    std::vector<double> values;
    book.rc_left(far_away);
    for (int column = book.first_column() + 1; column <= found; ++column) {
        book.rc_right(1);
        double value = 0.0;
        const cell_value kind = read_amount(book, value);
        if (kind == cell_value::invalid) message_38(book.rc_coord());
        values.push_back(kind == cell_value::number ? value : 0.0);
    }

    // Timing: simple, else continuous, else the program's own settings.
    static const timing_settings defaults;
    const timing_settings& timing = pgm != nullptr ? pgm->timing() : defaults;
    start_year = cohort != nullptr ? cohort->year : 0;
    start_period = 1;
    if (timing.simple) {
        frequency = 1;
        c_frequency = 0;
        point = in_inflow_class(lint_type) ? 3 : 1;
    } else if (timing.continuous) {
        continuous = true;
        point = 2;
        if (is_disbursement()) {
            frequency = 1;
        } else if (!cohort->disbursement_row->continuous ||
                   (pgm != nullptr && pgm->has_unequal_factors(lint_type, cohort->year))) {
            c_frequency = 2;
        } else {
            frequency = 1;
        }
    } else {
        frequency = timing.frequency;
        c_frequency = timing.c_frequency;
        point = timing.point;
        start_period = timing.start_period;
    }

    apply_label_specification();

    if (frequency == 0 && c_frequency == 0)
        throw text_error(fill("E028:  The frequency of the cash flows beginning in cell %s has not been given", {cell}));
    if (point == 0)
        throw text_error(fill("E028:  The timing of the cash flows beginning in cell %s has not been given", {cell}));

    if (!is_disbursement()) {
        const cf_item* disbursements = cohort != nullptr ? cohort->disbursement_row : nullptr;
        same_as_disbursement = c_frequency != 0 && disbursements != nullptr && disbursements->has_annual_totals &&
                               c_frequency == disbursements->c_frequency;
    } else {
        for (double value : values)
            if (value < 0.0)
                throw text_error(fill(
                    "E016:  A negative value for disbursements was found on the row beginning in cell %s", {cell}));
    }

    if (c_frequency != 0) {
        frequency = 0;
        c_amt = std::move(values);
        has_annual_totals = true;
        if (c_amt.size() > 100)
            throw text_error(fill("E027:  The cash flows beginning in cell %s extend beyond 100 years", {cell}));
        if (c_amt.front() == 0.0) fix_zero_c_amt();
        if (is_disbursement()) periods_from_annual_totals(*this);
    } else {
        amt = std::move(values);
        if (amt.size() > amount_limit(frequency))
            throw text_error(fill("E027:  The cash flows beginning in cell %s extend beyond 100 years", {cell}));
        if (amt.front() == 0.0) fix_zero_amt();
        if (is_disbursement()) annual_totals_from_periods(*this);
    }

    if (!is_disbursement()) compute_start_offset();
}

void cf_item::apply_label_specification() {
    const std::string_view text = skip_blanks(label);
    if (!text.empty() && text.front() == '(') {
        disb_period_flag = true;
        const int number = leading_integer(text.substr(1));
        if (number > 0) disb_period = number;
    }
    const std::size_t open = text.find('[');
    if (open == std::string_view::npos) return;
    const std::size_t close = text.find(']', open + 1);
    if (close == std::string_view::npos)
        throw text_error(fill("E022: Missing right square bracket on row in %s", {label}));
    int spec_frequency = 0, spec_c_frequency = 0, spec_point = 0, spec_year = 0, spec_period = 0;
    if (!parse_timing_spec(text.substr(open + 1, close - open - 1), &spec_frequency, &spec_c_frequency, &spec_point,
                           &spec_year, &spec_period))
        throw text_error(fill("E023: Formatting problem with year and period specification in %s", {label}));
    if (spec_frequency != 0) {
        frequency = spec_frequency;
        c_frequency = 0;
    }
    if (spec_c_frequency != 0) {
        c_frequency = spec_c_frequency;
        frequency = 0;
    }
    if (spec_point != 0) point = spec_point;
    if (spec_year != 0) start_year = spec_year;
    if (spec_period != 0) start_period = spec_period;
}

void cf_item::fix_zero_amt() {
    if (amt.empty() || amt.front() != 0.0) return;
    std::size_t n = 0;
    while (n < amt.size() && amt[n] == 0.0) ++n;
    if (n == amt.size() && is_disbursement()) throw text_error("cf_item::fix_zero_amt found no disbursements");
    // A start period past the year's periods counts as the first, as in dates.
    const int periods = periods_per_year(frequency);
    if (start_period < 1 || start_period > periods) start_period = 1;
    const long long moved = static_cast<long long>(start_period - 1) + static_cast<long long>(n);
    start_year += static_cast<int>(moved / periods);
    start_period = static_cast<int>(moved % periods) + 1;
    amt.erase(amt.begin(), amt.begin() + static_cast<std::ptrdiff_t>(n));
    if (!is_disbursement()) compute_start_offset();
}

void cf_item::fix_zero_c_amt() {
    if (c_amt.empty() || c_amt.front() != 0.0) return;
    std::size_t n = 0;
    while (n < c_amt.size() && c_amt[n] == 0.0) ++n;
    if (n == c_amt.size() && is_disbursement()) throw text_error("cf_item::fix_zero_c_amt found no disbursements");
    start_year += static_cast<int>(n);
    c_amt.erase(c_amt.begin(), c_amt.begin() + static_cast<std::ptrdiff_t>(n));
    if (!is_disbursement()) compute_start_offset();
}

void cf_item::compute_start_offset() {
    if (is_disbursement() || cohort == nullptr || cohort->disbursement_row == nullptr) return;
    const cf_item& disbursements = *cohort->disbursement_row;
    const long long row_date = same_as_disbursement ? annual_total_date(c_frequency, start_year, point)
                                                    : first_amount_date(frequency, start_year, start_period, point);
    long long disbursement_date =
        disbursements.has_annual_totals
            ? annual_total_date(disbursements.c_frequency, disbursements.start_year, disbursements.point)
            : first_amount_date(disbursements.frequency, disbursements.start_year, disbursements.start_period,
                                disbursements.point);
    if (disb_period > 1) {
        // Disbursement periods are years when the disbursements are annual totals.
        const long long days = disbursements.has_annual_totals ? 360 : period_days(disbursements.frequency);
        disbursement_date += static_cast<long long>(disb_period - 1) * days;
    }
    start_offset = half_months_from_days(row_date - disbursement_date);
}

void cf_item::check_signs() {
    sign_state = 0;
    for (double amount : amt) {
        if (std::fabs(amount) < 1e-10) continue;
        if (cohort != nullptr) {
            if (lint_type == 46) cohort->total_disbursements += amount;
            if (lint_type == 49) cohort->total_principal += amount;
        }
    }
    for (double amount : amt) {
        if (std::fabs(amount) < 1e-10) continue;
        const int sign = amount > 0.0 ? 1 : 2;
        if (sign_state == 0) {
            sign_state = sign;
        } else if (sign != sign_state) {
            sign_state = 3;
            break;
        }
    }
    cf_pgm* pgm = program();
    if (pgm == nullptr) return;
    const bool must_not_be_positive =
        lint_type == 52 || lint_type == 53 || lint_type == 64 || lint_type == 67 || lint_type == 68 || lint_type == 69;
    const bool must_not_be_negative = (lint_type >= 46 && lint_type <= 51) || lint_type == 54 || lint_type == 57 ||
                                      (lint_type >= 59 && lint_type <= 63) || lint_type == 65 || lint_type == 66;
    const std::string line = spec_name(lint_type);
    if (must_not_be_positive && (sign_state == 1 || sign_state == 3)) {
        pgm->add(35, fill("On the %s line beginning in %s, some values are positive.", {line, cell}));
        pgm->add(35, fill("    All %s values should be zero or negative amounts.", {line}));
    }
    if (must_not_be_negative && (sign_state == 2 || sign_state == 3)) {
        pgm->add(34, fill("On the %s line beginning in %s, some values are negative.", {line, cell}));
        pgm->add(34, fill("    All %s values should be zero or positive amounts.", {line}));
    }
}

void cf_item::trim_trailing_zeros() {
    while (amt.size() > 1 && amt.back() == 0.0) amt.pop_back();
    while (c_amt.size() > 1 && c_amt.back() == 0.0) c_amt.pop_back();
    for (auto& part : parts) part->trim_trailing_zeros();
}

void cf_item::annual_totals(std::vector<double>& sums) const {
    const long long first_slot = static_cast<long long>(start_year) - (cohort != nullptr ? cohort->year : start_year);
    const long long periods = periods_per_year(frequency);
    for (std::size_t i = 0; i < amt.size(); ++i) {
        const long long slot = first_slot + static_cast<long long>(i) / periods;
        if (slot >= 0 && slot < static_cast<long long>(sums.size())) sums[static_cast<std::size_t>(slot)] += amt[i];
    }
}

namespace {

double half_months_per_amount(int frequency) {
    switch (frequency) {
        case 2: return 12.0;
        case 3: return 6.0;
        case 4: return 2.0;
        default: return 24.0;
    }
}

}  // namespace

cf_item::time_weight cf_item::weighted_time() const {
    time_weight result;
    const double step = half_months_per_amount(frequency);
    double weighted = 0.0;
    for (std::size_t i = 0; i < amt.size(); ++i) {
        const double size = std::fabs(amt[i]);
        result.sum += size;
        weighted += (start_offset + static_cast<double>(i) * step) * size;
    }
    if (result.sum > 0.0) result.mean = weighted / result.sum;
    return result;
}

double cf_item::last_time() const {
    if (amt.empty()) return start_offset;
    return start_offset + static_cast<double>(amt.size() - 1) * half_months_per_amount(frequency);
}

}  // namespace fv
