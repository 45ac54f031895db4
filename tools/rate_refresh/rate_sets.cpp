// Fiscal-year and budget-year averages. Every rate is rounded to two decimals,
// half to even, as the rate file shows them.
#include "rate_sets.h"

#include <map>
#include <string>

#include "util/decimal_round.h"
#include "util/text_error.h"

namespace fv {

namespace {

constexpr int first_budget_year = 1992;
constexpr int last_budget_year = 2030;
constexpr int months_in_year = 12;

// Fiscal year Y runs from October of Y-1 to September of Y.
constexpr int fiscal_year_start(int fy) { return month_key(fy - 1, 10); }

// The months of the twelve from first_key that the table lacks.
std::vector<int> missing_months(const month_table& months, int first_key) {
    std::vector<int> missing;
    for (int key = first_key; key < first_key + months_in_year; ++key) {
        if (months.count(key) == 0) missing.push_back(key);
    }
    return missing;
}

maturity_rates twelve_month_average(const month_table& months, int first_key) {
    maturity_rates sum{};
    for (int key = first_key; key < first_key + months_in_year; ++key) {
        const maturity_rates& month = months.at(key);
        for (std::size_t j = 0; j < sum.size(); ++j) sum[j] += month[j];
    }
    for (double& rate : sum) rate = round_decimal(rate / months_in_year, 2);
    return sum;
}

std::string month_list(const std::vector<int>& keys) {
    std::string text;
    for (int key : keys) text += (text.empty() ? "" : ", ") + month_name(key);
    return text;
}

}  // namespace

shipped_rate_sets make_shipped_rate_sets(const month_table& months) {
    if (months.empty()) throw text_error("no month holds a yield for all nine maturities");
    const int last_twelve_start = months.rbegin()->first - (months_in_year - 1);
    const std::vector<int> gaps = missing_months(months, last_twelve_start);
    if (!gaps.empty())
        throw text_error("the budget sets need the last twelve months (" + month_name(last_twelve_start) + " to " +
                         month_name(months.rbegin()->first) + "), and these are missing: " + month_list(gaps));
    const maturity_rates last_twelve = twelve_month_average(months, last_twelve_start);

    shipped_rate_sets sets;
    std::map<int, maturity_rates> fiscal;
    const int first_fy = year_of_key(months.begin()->first);
    const int last_fy = year_of_key(months.rbegin()->first) + 1;
    for (int fy = first_fy; fy <= last_fy; ++fy) {
        const std::vector<int> missing = missing_months(months, fiscal_year_start(fy));
        if (missing.empty()) {
            fiscal[fy] = twelve_month_average(months, fiscal_year_start(fy));
        } else if (!fiscal.empty() && fiscal_year_start(fy) + months_in_year - 1 <= months.rbegin()->first) {
            sets.notes.push_back("FY " + std::to_string(fy) + " left out: " + month_list(missing) + " missing");
        }
    }

    for (const auto& [fy, rates] : fiscal)
        sets.actual.emplace_back(rate_source::actual, "FY " + std::to_string(fy) + " average", rates);
    for (int year = first_budget_year; year <= last_budget_year; ++year) {
        const auto found = fiscal.find(year - 2);
        sets.budget.emplace_back(rate_source::budget, "Budget " + std::to_string(year),
                                 found != fiscal.end() ? found->second : last_twelve);
    }
    return sets;
}

}  // namespace fv
