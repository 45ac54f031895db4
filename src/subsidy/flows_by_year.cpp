// Sums a cohort's derivation record by fiscal year and kind of row.
#include "subsidy/flows_by_year.h"

#include <algorithm>
#include <climits>
#include <map>

#include "cashflow/cohort.h"
#include "cashflow/fiscal_calendar.h"

namespace fv {

namespace {

// Years between the first and the last that had no amount are shown as empty
// years, as long as the span stays a chart's width; a wider span (a far-off
// year typed by mistake) keeps only the years with amounts.
constexpr long long widest_year_span = 250;

int clamp_year(long long year) { return static_cast<int>(std::clamp<long long>(year, INT_MIN, INT_MAX)); }

class year_sums {
public:
    year_flows& at(int year) {
        year_flows& flows = by_year_[year];
        flows.year = year;
        return flows;
    }

    std::vector<year_flows> take() {
        std::vector<year_flows> years;
        if (by_year_.empty()) return years;
        const long long first = by_year_.begin()->first;
        const long long last = by_year_.rbegin()->first;
        if (last - first < widest_year_span)
            for (long long year = first; year <= last; ++year) at(static_cast<int>(year));
        years.reserve(by_year_.size());
        for (auto& [year, flows] : by_year_) years.push_back(flows);
        return years;
    }

private:
    std::map<int, year_flows> by_year_;
};

}  // namespace

namespace {

// The engine values disbursements at their plain sum, a row with parts as its parts.
void add_disbursements(const cash_flow_row& row, year_sums& sums) {
    for (const auto& part : row.parts) add_disbursements(*part, sums);
    if (!row.parts.empty()) return;
    const std::size_t kind = kind_index(cash_flow_kind::disbursements);
    for (std::size_t k = 0; k < row.amounts.size(); ++k) {
        year_flows& flows = sums.at(fiscal_year_of_amount(row, k));
        flows.amounts[kind] += row.amounts[k];
        flows.present_values[kind] += row.amounts[k];
    }
}

}  // namespace

int fiscal_year_of_amount(const cash_flow_row& row, std::size_t index) {
    const auto offset = static_cast<long long>(std::min<std::size_t>(index, INT_MAX));
    if (row.same_as_disbursement) return clamp_year(row.start_year + offset);
    const long long periods = periods_per_year(row.frequency);
    const long long period = row.start_period >= 1 && row.start_period <= periods ? row.start_period : 1;
    return clamp_year(row.start_year + (period - 1 + offset) / periods);
}

cohort_flows flows_by_year(const cohort& cohort, const cohort_derivation& derivation) {
    year_sums sums;
    for (const auto& row : cohort.rows)
        if (row->is_disbursement()) add_disbursements(*row, sums);
    for (const row_derivation& derived : derivation.rows) {
        const std::optional<cash_flow_kind> kind = derived.row != nullptr ? kind_of_line(derived.row->line) : std::nullopt;
        if (!kind || derived.factors.size() != derived.amounts.size()) continue;
        for (std::size_t k = 0; k < derived.amounts.size(); ++k) {
            year_flows& flows = sums.at(fiscal_year_of_amount(*derived.row, k));
            flows.amounts[kind_index(*kind)] += derived.amounts[k];
            flows.present_values[kind_index(*kind)] += derived.amounts[k] * derived.factors[k];
        }
    }
    return {cohort.year, sums.take()};
}

}  // namespace fv
