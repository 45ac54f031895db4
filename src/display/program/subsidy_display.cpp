// The subsidy table with its column headings and footnotes; the message list.
#include "display/program/subsidy_display.h"

#include "cashflow/message_list.h"
#include "display/display_layout.h"

namespace fv {

namespace {

void centred_line(display_page& page, const line_layout& type, std::initializer_list<const char*> texts) {
    display_line& line = page.add_line(type);
    for (const char* text : texts) {
        if (*text == '\0')
            line.add_empty();
        else
            line.add_label(text, field_alignment::centred);
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

line_layout subsidy_layout() {
    return fixed_layout("LT1", {55, 67, 79, 91, 103, 115, 127, 139}, {4, 4, 4, 4, 4, 4, 4, 4});
}

void write_subsidy_lines(display_page& page, const line_layout& first_layout, const credit_program& program) {
    const line_layout& second_layout =
        page.add_layout(fixed_layout("LT2", {8, 19, 30, 41, 52, 63, 74, 85}, {3, 3, 3, 3, 3, 3, 3, 3}));
    const line_layout& third_layout =
        page.add_layout(fixed_layout("LT3", {8, 19, 63, 79, 90, 101, 112, 123}, {4, 3, 3, 3, 3, 3, 3, 3}));

    add_dash_line(page, second_layout, 8);
    centred_line(page, third_layout, {"", "", "Subsidy components"});
    {
        display_line& line = page.add_line(second_layout);
        line.add_empty();
        line.add_empty();
        for (int i = 0; i < 4; ++i) line.add_label("--", field_alignment::repeat);
        line.add_label("Single", field_alignment::centred);
    }
    centred_line(page, second_layout, {"Year", "Total", "", "", "Subsidy", "All", "effective"});
    centred_line(page, second_layout, {"", "Subsidy", "Financing", "Default", "Reduction", "Other", "rate"});
    centred_line(page, second_layout, {"", "", "Subsidy", "Subsidy", "for Fees", "components"});
    add_dash_line(page, second_layout, 8);

    for (const auto& cohort : program.cohorts) {
        const cohort_results& r = cohort->results;
        display_line& line = page.add_line(second_layout);
        line.add_number(format_message("%d", cohort->year), field_alignment::centred);
        for (double value : {r.subsidy_percentage, r.financing_percentage, r.default_percentage, r.fee_percentage,
                             r.other_percentage})
            line.add_number(fixed(value, 2));
        if (r.single_effective_rate != not_available) {
            line.add_number(fixed(r.single_effective_rate, 4));
            line.add_label(r.rate_computed ? "(C)" : "(P)", field_alignment::centred);
        } else {
            line.add_label("(X)", field_alignment::centred);
        }
    }
    add_dash_line(page, second_layout, 8);
    for (const char* text : footnotes) page.add_line(first_layout).add_label(text);
}

line_layout messages_layout() {
    return fixed_layout("LT1", {55, 66, 77, 88, 99, 110}, {4, 4, 4, 4, 4, 4});
}

void write_messages_lines(display_page& page, const line_layout& first_layout, const message_list& messages) {
    const line_layout& second_layout = page.add_layout(fixed_layout("LT2", {6, 8, 110, 111, 113, 115}, {1, 0, 0, 0, 0, 0}));
    add_dash_line(page, first_layout, 3);
    if (messages.count() == 0) {
        display_line& line = page.add_line(second_layout);
        line.add_empty();
        line.add_label("No error or warning messages");
        return;
    }
    {
        display_line& line = page.add_line(second_layout);
        line.add_label("Code", field_alignment::centred);
        line.add_empty();
        line.add_label("Description", field_alignment::centred);
    }
    {
        display_line& line = page.add_line(second_layout);
        line.add_label("--", field_alignment::repeat);
        line.add_empty();
        line.add_label("--", field_alignment::repeat);
    }
    for (const message& message : messages.list()) {
        display_line& line = page.add_line(second_layout);
        if (message.number != 0)
            line.add_number(format_message("%u", message.number));
        else
            line.add_label(" ");
        line.add_empty();
        line.add_label(message.text);
    }
}

}  // namespace fv
