// Combination, allocation to disbursement periods and spreading by annual shares.
#include "cashflow/distribution.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "cashflow/fiscal_calendar.h"
#include "cashflow/message_list.h"
#include "cashflow/credit_program.h"
#include "cashflow/disbursement_conversion.h"
#include "cashflow/input_text.h"
#include "cashflow/value_names.h"
#include "util/text_error.h"

namespace fv {

namespace {

// Longest merged row, by frequency (annual totals count as annual).
std::size_t merged_limit(int frequency) {
    switch (frequency) {
        case frequency_semiannual: return 200;
        case frequency_quarter: return 400;
        case frequency_monthly: return 1200;
        default: return 100;
    }
}

// Name of how a row's amounts follow each other: its annual_total_frequency for annual totals, else its frequency.
std::string pace_name(const cash_flow_row& row) {
    return row.has_annual_totals ? annual_total_frequency_name(row.annual_total_frequency) : frequency_name(row.frequency);
}

bool same_pace(const cash_flow_row& a, const cash_flow_row& b) {
    if (a.has_annual_totals != b.has_annual_totals) return false;
    return a.has_annual_totals ? a.annual_total_frequency == b.annual_total_frequency : a.frequency == b.frequency;
}

const char* const e021_start =
    "E021:  Two rows, starting at %s and %s, are the same type and are NOT associated with a disbursement period.  ";

// Adds `other` placed `offset` positions after `into`'s start; a negative offset moves `into` later.
void merge_at(std::vector<double>& into, const std::vector<double>& other, long long offset) {
    if (offset < 0) {
        into.insert(into.begin(), static_cast<std::size_t>(-offset), 0.0);
        offset = 0;
    }
    const std::size_t needed = static_cast<std::size_t>(offset) + other.size();
    if (into.size() < needed) into.resize(needed, 0.0);
    for (std::size_t i = 0; i < other.size(); ++i) into[static_cast<std::size_t>(offset) + i] += other[i];
}

const credit_program* program_of(const cash_flow_row& row) { return row.program(); }

loan_rule rule_of(const cash_flow_row& row) {
    const credit_program* program = program_of(row);
    return program != nullptr && program->loan_type == loan_model::multiple ? loan_rule::multiple_like_loans : loan_rule::construction;
}

bool choose_method(const cash_flow_row& row) {
    const credit_program* program = program_of(row);
    return program != nullptr && program->method == pro_rata_method::choose;
}

int count_nonzero(const std::vector<double>& amounts) {
    return static_cast<int>(std::count_if(amounts.begin(), amounts.end(), [](double a) { return a != 0.0; }));
}

// How many disbursement periods make one period of the row.
int periods_ratio(int disbursement_frequency, int row_frequency) {
    const int disbursement_periods = periods_per_year(disbursement_frequency);
    const int row_periods = periods_per_year(row_frequency);
    return disbursement_periods > row_periods ? disbursement_periods / row_periods : 1;
}

// The split shared by both forms: method, distributed amounts, and the parts.
struct split_inputs {
    const std::vector<double>* disbursements;
    int disbursement_frequency;
    const std::vector<double>* amounts;
    int row_frequency;
    bool annual_totals;
    distribution_parts parts;
};

void split(cash_flow_row& row, const split_inputs& in) {
    const std::vector<double>& d = *in.disbursements;
    if (row.disbursement_period_flag && row.disbursement_period > 0) {
        row.distribution_method = method_tied;
        return;
    }
    if (d.size() == 1) {
        row.distribution_method = method_one_amount;
        return;
    }
    if (count_nonzero(d) == 1) {
        row.distribution_method = method_single_disbursement;
        return;
    }
    // Either split can fail only on row amounts all dropped as zeros or a first
    // disbursement not above zero: other rows need not be split when no parts are kept.
    if (in.parts == distribution_parts::built_when_used && !in.amounts->empty() && d.front() > 0) return;
    std::vector<double> distributed;
    const bool same_frequency = periods_per_year(in.disbursement_frequency) == periods_per_year(in.row_frequency);
    if (choose_method(row) && same_frequency) distributed = rev_spendout(d, *in.amounts);
    if (!distributed.empty()) {
        row.distribution_method = method_rev_spendout;
    } else {
        const pro_rata_matrix matrix(d, static_cast<int>(in.amounts->size()), in.disbursement_frequency, in.row_frequency,
                               rule_of(row));
        distributed = matrix.apply(*in.amounts);
        row.distribution_method = method_pro_rata;
    }
    if (distributed.empty()) throw text_error("cf_item::allocate failed to allocate to disbursement years");
    if (in.parts == distribution_parts::built_when_used) return;

    const std::size_t columns = in.amounts->size();
    for (std::size_t k = 0; k < d.size(); ++k) {
        std::unique_ptr<cash_flow_row> part = row.copy(false);
        part->is_part = true;
        part->disbursement_period_flag = false;
        part->disbursement_period = static_cast<int>(k) + 1;
        part->label = "Disb period " + std::to_string(k + 1);
        part->parent_start_year = row.start_year;
        part->parts.clear();
        std::vector<double> amounts(distributed.begin() + static_cast<std::ptrdiff_t>(k * columns),
                                    distributed.begin() + static_cast<std::ptrdiff_t>((k + 1) * columns));
        while (!amounts.empty() && amounts.back() == 0.0) amounts.pop_back();
        if (amounts.empty()) continue;
        if (in.annual_totals) {
            part->annual_totals = std::move(amounts);
            part->drop_leading_zero_annual_totals();
        } else {
            part->amounts = std::move(amounts);
            part->drop_leading_zero_amounts();
        }
        part->compute_start_offset();
        row.parts.push_back(std::move(part));
    }
}

}  // namespace

void combine_into(cash_flow_row& row, const cash_flow_row& other) {
    const cash_flow_row* disbursements = row.cohort != nullptr ? row.cohort->disbursement_row : nullptr;
    const bool several = disbursements != nullptr && std::max(disbursements->amounts.size(), disbursements->annual_totals.size()) > 1;
    if (several) {
        if (!same_pace(row, other))
            throw text_error(fill(std::string(e021_start) +
                                      "They cannot be combined because the first is %s and the second is %s. ",
                                  {row.cell, other.cell, pace_name(row), pace_name(other)}));
        if (row.point != other.point)
            throw text_error(fill(std::string(e021_start) +
                                      "They cannot be combined because the first has %s within-period timing and the "
                                      "second has %s.",
                                  {row.cell, other.cell, timing_point_name(row.point), timing_point_name(other.point)}));
    }

    long long offset = 0;
    std::size_t limit = 0;
    if (row.has_annual_totals) {
        if (row.annual_total_frequency == 0)
            throw text_error("cf_item::comb_new called with and item that has an unknown c_frequency");
        if (row.annual_totals.empty() || other.annual_totals.empty())
            throw text_error("cf_item::comb_new called with and item that has a NULL c_amt pointer");
        // Annual totals are sums of fiscal years: they line up by year whatever their start periods.
        offset = static_cast<long long>(other.start_year) - row.start_year;
        if (offset < 0) {
            row.start_year = other.start_year;
            row.start_period = other.start_period;
        }
        merge_at(row.annual_totals, other.annual_totals, offset);
        limit = merged_limit(frequency_annual);
        ++row.combination_count;
        if (row.annual_totals.size() > limit)
            throw text_error(fill("E027:  The cash flows beginning in cell %s combined with those beginning in %s "
                                  "extend beyond 100 years",
                                  {row.cell, other.cell}));
    } else {
        if (row.frequency == 0)
            throw text_error("cf_item::comb_new called with and item that has an unknown frequency");
        if (row.amounts.empty() || other.amounts.empty())
            throw text_error("cf_item::comb_new called with and item that has a NULL amt pointer");
        const int periods = periods_per_year(row.frequency);
        offset = static_cast<long long>(other.start_period - row.start_period) +
                 static_cast<long long>(periods) * (static_cast<long long>(other.start_year) - row.start_year);
        if (offset < 0) {
            row.start_year = other.start_year;
            row.start_period = other.start_period;
        }
        merge_at(row.amounts, other.amounts, offset);
        ++row.combination_count;
        if (row.amounts.size() > merged_limit(row.frequency))
            throw text_error(fill("E027:  The cash flows beginning in cell %s combined with those beginning in %s "
                                  "extend beyond 100 years",
                                  {row.cell, other.cell}));
    }
    row.compute_start_offset();
}

void combine_rows(cohort& cohort) {
    const cash_flow_row* disbursements = cohort.disbursement_row;
    if (disbursements == nullptr || std::max(disbursements->amounts.size(), disbursements->annual_totals.size()) < 2) return;
    for (std::size_t i = 0; i < cohort.rows.size(); ++i) {
        cash_flow_row& first = *cohort.rows[i];
        if (first.disbursement_period_flag || first.is_disbursement()) continue;
        for (std::size_t j = i + 1; j < cohort.rows.size();) {
            const cash_flow_row& later = *cohort.rows[j];
            if (later.line == first.line && !later.disbursement_period_flag) {
                combine_into(first, later);
                cohort.rows.erase(cohort.rows.begin() + static_cast<std::ptrdiff_t>(j));
            } else {
                ++j;
            }
        }
    }
}

void distribute_periodic_amounts(cash_flow_row& row, distribution_parts parts) {
    row.parts.clear();
    if (row.is_disbursement() || row.cohort == nullptr || row.cohort->disbursement_row == nullptr) return;
    cash_flow_row& disbursements = *row.cohort->disbursement_row;
    const bool annual = disbursements.has_annual_totals;
    if (annual ? disbursements.annual_totals.empty() : disbursements.amounts.empty())
        throw text_error("cf_item::allocate_new found no disbursements");
    if (annual ? disbursements.annual_totals.front() == 0.0 : disbursements.amounts.front() == 0.0)
        annual ? disbursements.drop_leading_zero_annual_totals() : disbursements.drop_leading_zero_amounts();
    if (!row.amounts.empty() && row.amounts.front() == 0.0) row.drop_leading_zero_amounts();
    const int disbursement_frequency = annual ? frequency_annual : disbursements.frequency;
    row.periods_ratio = periods_ratio(disbursement_frequency, row.frequency);
    split(row, {annual ? &disbursements.annual_totals : &disbursements.amounts, disbursement_frequency, &row.amounts, row.frequency,
                false, parts});
}

void distribute_annual_totals(cash_flow_row& row, distribution_parts parts) {
    row.parts.clear();
    if (row.is_disbursement() || row.cohort == nullptr || row.cohort->disbursement_row == nullptr) return;
    cash_flow_row& disbursements = *row.cohort->disbursement_row;
    if (disbursements.annual_totals.empty()) throw text_error("cf_item::allocate_old found no disbursements");
    if (disbursements.annual_totals.front() == 0.0) disbursements.drop_leading_zero_annual_totals();
    if (!row.annual_totals.empty() && row.annual_totals.front() == 0.0) row.drop_leading_zero_annual_totals();
    split(row, {&disbursements.annual_totals, frequency_annual, &row.annual_totals, frequency_annual, true, parts});
}

void distribute_row(cash_flow_row& row, distribution_parts parts) {
    if (row.is_disbursement()) {
        row.parts.clear();
        return;
    }
    if (!row.annual_totals.empty() && row.same_as_disbursement)
        distribute_annual_totals(row, parts);
    else if (!row.amounts.empty())
        distribute_periodic_amounts(row, parts);
    else if (!row.annual_totals.empty())
        distribute_annual_totals(row, parts);
    else
        row.parts.clear();
}

void distribute_cohort(cohort& cohort, distribution_parts parts) {
    if (cohort.disbursement_row == nullptr) throw text_error("E018: No disbursement lines found in a cohort");
    for (auto& row : cohort.rows) distribute_row(*row, parts);
}

void spread_by_annual_shares(cash_flow_row& row) {
    if (row.is_disbursement() || row.annual_totals.empty() || row.annual_total_frequency < 1 || row.annual_total_frequency > 3) return;
    periods_from_annual_totals(row);
    row.start_period = 1;
    row.compute_start_offset();
    if (row.parts.empty() || row.amounts.empty() || periods_per_year(row.frequency) == 1) return;

    const int periods = row.frequency == frequency_semiannual ? 2 : row.frequency == frequency_quarter ? 4 : 12;
    const std::size_t years = (row.amounts.size() + static_cast<std::size_t>(periods) - 1) / static_cast<std::size_t>(periods);
    // Each part's annual totals by year of the row, and their sums.
    std::vector<std::vector<double>> totals(row.parts.size(), std::vector<double>(years, 0.0));
    std::vector<double> sums(years, 0.0);
    for (std::size_t k = 0; k < row.parts.size(); ++k) {
        const cash_flow_row& part = *row.parts[k];
        const long long first = static_cast<long long>(part.start_year) - row.start_year;
        for (std::size_t i = 0; i < part.annual_totals.size(); ++i) {
            const long long y = first + static_cast<long long>(i);
            if (y < 0 || y >= static_cast<long long>(years)) continue;
            totals[k][static_cast<std::size_t>(y)] += part.annual_totals[i];
            sums[static_cast<std::size_t>(y)] += part.annual_totals[i];
        }
    }
    for (std::size_t k = 0; k < row.parts.size(); ++k) {
        cash_flow_row& part = *row.parts[k];
        part.amounts.clear();
        part.frequency = row.frequency;
        part.start_period = 1;
        part.compute_start_offset();
        const long long first = std::max(0LL, static_cast<long long>(part.start_year) - row.start_year);
        for (long long y = first; y < static_cast<long long>(years); ++y) {
            const std::size_t year = static_cast<std::size_t>(y);
            const double share = sums[year] != 0.0 ? totals[k][year] / sums[year] : totals[k][year];
            for (int p = 0; p < periods; ++p) {
                const std::size_t at = year * static_cast<std::size_t>(periods) + static_cast<std::size_t>(p);
                part.amounts.push_back(at < row.amounts.size() ? row.amounts[at] * share : 0.0);
            }
        }
        while (!part.amounts.empty() && part.amounts.back() == 0.0) part.amounts.pop_back();
    }
}

}  // namespace fv
