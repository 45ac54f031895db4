// Row lines of the source data and distribution displays.
#include "display/program/row_displays.h"

#include <algorithm>

#include "cashflow/distribution.h"
#include "cashflow/message_list.h"
#include "cashflow/row_heading.h"
#include "cashflow/value_names.h"
#include "display/display_layout.h"

namespace fv {

namespace {

display_line& amounts_line(display_page& page, const line_layout& type, const std::string& label,
                      const std::vector<double>& amounts) {
    display_line& line = page.add_line(type);
    line.add_label(label);
    for (double amount : amounts) line.add_number(fixed(amount, 3));
    return line;
}

std::string part_heading(const cash_flow_row& part) {
    const bool annual = part.same_as_disbursement || part.frequency == frequency_annual;
    const char* pace = part.same_as_disbursement ? annual_total_frequency_name(part.annual_total_frequency) : frequency_name(part.frequency);
    const char* point = timing_point_name(part.point);
    if (annual) return format_message("    Disbursement period %d [%s, %s, %d]", part.disbursement_period, pace, point, part.start_year);
    return format_message("    Disbursement period %d [%s, %s, %d:%d]", part.disbursement_period, pace, point, part.start_year,
                          part.start_period);
}

}  // namespace

unsigned widest_row(const credit_program& program) {
    std::size_t widest = 0;
    for (const auto& cohort : program.cohorts)
        for (const auto& row : cohort->rows) widest = std::max(widest, row->valued_amounts().size());
    return static_cast<unsigned>(widest);
}

line_layout source_layout(unsigned columns) { return wide_layout("LT1", columns - 1, 55, 12, 4, 0); }
line_layout distribution_layout(unsigned columns) { return wide_layout("LT1", columns - 1, 55, 12, 4, 4); }

void write_source_lines(display_page& page, const line_layout& first_layout, const credit_program& program) {
    for (const auto& cohort : program.cohorts) {
        add_cohort_heading(page, first_layout, cohort->year);
        for (const auto& row : cohort->rows) amounts_line(page, first_layout, row_heading(*row), row->valued_amounts());
    }
}

void write_distribution_lines(display_page& page, const line_layout& first_layout, const credit_program& program) {
    for (const auto& cohort : program.cohorts) {
        add_cohort_heading(page, first_layout, cohort->year);
        bool any = false;
        for (const auto& row : cohort->rows) {
            if (row->parts.empty()) continue;
            any = true;
            page.add_line(first_layout).add_label(row_heading(*row));
            const bool spread = row->has_annual_totals && !row->same_as_disbursement;
            amounts_line(page, first_layout,
                         spread ? "  Original data (annual totals distributed by period):" : "  Original data:",
                         row->valued_amounts());
            page.add_line(first_layout).add_label(row->distribution_method == method_pro_rata
                                             ? "  Distributed to disbursement periods (pro-rata method):"
                                             : "  Distributed to disbursement periods (rev-spendout method):");
            for (const auto& part : row->parts)
                if (!part->valued_amounts().empty()) amounts_line(page, first_layout, part_heading(*part), part->valued_amounts());
            page.add_line(first_layout);
        }
        if (!any) page.add_line(first_layout).add_label("(No input lines were distributed by disbursement period)");
    }
}

}  // namespace fv
