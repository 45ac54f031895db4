// The subsidy table with its column headings and footnotes; the message list.
#include "display/program/subsidy_display.h"

#include "cashflow/cf_messages.h"
#include "display/display_layout.h"

namespace fv {

namespace {

void centred_line(gr_page& page, const gr_line_type& type, std::initializer_list<const char*> texts) {
    gr_line& line = page.add_line(type);
    for (const char* text : texts) {
        if (*text == '\0')
            line.add_empty();
        else
            line.add_label(text, gr_align::centred);
    }
}

const char* const footnotes[] = {
    "Footnotes:",
    "    The single effect rate is stated terms of effective annual yield.  For more details,",
    "    see the help topics on \"Single effective rate\" or \"Interest rate terms.\"",
    "    (C) - Single effective rate was computed (see \"Actions\" \"Preferences\").",
    "    (P) - Single effective rate from the spreadsheet was used instead of basket-of-zeros method.",
    "    (X) - Single effective rate was not provided in the spreadsheet",
    "          and computation was disabled (see \"Actions\" \"Preferences\").",
};

}  // namespace

gr_line_type subsidy_line_type() {
    return fixed_line_type("LT1", {55, 67, 79, 91, 103, 115, 127, 139}, {4, 4, 4, 4, 4, 4, 4, 4});
}

void write_subsidy_lines(gr_page& page, const gr_line_type& lt1, const cf_pgm& program) {
    const gr_line_type& lt2 =
        page.add_line_type(fixed_line_type("LT2", {8, 19, 30, 41, 52, 63, 74, 85}, {3, 3, 3, 3, 3, 3, 3, 3}));
    const gr_line_type& lt3 =
        page.add_line_type(fixed_line_type("LT3", {8, 19, 63, 79, 90, 101, 112, 123}, {4, 3, 3, 3, 3, 3, 3, 3}));

    add_dash_line(page, lt2, 8);
    centred_line(page, lt3, {"", "", "Subsidy components"});
    {
        gr_line& line = page.add_line(lt2);
        line.add_empty();
        line.add_empty();
        for (int i = 0; i < 4; ++i) line.add_label("--", gr_align::repeat);
        line.add_label("Single", gr_align::centred);
    }
    centred_line(page, lt2, {"Year", "Total", "", "", "Subsidy", "All", "effective"});
    centred_line(page, lt2, {"", "Subsidy", "Financing", "Default", "Reduction", "Other", "rate"});
    centred_line(page, lt2, {"", "", "Subsidy", "Subsidy", "for Fees", "components"});
    add_dash_line(page, lt2, 8);

    for (const auto& cohort : program.cohorts) {
        const cohort_results& r = cohort->results;
        gr_line& line = page.add_line(lt2);
        line.add_number(format_message("%d", cohort->year), gr_align::centred);
        for (double value : {r.subsidy_percentage, r.financing_percentage, r.default_percentage, r.fee_percentage,
                             r.other_percentage})
            line.add_number(fixed(value, 2));
        if (r.single_effective_rate != not_available) {
            line.add_number(fixed(r.single_effective_rate, 4));
            line.add_label(r.rate_computed ? "(C)" : "(P)", gr_align::centred);
        } else {
            line.add_label("(X)", gr_align::centred);
        }
    }
    add_dash_line(page, lt2, 8);
    for (const char* text : footnotes) page.add_line(lt1).add_label(text);
}

gr_line_type messages_line_type() {
    return fixed_line_type("LT1", {55, 66, 77, 88, 99, 110}, {4, 4, 4, 4, 4, 4});
}

void write_messages_lines(gr_page& page, const gr_line_type& lt1, const cf_messages& messages) {
    const gr_line_type& lt2 = page.add_line_type(fixed_line_type("LT2", {6, 8, 110, 111, 113, 115}, {1, 0, 0, 0, 0, 0}));
    add_dash_line(page, lt1, 3);
    if (messages.count() == 0) {
        gr_line& line = page.add_line(lt2);
        line.add_empty();
        line.add_label("No error or warning messages");
        return;
    }
    {
        gr_line& line = page.add_line(lt2);
        line.add_label("Code", gr_align::centred);
        line.add_empty();
        line.add_label("Description", gr_align::centred);
    }
    {
        gr_line& line = page.add_line(lt2);
        line.add_label("--", gr_align::repeat);
        line.add_empty();
        line.add_label("--", gr_align::repeat);
    }
    for (const cf_message& message : messages.list()) {
        gr_line& line = page.add_line(lt2);
        if (message.number != 0)
            line.add_number(format_message("%u", message.number));
        else
            line.add_label(" ");
        line.add_empty();
        line.add_label(message.text);
    }
}

}  // namespace fv
