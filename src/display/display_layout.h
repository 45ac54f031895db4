// Pieces every display frame uses: line types built from boundary lists, the
// wide line types whose field count follows the widest row, dash lines and
// the heading of a cohort section.
#pragma once

#include <initializer_list>
#include <string>

#include "display/display_line.h"
#include "display/line_layout.h"
#include "display/display_page.h"

namespace fv {

// A line type with the given field ends and margins (one each per field); its width is the last end.
line_layout fixed_layout(const std::string& name, std::initializer_list<unsigned> boundaries,
                             std::initializer_list<unsigned> margins);

// `fields` fields: the first ends at `first`, each further one `step` later; the first field's margin
// `first_margin`, the others `other_margin`.
line_layout wide_layout(const std::string& name, unsigned fields, unsigned first, unsigned step,
                            unsigned first_margin, unsigned other_margin);

// Column count of the wide displays: the widest cohort's amount columns plus 2, at least 7.
unsigned wide_column_count(unsigned widest_cohort);

// A line whose fields 1 to `fields` each hold "--" repeated across the field.
display_line& add_dash_line(display_page& page, const line_layout& type, unsigned fields);

// A cohort section's heading: a dash line over all fields, "Cohort year:" and the year as labels, a dash line.
void add_cohort_heading(display_page& page, const line_layout& type, int year);

// "%.3lf" and friends as a right-aligned number field.
std::string fixed(double value, int decimals);

}  // namespace fv
