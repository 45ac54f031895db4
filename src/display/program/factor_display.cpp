// Factor tables as display lines. The period labels are longer than their
// field; the number in the next field cuts them.
#include "display/program/factor_display.h"

#include <cstdio>
#include <string>

#include "display/display_layout.h"

namespace fv {

namespace {

constexpr unsigned factor_fields = 1201;

struct table_frame {
    const char* title;
    const char* period_word;
    int periods_a_year;
    present_value_factors::table_id beginning, middle, end;
};

std::string period_label(int periods_a_year, int year, int period) {
    char text[128];
    switch (periods_a_year) {
    case 1:
        std::snprintf(text, sizeof text, "Year %3d..................................", year);
        break;
    case 2:
        std::snprintf(text, sizeof text, "Year %3d, period %d..................................", year, period);
        break;
    case 4:
        std::snprintf(text, sizeof text, "Year %3d, quarter %d..................................", year, period);
        break;
    default:
        std::snprintf(text, sizeof text, "Year %3d, month %d..................................", year, period);
        break;
    }
    return text;
}

}  // namespace

line_layout factor_frame_layout() { return wide_layout("LT1", factor_fields, 55, 12, 4, 4); }
line_layout factor_table_layout() { return wide_layout("LT2", factor_fields, 30, 13, 0, 3); }

void write_factor_tables(present_value_factors& factors, display_page& page, const line_layout& type) {
    const table_frame frames[] = {
        {"Annual factors", "of year", 1, present_value_factors::ab, present_value_factors::am, present_value_factors::ae},
        {"Semiannual factors", "of period", 2, present_value_factors::sb, present_value_factors::sm, present_value_factors::se},
        {"Quarterly factors", "of qtr", 4, present_value_factors::qb, present_value_factors::qm, present_value_factors::qe},
        {"Monthly factors", "of month", 12, present_value_factors::mb, present_value_factors::mm, present_value_factors::me},
    };
    for (const table_frame& frame : frames) {
        const std::vector<double>& beginning = factors.build_table(frame.beginning);
        const std::vector<double>& middle = factors.build_table(frame.middle);
        const std::vector<double>& end = factors.build_table(frame.end);

        display_line& points = page.add_line(type);
        points.add_label(" ", field_alignment::centred);
        for (const char* point : {"Beginning", "Middle", "End"}) points.add_label(point, field_alignment::centred);
        display_line& title = page.add_line(type);
        title.add_label(frame.title, field_alignment::centred);
        for (int i = 0; i < 3; ++i) title.add_label(frame.period_word, field_alignment::centred);
        add_dash_line(page, type, 4);

        for (std::size_t k = 0; k < beginning.size(); ++k) {
            const int year = static_cast<int>(k) / frame.periods_a_year + 1;
            const int period = static_cast<int>(k) % frame.periods_a_year + 1;
            display_line& line = page.add_line(type);
            line.add_label(period_label(frame.periods_a_year, year, period));
            line.add_number(fixed(beginning[k], 6));
            line.add_number(fixed(middle[k], 6));
            line.add_number(fixed(end[k], 6));
        }
        add_dash_line(page, type, 4);
        page.add_line(type);
    }
}

}  // namespace fv
