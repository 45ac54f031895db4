// The derivation lines of a cohort and of each discounted row.
#include "display/program/derivation_display.h"

#include <cstdio>
#include <string>

#include "cashflow/message_list.h"
#include "cashflow/row_heading.h"
#include "display/display_layout.h"

namespace fv {

namespace {

std::string formatted(const char* format, double value) {
    char text[400];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

void write_row_derivation(display_page& page, const line_layout& type, const row_derivation& derived) {
    page.add_line(type).add_label(row_heading(*derived.row, true));
    // A row not discounted on the grid shows its heading only.
    if (derived.factors.empty()) return;
    display_line& original = page.add_line(type);
    display_line& factor_line = page.add_line(type);
    display_line& discounted = page.add_line(type);
    original.add_label("Original values....................................");
    factor_line.add_label("Present value factors..............................");
    discounted.add_label("Discounted values..................................");
    for (std::size_t k = 0; k < derived.factors.size(); ++k) {
        const double amount = derived.amounts[k];
        const double factor = derived.factors[k];
        original.add_number(formatted("%.3f   ", amount));
        factor_line.add_number(formatted("%.6f", factor));
        discounted.add_number(formatted("%.3f   ", amount * factor));
    }
    display_line& total = page.add_line(type);
    total.add_label("Present value......................................");
    total.add_number(formatted("%.3f   ", derived.present_value));
    page.add_line(type);
}

}  // namespace

void write_cohort_derivation(display_page& page, const line_layout& type, const cohort_derivation& derivation) {
    add_dash_line(page, type, 6);
    page.add_line(type).add_label(format_message("Cohort year:  %d", derivation.year));
    add_dash_line(page, type, 6);
    for (const row_derivation& derived : derivation.rows) write_row_derivation(page, type, derived);
}

}  // namespace fv
