// Factor tables as display lines. The period labels are longer than their
// field; the number in the next field cuts them.
#include "pv/factor_display.h"

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
    cf_pvfact::table_id beginning, middle, end;
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

gr_line_type factor_frame_line_type() { return wide_line_type("LT1", factor_fields, 55, 12, 4, 4); }
gr_line_type factor_table_line_type() { return wide_line_type("LT2", factor_fields, 30, 13, 0, 3); }

void write_factor_tables(cf_pvfact& factors, gr_page& page, const gr_line_type& type) {
    const table_frame frames[] = {
        {"Annual factors", "of year", 1, cf_pvfact::ab, cf_pvfact::am, cf_pvfact::ae},
        {"Semiannual factors", "of period", 2, cf_pvfact::sb, cf_pvfact::sm, cf_pvfact::se},
        {"Quarterly factors", "of qtr", 4, cf_pvfact::qb, cf_pvfact::qm, cf_pvfact::qe},
        {"Monthly factors", "of month", 12, cf_pvfact::mb, cf_pvfact::mm, cf_pvfact::me},
    };
    for (const table_frame& frame : frames) {
        const std::vector<double>& beginning = factors.make_pv(frame.beginning);
        const std::vector<double>& middle = factors.make_pv(frame.middle);
        const std::vector<double>& end = factors.make_pv(frame.end);

        gr_line& points = page.add_line(type);
        points.add_label(" ", gr_align::centred);
        for (const char* point : {"Beginning", "Middle", "End"}) points.add_label(point, gr_align::centred);
        gr_line& title = page.add_line(type);
        title.add_label(frame.title, gr_align::centred);
        for (int i = 0; i < 3; ++i) title.add_label(frame.period_word, gr_align::centred);
        add_dash_line(page, type, 4);

        for (std::size_t k = 0; k < beginning.size(); ++k) {
            const int year = static_cast<int>(k) / frame.periods_a_year + 1;
            const int period = static_cast<int>(k) % frame.periods_a_year + 1;
            gr_line& line = page.add_line(type);
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
