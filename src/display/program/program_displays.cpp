// Display frames: line types, header variant and title; the bodies come from
// the row, subsidy, details, message and factor-table writers.
#include "display/program/program_displays.h"

#include "display/display_layout.h"
#include "display/program/derivation_display.h"
#include "display/program/details_display.h"
#include "display/program/factor_display.h"
#include "display/program/report_header.h"
#include "display/program/row_displays.h"
#include "display/program/subsidy_display.h"
#include "subsidy/cohort_subsidy.h"

namespace fv {

namespace {

// The header's line type is the display's first one.
const line_layout& first_layout(const display_page& page) { return *page.layouts().front(); }

unsigned display_columns(const credit_program& program) { return wide_column_count(widest_row(program)); }

}  // namespace

display_page make_source_display(const credit_program& program) {
    display_page page = make_page_header(program, source_layout(display_columns(program)), "Source data display", true);
    write_source_lines(page, first_layout(page), program);
    return page;
}

display_page make_factor_display(const credit_program& program, present_value_factors& factors) {
    display_page page = make_page_header(program, factor_frame_layout(), "Present value factor display", false);
    add_dash_line(page, first_layout(page), 6);
    const line_layout& tables = page.add_layout(factor_table_layout());
    write_factor_tables(factors, page, tables);
    return page;
}

display_page make_distribution_display(const credit_program& program) {
    display_page page = make_page_header(program, distribution_layout(display_columns(program)),
                                    "Distribution to disbursement periods", false);
    write_distribution_lines(page, first_layout(page), program);
    return page;
}

display_page make_subsidy_display(const credit_program& program) {
    display_page page = make_page_header(program, subsidy_layout(), "Subsidy and components display", false);
    write_subsidy_lines(page, first_layout(page), program);
    return page;
}

display_page make_details_display(const credit_program& program) {
    display_page page = make_page_header(program, details_layout(), "Details of the subsidy calculation", false);
    write_details_lines(page, first_layout(page), program);
    return page;
}

display_page make_messages_display(const credit_program& program) {
    display_page page = make_page_header(program, messages_layout(), "Error and warning messages", true);
    write_messages_lines(page, first_layout(page), program.messages());
    return page;
}

std::string rate_assumptions_text(const rate_set& rate_set) {
    return std::string(rate_source_name(rate_set.source)) + ", " + rate_set.title;
}

display_page make_derivation_display(credit_program& program, present_value_factors& factors, const rate_set& rate_set) {
    program.rate_assumptions = rate_assumptions_text(rate_set);
    const unsigned columns = display_columns(program);
    display_page page = make_page_header(program, wide_layout("LT1", columns - 1, 55, 12, 4, 0),
                                    "Derivation of present values display", false);
    const line_layout& second_layout = page.add_layout(wide_layout("LT2", columns - 1, 25, 12, 0, 0));
    for (auto& cohort : program.cohorts) {
        const cohort_derivation derivation = compute_subsidy_derived(*cohort, factors);
        write_cohort_derivation(page, second_layout, derivation);
    }
    return page;
}

}  // namespace fv
