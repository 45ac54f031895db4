// Present values of rows and the cohort's subsidy.
#include "subsidy/cohort_subsidy.h"

#include <numeric>

#include "cashflow/message_list.h"
#include "cashflow/row_heading.h"
#include "cashflow/value_names.h"
#include "display/display_layout.h"
#include "pv/discount_display.h"
#include "subsidy/finite_figures.h"
#include "subsidy/subsidy_components.h"
#include "util/text_error.h"

namespace fv {

double row_present_value(const cash_flow_row& row, present_value_factors& factors, display_page* page, const line_layout* type) {
    if (!row.parts.empty()) {
        double sum = 0.0;
        for (const auto& part : row.parts) sum += row_present_value(*part, factors, page, type);
        return sum;
    }
    const std::vector<double>& amounts = row.same_as_disbursement ? row.annual_totals : row.amounts;
    if (amounts.empty()) return 0.0;
    if (row.is_disbursement()) return std::accumulate(row.amounts.begin(), row.amounts.end(), 0.0);
    if (page != nullptr && type == nullptr)
        throw text_error("cf_item::do_npv called with table pointer and a NULL lint_type pointer");
    if (page != nullptr) page->add_line(*type).add_label(row_heading(row, true));
    const int frequency = row.same_as_disbursement ? frequency_annual : row.frequency;
    if (frequency == 0) return 0.0;
    if (page != nullptr) return discount_shown(factors, frequency, row.point, amounts, row.start_offset, *page, *type);
    return factors.discount(frequency, row.point, amounts, row.start_offset);
}

void compute_subsidy(cohort& cohort, present_value_factors& factors, display_page* page, const line_layout* type) {
    if (page != nullptr && type != nullptr) {
        add_dash_line(*page, *type, 6);
        page->add_line(*type).add_label(format_message("Cohort year:  %d", cohort.year));
        add_dash_line(*page, *type, 6);
    }
    cohort_results& results = cohort.results;
    results.year = cohort.year;
    results.total_principal = cohort.total_principal;
    results.total_disbursements = cohort.total_disbursements;
    subsidy_accumulator accumulator(results, cohort.program_type);
    // A trial of the single-effective-rate search may overflow at an extreme
    // rate; the search deals with that. On the curve itself it is a failure.
    const bool trial = factors.uses_single_rate();
    for (const auto& row : cohort.rows) {
        const double value = row_present_value(*row, factors, page, type);
        if (!trial) require_finite_row_value(cohort, *row, value);
        accumulator.add(row->line, value);
    }
    accumulator.finish();
    if (trial) return;
    require_finite_results(cohort);
    if (factors.has_table()) {
        results.highest_zero_rate = factors.highest_zero_rate();
        results.lowest_zero_rate = factors.lowest_zero_rate();
    } else {
        results.highest_zero_rate = results.lowest_zero_rate = not_available;
    }
}

}  // namespace fv
