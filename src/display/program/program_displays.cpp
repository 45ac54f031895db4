// Display frames: line types, header variant and title; the bodies come from
// the row, subsidy, details, message and factor-table writers.
#include "display/program/program_displays.h"

#include "display/display_layout.h"
#include "display/program/details_display.h"
#include "display/program/report_header.h"
#include "display/program/row_displays.h"
#include "display/program/subsidy_display.h"
#include "pv/factor_display.h"
#include "subsidy/cohort_subsidy.h"

namespace fv {

namespace {

// The header's line type is the display's first one.
const gr_line_type& first_line_type(const gr_page& page) { return *page.line_types().front(); }

unsigned display_columns(const cf_pgm& program) { return wide_column_count(widest_row(program)); }

}  // namespace

gr_page make_source_display(const cf_pgm& program) {
    gr_page page = make_page_header(program, source_line_type(display_columns(program)), "Source data display", true);
    write_source_lines(page, first_line_type(page), program);
    return page;
}

gr_page make_pvfactor_display(const cf_pgm& program, cf_pvfact& factors) {
    gr_page page = make_page_header(program, factor_frame_line_type(), "Present value factor display", false);
    add_dash_line(page, first_line_type(page), 6);
    const gr_line_type& tables = page.add_line_type(factor_table_line_type());
    write_factor_tables(factors, page, tables);
    return page;
}

gr_page make_distribution_display(const cf_pgm& program) {
    gr_page page = make_page_header(program, distribution_line_type(display_columns(program)),
                                    "Distribution to disbursement periods", false);
    write_distribution_lines(page, first_line_type(page), program);
    return page;
}

gr_page make_subsidy_display(const cf_pgm& program) {
    gr_page page = make_page_header(program, subsidy_line_type(), "Subsidy and components display", false);
    write_subsidy_lines(page, first_line_type(page), program);
    return page;
}

gr_page make_details_display(const cf_pgm& program) {
    gr_page page = make_page_header(program, details_line_type(), "Details of the subsidy calculation", false);
    write_details_lines(page, first_line_type(page), program);
    return page;
}

gr_page make_messages_display(const cf_pgm& program) {
    gr_page page = make_page_header(program, messages_line_type(), "Error and warning messages", true);
    write_messages_lines(page, first_line_type(page), program.messages());
    return page;
}

std::string rate_assumptions_text(const cr_rate_item& rate_set) {
    return std::string(rate_source_name(rate_set.source)) + ", " + rate_set.title;
}

gr_page make_derivation_display(cf_pgm& program, cf_pvfact& factors, const cr_rate_item& rate_set) {
    program.rate_assumptions = rate_assumptions_text(rate_set);
    const unsigned columns = display_columns(program);
    gr_page page = make_page_header(program, wide_line_type("LT1", columns - 1, 55, 12, 4, 0),
                                    "Derivation of present values display", false);
    const gr_line_type& lt2 = page.add_line_type(wide_line_type("LT2", columns - 1, 25, 12, 0, 0));
    for (auto& cohort : program.cohorts) compute_subsidy(*cohort, factors, &page, &lt2);
    return page;
}

}  // namespace fv
