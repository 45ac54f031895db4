// Conversions of a disbursement row between periodic amounts and annual
// totals.
#include "cashflow/disbursement_conversion.h"

#include <array>

#include "cashflow/fiscal_calendar.h"
#include "cashflow/cash_flow_row.h"
#include "cashflow/credit_program.h"
#include "cashflow/line_code.h"

namespace fv {

void annual_totals_from_periods(cash_flow_row& row) {
    const int periods = periods_per_year(row.frequency);
    row.annual_totals.clear();
    if (periods == 1) {
        row.annual_totals = row.amounts;
        row.annual_total_frequency = 0;
        return;
    }
    const std::size_t years = (row.amounts.size() + static_cast<std::size_t>(periods) - 1) / static_cast<std::size_t>(periods);
    row.annual_totals.assign(years, 0.0);
    for (std::size_t i = 0; i < row.amounts.size(); ++i) row.annual_totals[i / static_cast<std::size_t>(periods)] += row.amounts[i];
    row.annual_total_frequency = periods == 12 ? 1 : periods == 4 ? 2 : 3;
}

std::vector<double> quarters_from_annual_totals(const std::vector<double>& totals, line_code line, int start_year,
                                                int cohort_year, const credit_program* program) {
    std::array<double, 4> initial{}, regular{};
    bool initial_found = false, regular_found = false;
    const bool inflow = in_inflow_class(line);
    if (program != nullptr && (inflow || in_outflow_class(line)) && start_year >= cohort_year) {
        if (start_year == cohort_year)
            initial_found = program->quarter_factor(inflow ? factor_kind::initial_inflow : factor_kind::initial_outflow,
                                                    cohort_year, initial);
        regular_found =
            program->quarter_factor(inflow ? factor_kind::inflow : factor_kind::outflow, cohort_year, regular);
    }

    std::vector<double> quarters;
    quarters.reserve(totals.size() * 4);
    const std::size_t n = totals.size();
    for (std::size_t i = 0; i < n; ++i) {
        std::array<double, 4> share{0.25, 0.25, 0.25, 0.25};
        if (i == 0 && initial_found)
            share = initial;
        else if (i == n - 1 && n > 1 && initial_found)
            share = {initial[3], initial[2], initial[1], initial[0]};  // the first year's pattern reversed
        else if (regular_found)
            share = regular;
        for (double fraction : share) quarters.push_back(totals[i] * fraction);
    }
    return quarters;
}

void periods_from_annual_totals(cash_flow_row& row) {
    row.amounts.clear();
    switch (row.annual_total_frequency) {
        case 1:
            row.frequency = 4;
            for (double total : row.annual_totals) row.amounts.insert(row.amounts.end(), 12, total / 12.0);
            break;
        case 3:
            row.frequency = 2;
            for (double total : row.annual_totals) row.amounts.insert(row.amounts.end(), 2, total / 2.0);
            break;
        case 2: {
            row.frequency = 3;
            const int cohort_year = row.cohort != nullptr ? row.cohort->year : row.start_year;
            row.amounts = quarters_from_annual_totals(row.annual_totals, row.line, row.start_year, cohort_year, row.program());
            break;
        }
        default:
            break;
    }
}

}  // namespace fv
