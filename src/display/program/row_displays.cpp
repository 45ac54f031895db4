// Row lines of the source data and distribution displays.
#include "display/program/row_displays.h"

#include <algorithm>

#include "cashflow/cf_messages.h"
#include "cashflow/row_heading.h"
#include "cashflow/value_names.h"
#include "display/display_layout.h"

namespace fv {

namespace {

// The amounts a row is shown (and discounted) with.
const std::vector<double>& shown_amounts(const cf_item& row) {
    return row.same_as_disbursement ? row.c_amt : row.amt;
}

gr_line& amounts_line(gr_page& page, const gr_line_type& type, const std::string& label,
                      const std::vector<double>& amounts) {
    gr_line& line = page.add_line(type);
    line.add_label(label);
    for (double amount : amounts) line.add_number(fixed(amount, 3));
    return line;
}

std::string part_heading(const cf_item& part) {
    const bool annual = part.same_as_disbursement || part.frequency == frequency_annual;
    const char* pace = part.same_as_disbursement ? c_frequency_name(part.c_frequency) : frequency_name(part.frequency);
    const char* point = timing_point_name(part.point);
    if (annual) return format_message("    Disbursement period %d [%s, %s, %d]", part.disb_period, pace, point, part.start_year);
    return format_message("    Disbursement period %d [%s, %s, %d:%d]", part.disb_period, pace, point, part.start_year,
                          part.start_period);
}

}  // namespace

unsigned widest_row(const cf_pgm& program) {
    std::size_t widest = 0;
    for (const auto& cohort : program.cohorts)
        for (const auto& row : cohort->rows) widest = std::max(widest, shown_amounts(*row).size());
    return static_cast<unsigned>(widest);
}

gr_line_type source_line_type(unsigned columns) { return wide_line_type("LT1", columns - 1, 55, 12, 4, 0); }
gr_line_type distribution_line_type(unsigned columns) { return wide_line_type("LT1", columns - 1, 55, 12, 4, 4); }

void write_source_lines(gr_page& page, const gr_line_type& lt1, const cf_pgm& program) {
    for (const auto& cohort : program.cohorts) {
        add_cohort_heading(page, lt1, cohort->year);
        for (const auto& row : cohort->rows) amounts_line(page, lt1, row_heading(*row), shown_amounts(*row));
    }
}

void write_distribution_lines(gr_page& page, const gr_line_type& lt1, const cf_pgm& program) {
    for (const auto& cohort : program.cohorts) {
        add_cohort_heading(page, lt1, cohort->year);
        bool any = false;
        for (const auto& row : cohort->rows) {
            if (row->parts.empty()) continue;
            any = true;
            page.add_line(lt1).add_label(row_heading(*row));
            const bool spread = row->has_annual_totals && !row->same_as_disbursement;
            amounts_line(page, lt1,
                         spread ? "  Original data (annual totals distributed by period):" : "  Original data:",
                         shown_amounts(*row));
            page.add_line(lt1).add_label(row->distribution_method == 3
                                             ? "  Distributed to disbursement periods (pro-rata method):"
                                             : "  Distributed to disbursement periods (rev-spendout method):");
            for (const auto& part : row->parts)
                if (!shown_amounts(*part).empty()) amounts_line(page, lt1, part_heading(*part), shown_amounts(*part));
            page.add_line(lt1);
        }
        if (!any) page.add_line(lt1).add_label("(No input lines were distributed by disbursement period)");
    }
}

}  // namespace fv
