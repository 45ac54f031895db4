// Reading a cash-flow row from the range and the row's own small operations:
// leading zeros, start offset, sign check, trimming, yearly sums, time measures.
#include "cashflow/cash_flow_row.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <cstdint>

#include "cashflow/fiscal_calendar.h"
#include "cashflow/cohort.h"
#include "cashflow/credit_program.h"
#include "cashflow/line_code.h"
#include "cashflow/disbursement_conversion.h"
#include "cashflow/input_text.h"
#include "cashflow/timing_spec.h"
#include "util/text_error.h"
#include "workbook/workbook_file.h"

namespace fv {

namespace {

// Lines whose amounts carry one sign; the others may be either.
constexpr line_code never_positive_lines[] = {
    line_code::dl_defaults,  line_code::dl_losses,         line_code::lg_recoveries,
    line_code::lg_lost_fees, line_code::lg_saved_interest, line_code::lg_misc_recoveries,
};
constexpr line_code never_negative_lines[] = {
    line_code::dl_disbursements, line_code::dl_inflows_other,    line_code::dl_outflows_other,   line_code::dl_principal,
    line_code::dl_interest,      line_code::dl_fees,             line_code::dl_recoveries,       line_code::lg_disbursements,
    line_code::lg_upfront_fees,  line_code::lg_annual_fees,      line_code::lg_premiums,         line_code::lg_inflows_other,
    line_code::lg_default_payments, line_code::lg_interest_subsidy, line_code::lg_outflows_other,
};

enum class cell_value { blank, number, invalid };

// A cell as an amount: a finite number, nothing, or anything else (text,
// error and not-available values, non-finite numbers).
cell_value amount_of(const cell_as_number& cell, double& value) {
    if (cell.kind == kind_none) return cell_value::blank;
    if (cell.kind == kind_number && cell.read && std::isfinite(cell.value)) {
        value = cell.value;
        return cell_value::number;
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

cash_flow_row::cash_flow_row(fv::cohort* owner) : cohort(owner) {}

const std::vector<double>& cash_flow_row::valued_amounts() const {
    return same_as_disbursement ? annual_totals : amounts;
}

int cash_flow_row::valued_frequency() const { return same_as_disbursement ? frequency_annual : frequency; }

credit_program* cash_flow_row::program() const { return cohort != nullptr ? cohort->program : nullptr; }

std::unique_ptr<cash_flow_row> cash_flow_row::copy(bool with_amounts) const {
    auto twin = std::make_unique<cash_flow_row>(cohort);
    twin->line = line;
    twin->cell = cell;
    twin->label = label;
    if (with_amounts) {
        twin->amounts = amounts;
        twin->annual_totals = annual_totals;
    }
    twin->frequency = frequency;
    twin->annual_total_frequency = annual_total_frequency;
    twin->has_annual_totals = has_annual_totals;
    twin->point = point;
    twin->start_year = start_year;
    twin->start_period = start_period;
    twin->disbursement_period_flag = disbursement_period_flag;
    twin->disbursement_period = disbursement_period;
    twin->same_as_disbursement = same_as_disbursement;
    twin->continuous = continuous;
    twin->start_offset = start_offset;
    twin->signs = signs;
    twin->is_part = is_part;
    twin->distribution_method = distribution_method;
    twin->periods_ratio = periods_ratio;
    twin->combination_count = combination_count;
    twin->parent_start_year = parent_start_year;
    return twin;
}

void cash_flow_row::reset() {
    fv::cohort* owner = cohort;
    *this = cash_flow_row(owner);
}

void cash_flow_row::read(workbook_file& book, line_code code) {
    reset();
    line = code;
    cell = book.cursor_address_text();
    std::string text;
    if (book.read_cursor_cell(text) == content_delivered) label = label_of(text);
    credit_program* owner_program = program();
    const auto message_38 = [owner_program](const std::string& where) {
        if (owner_program != nullptr) owner_program->add(38, fill("Non-numeric or invalid cell value in cell %s.  Zero used instead.", {where}));
    };

    // The row's cells, read in one go; the cursor walks them as it always did.
    const std::vector<cell_as_number>& cells = book.read_cursor_row_numbers();
    const auto read_amount = [&](double& value) {
        return amount_of(cells[static_cast<std::size_t>(book.current_column() - book.first_column())], value);
    };

    // Rightmost nonzero number. A bad cell is reported once the scan has moved
    // past it, so the label cell itself never is.
    book.cursor_right(far_away);
    int found = -1;
    std::string queued;
    for (;;) {
        if (!queued.empty()) {
            message_38(queued);
            queued.clear();
        }
        if (book.current_column() <= book.first_column()) break;
        double value = 0.0;
        const cell_value kind = read_amount(value);
        if (kind == cell_value::number && value != 0.0) {
            found = book.current_column();
            break;
        }
        if (kind == cell_value::invalid) queued = book.cursor_address_text();
        if (!book.cursor_left(1)) break;
    }
    if (found < 0) {
        label.clear();
        return;
    }

    if (!is_disbursement() && (cohort == nullptr || cohort->disbursement_row == nullptr)) {
        if (owner_program == nullptr)
            throw text_error("E024:  the line with \"Disbursements\" was missing.\nIt must precede most other cash flows (see help)");
        throw text_error(fill("E024:  the line with \"Disbursements\" was missing.\nIt must follow \"%s\" and precede all other cash flows (see help)",
                              {owner_program->program_type == program_direct_loan ? "Obligations" : "Commitments"}));
    }

    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(found - book.first_column()));
    book.cursor_left(far_away);
    for (int column = book.first_column() + 1; column <= found; ++column) {
        book.cursor_right(1);
        double value = 0.0;
        const cell_value kind = read_amount(value);
        if (kind == cell_value::invalid) message_38(book.cursor_address_text());
        values.push_back(kind == cell_value::number ? value : 0.0);
    }

    // Timing: simple, else continuous, else the program's own settings.
    static const timing_settings defaults;
    const timing_settings& timing = owner_program != nullptr ? owner_program->timing() : defaults;
    start_year = cohort != nullptr ? cohort->year : 0;
    start_period = 1;
    if (timing.simple) {
        frequency = frequency_annual;
        annual_total_frequency = 0;
        point = in_inflow_class(line) ? point_end : point_beginning;
    } else if (timing.continuous) {
        continuous = true;
        point = point_middle;
        if (is_disbursement()) {
            frequency = frequency_annual;
        } else if (!cohort->disbursement_row->continuous ||
                   (owner_program != nullptr && owner_program->has_unequal_factors(line, cohort->year))) {
            annual_total_frequency = annual_total_quarterly_payments;
        } else {
            frequency = frequency_annual;
        }
    } else {
        frequency = timing.frequency;
        annual_total_frequency = timing.annual_total_frequency;
        point = timing.point;
        start_period = timing.start_period;
    }

    apply_label_specification();

    if (frequency == 0 && annual_total_frequency == 0)
        throw text_error(fill("E028:  The frequency of the cash flows beginning in cell %s has not been given", {cell}));
    if (point == 0)
        throw text_error(fill("E028:  The timing of the cash flows beginning in cell %s has not been given", {cell}));

    if (!is_disbursement()) {
        const cash_flow_row* disbursements = cohort != nullptr ? cohort->disbursement_row : nullptr;
        same_as_disbursement = annual_total_frequency != 0 && disbursements != nullptr && disbursements->has_annual_totals &&
                               annual_total_frequency == disbursements->annual_total_frequency;
    } else {
        for (double value : values)
            if (value < 0.0)
                throw text_error(fill(
                    "E016:  A negative value for disbursements was found on the row beginning in cell %s", {cell}));
    }

    if (annual_total_frequency != 0) {
        frequency = 0;
        annual_totals = std::move(values);
        has_annual_totals = true;
        if (annual_totals.size() > 100)
            throw text_error(fill("E027:  The cash flows beginning in cell %s extend beyond 100 years", {cell}));
        if (annual_totals.front() == 0.0) drop_leading_zero_annual_totals();
        if (is_disbursement()) periods_from_annual_totals(*this);
    } else {
        amounts = std::move(values);
        if (amounts.size() > amount_limit(frequency))
            throw text_error(fill("E027:  The cash flows beginning in cell %s extend beyond 100 years", {cell}));
        if (amounts.front() == 0.0) drop_leading_zero_amounts();
        if (is_disbursement()) annual_totals_from_periods(*this);
    }

    if (!is_disbursement()) compute_start_offset();
}

void cash_flow_row::apply_label_specification() {
    const std::string_view text = skip_blanks(label);
    if (!text.empty() && text.front() == '(') {
        disbursement_period_flag = true;
        const int number = leading_integer(text.substr(1));
        if (number > 0) disbursement_period = number;
    }
    const std::size_t open = text.find('[');
    if (open == std::string_view::npos) return;
    const std::size_t close = text.find(']', open + 1);
    if (close == std::string_view::npos)
        throw text_error(fill("E022: Missing right square bracket on row in %s", {label}));
    int spec_frequency = 0, spec_annual_total_frequency = 0, spec_point = 0, spec_year = 0, spec_period = 0;
    if (!parse_timing_spec(text.substr(open + 1, close - open - 1), &spec_frequency, &spec_annual_total_frequency, &spec_point,
                           &spec_year, &spec_period))
        throw text_error(fill("E023: Formatting problem with year and period specification in %s", {label}));
    if (spec_frequency != 0) {
        frequency = spec_frequency;
        annual_total_frequency = 0;
    }
    if (spec_annual_total_frequency != 0) {
        annual_total_frequency = spec_annual_total_frequency;
        frequency = 0;
    }
    if (spec_point != 0) point = spec_point;
    if (spec_year != 0) start_year = spec_year;
    if (spec_period != 0) start_period = spec_period;
}

void cash_flow_row::drop_leading_zero_amounts() {
    if (amounts.empty() || amounts.front() != 0.0) return;
    std::size_t n = 0;
    while (n < amounts.size() && amounts[n] == 0.0) ++n;
    if (n == amounts.size() && is_disbursement()) throw text_error("cf_item::fix_zero_amt found no disbursements");
    // A start period past the year's periods counts as the first, as in dates.
    const int periods = periods_per_year(frequency);
    if (start_period < 1 || start_period > periods) start_period = 1;
    const long long moved = static_cast<long long>(start_period - 1) + static_cast<long long>(n);
    start_year += static_cast<int>(moved / periods);
    start_period = static_cast<int>(moved % periods) + 1;
    amounts.erase(amounts.begin(), amounts.begin() + static_cast<std::ptrdiff_t>(n));
    if (!is_disbursement()) compute_start_offset();
}

void cash_flow_row::drop_leading_zero_annual_totals() {
    if (annual_totals.empty() || annual_totals.front() != 0.0) return;
    std::size_t n = 0;
    while (n < annual_totals.size() && annual_totals[n] == 0.0) ++n;
    if (n == annual_totals.size() && is_disbursement()) throw text_error("cf_item::fix_zero_c_amt found no disbursements");
    start_year += static_cast<int>(n);
    annual_totals.erase(annual_totals.begin(), annual_totals.begin() + static_cast<std::ptrdiff_t>(n));
    if (!is_disbursement()) compute_start_offset();
}

void cash_flow_row::compute_start_offset() {
    if (is_disbursement() || cohort == nullptr || cohort->disbursement_row == nullptr) return;
    const cash_flow_row& disbursements = *cohort->disbursement_row;
    const long long row_date = same_as_disbursement ? annual_total_date(annual_total_frequency, start_year, point)
                                                    : first_amount_date(frequency, start_year, start_period, point);
    long long disbursement_date =
        disbursements.has_annual_totals
            ? annual_total_date(disbursements.annual_total_frequency, disbursements.start_year, disbursements.point)
            : first_amount_date(disbursements.frequency, disbursements.start_year, disbursements.start_period,
                                disbursements.point);
    if (disbursement_period > 1) {
        // Disbursement periods are years when the disbursements are annual totals.
        const long long days = disbursements.has_annual_totals ? 360 : period_days(disbursements.frequency);
        disbursement_date += static_cast<long long>(disbursement_period - 1) * days;
    }
    start_offset = half_months_from_days(row_date - disbursement_date);
}

void cash_flow_row::check_signs(message_list& messages) {
    signs = amount_signs::none_significant;
    double* const total = cohort == nullptr                       ? nullptr
                          : line == line_code::dl_disbursements ? &cohort->total_disbursements
                          : line == line_code::dl_principal     ? &cohort->total_principal
                                                                : nullptr;
    if (total != nullptr)
        for (double amount : amounts)
            if (!(std::fabs(amount) < 1e-10)) *total += amount;
    for (double amount : amounts) {
        if (std::fabs(amount) < 1e-10) continue;
        const amount_signs sign = amount > 0.0 ? amount_signs::all_positive : amount_signs::all_negative;
        if (signs == amount_signs::none_significant) {
            signs = sign;
        } else if (sign != signs) {
            signs = amount_signs::mixed;
            break;
        }
    }
    if (program() == nullptr) return;
    const bool must_not_be_positive = std::ranges::find(never_positive_lines, line) != std::end(never_positive_lines);
    const bool must_not_be_negative = std::ranges::find(never_negative_lines, line) != std::end(never_negative_lines);
    if (!must_not_be_positive && !must_not_be_negative) return;
    const std::string line_name = line_code_name(line);
    if (must_not_be_positive && (signs == amount_signs::all_positive || signs == amount_signs::mixed)) {
        messages.add(35, fill("On the %s line beginning in %s, some values are positive.", {line_name, cell}));
        messages.add(35, fill("    All %s values should be zero or negative amounts.", {line_name}));
    }
    if (must_not_be_negative && (signs == amount_signs::all_negative || signs == amount_signs::mixed)) {
        messages.add(34, fill("On the %s line beginning in %s, some values are negative.", {line_name, cell}));
        messages.add(34, fill("    All %s values should be zero or positive amounts.", {line_name}));
    }
}

void cash_flow_row::trim_trailing_zeros() {
    while (amounts.size() > 1 && amounts.back() == 0.0) amounts.pop_back();
    while (annual_totals.size() > 1 && annual_totals.back() == 0.0) annual_totals.pop_back();
    for (auto& part : parts) part->trim_trailing_zeros();
}

void cash_flow_row::add_to_fiscal_year_sums(std::vector<double>& sums) const {
    const long long first_slot = static_cast<long long>(start_year) - (cohort != nullptr ? cohort->year : start_year);
    const long long periods = periods_per_year(frequency);
    for (std::size_t i = 0; i < amounts.size(); ++i) {
        const long long slot = first_slot + static_cast<long long>(i) / periods;
        if (slot >= 0 && slot < static_cast<long long>(sums.size())) sums[static_cast<std::size_t>(slot)] += amounts[i];
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

cash_flow_row::time_weight cash_flow_row::weighted_time() const {
    time_weight result;
    const double step = half_months_per_amount(frequency);
    double weighted = 0.0;
    for (std::size_t i = 0; i < amounts.size(); ++i) {
        const double size = std::fabs(amounts[i]);
        result.sum += size;
        weighted += (start_offset + static_cast<double>(i) * step) * size;
    }
    if (result.sum > 0.0) result.mean = weighted / result.sum;
    return result;
}

double cash_flow_row::last_time() const {
    if (amounts.empty()) return start_offset;
    return start_offset + static_cast<double>(amounts.size() - 1) * half_months_per_amount(frequency);
}

}  // namespace fv
