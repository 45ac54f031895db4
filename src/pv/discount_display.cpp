// The derivation lines of one discounted row.
#include "pv/discount_display.h"

#include <cstdio>
#include <string>

#include "pv/factor_grid.h"

namespace fv {

namespace {

std::string formatted(const char* format, double value) {
    char text[400];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

double discount_shown(present_value_factors& factors, int frequency, int point, std::span<const double> amounts, int start,
                      display_page& page, const line_layout& type) {
    const double pv = factors.discount(frequency, point, amounts, start);
    // An empty row or an unknown frequency is worth 0 and has nothing to show.
    if (amounts.empty() || frequency < 1 || frequency > 4) return pv;
    const int step = grid_step(frequency);
    display_line& original = page.add_line(type);
    display_line& factor_line = page.add_line(type);
    display_line& discounted = page.add_line(type);
    original.add_label("Original values....................................");
    factor_line.add_label("Present value factors..............................");
    discounted.add_label("Discounted values..................................");
    const double one = 1.0;
    for (std::size_t k = 0; k < amounts.size(); ++k) {
        // The factor of one amount, found the way the row's discounting finds it.
        const double f = factors.discount(frequency, point, std::span<const double>(&one, 1),
                                          start + static_cast<int>(k) * step);
        original.add_number(formatted("%.3f   ", amounts[k]));
        factor_line.add_number(formatted("%.6f", f));
        discounted.add_number(formatted("%.3f   ", amounts[k] * f));
    }
    display_line& total = page.add_line(type);
    total.add_label("Present value......................................");
    total.add_number(formatted("%.3f   ", pv));
    page.add_line(type);
    return pv;
}

}  // namespace fv
