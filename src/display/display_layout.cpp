// Line types and recurring lines of the displays.
#include "display/display_layout.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace fv {

line_layout fixed_layout(const std::string& name, std::initializer_list<unsigned> boundaries,
                             std::initializer_list<unsigned> margins) {
    const std::vector<unsigned> ends(boundaries);
    const std::vector<unsigned> gaps(margins);
    line_layout type(name, ends.back());
    type.set_bounds(ends, gaps);
    return type;
}

line_layout wide_layout(const std::string& name, unsigned fields, unsigned first, unsigned step,
                            unsigned first_margin, unsigned other_margin) {
    std::vector<unsigned> ends;
    std::vector<unsigned> gaps;
    for (unsigned i = 0; i < fields; ++i) {
        ends.push_back(first + i * step);
        gaps.push_back(i == 0 ? first_margin : other_margin);
    }
    line_layout type(name, ends.back());
    type.set_bounds(ends, gaps);
    return type;
}

unsigned wide_column_count(unsigned widest_cohort) { return std::max(7u, widest_cohort + 2); }

display_line& add_dash_line(display_page& page, const line_layout& type, unsigned fields) {
    display_line& line = page.add_line(type);
    for (unsigned i = 0; i < fields; ++i) line.add_label("--", field_alignment::repeat);
    return line;
}

void add_cohort_heading(display_page& page, const line_layout& type, int year) {
    const unsigned fields = type.field_count() - 1;
    add_dash_line(page, type, fields);
    display_line& line = page.add_line(type);
    line.add_label("Cohort year:");
    line.add_label(std::to_string(year));
    add_dash_line(page, type, fields);
}

std::string fixed(double value, int decimals) {
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

}  // namespace fv
