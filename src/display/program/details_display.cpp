// Component blocks of the details display.
#include "display/program/details_display.h"

#include <vector>

#include "cashflow/message_list.h"
#include "display/display_layout.h"

namespace fv {

namespace {

struct entry {
    const char* label;
    double value;
};

struct block {
    const char* title;
    std::vector<entry> entries;
};

std::string dotted(const char* text, std::size_t width) {
    std::string label = text;
    if (label.size() < width) label.append(width - label.size(), '.');
    return label;
}

// A percentage of the disbursements; 0 when there are none, never a division by zero.
double percent(double amount, double disbursements) {
    return disbursements != 0 ? amount / disbursements * 100 : 0.0;
}

std::vector<block> direct_loan_blocks(const cohort_results& r) {
    const auto v = [&r](int line) { return line_value(r, 1, line); };
    const double d = r.disbursements;
    const double financing = d - v(49) - v(50);
    const double defaults = -(v(54) + v(52));
    const double fees = -v(51);
    const double other = v(48) - v(53) - v(55) - v(47);
    return {
        {"Financing component:",
         {{"1. PV, principal payments", v(49)},
          {"2. PV, interest payments", v(50)},
          {"3. Disbursements (not discounted) ", d},
          {"4. Subsidy amount [ 3 - 1 - 2 ]", financing},
          {"5. Subsidy percentage [ 100.0 ( 4 / 3 ) ]", percent(financing, d)}}},
        {"Default/recovery component:",
         {{"1. PV, defaults", v(52)},
          {"2. PV, recoveries", v(54)},
          {"3. Disbursements (not discounted) ", d},
          {"4. Subsidy amount [ - ( 2 + 1 ) ]", defaults},
          {"5. Subsidy percentage [ 100.0 ( 4 / 3 ) ]", percent(defaults, d)}}},
        {"Fee component:",
         {{"1. PV, fees and other income", v(51)},
          {"2. Disbursements (not discounted) ", d},
          {"3. Subsidy amount [ -1 ]", fees},
          {"4. Subsidy percentage [ 100.0 ( 3 / 2 ) ]", percent(fees, d)}}},
        {"All other components:",
         {{"1. PV, losses other than defaults", v(53)},
          {"2. PV, prepayments", v(55)},
          {"3. PV, outflows, other than disbursement", v(48)},
          {"4. PV, other inflows ", v(47)},
          {"5. Disbursements (not discounted) ", d},
          {"6. Subsidy amount [ 3 - 1 - 2 - 4]", other},
          {"7. Subsidy percentage [ 100.0 ( 6 / 5 ) ]", percent(other, d)}}},
    };
}

std::vector<block> guarantee_blocks(const cohort_results& r) {
    const auto v = [&r](int line) { return line_value(r, 2, line); };
    const double d = r.disbursements;
    const double financing = v(65);
    const double defaults = v(63) - v(67) + v(68) + v(64);
    const double fees = -(v(60) + v(59) + v(61));
    const double other = v(66) - v(62) + v(69);
    return {
        {"Financing component:",
         {{"1. PV, interest subsidy payments", v(65)},
          {"2. Disbursements by private lenders", d},
          {"3. Subsidy amount [ 1 ]", financing},
          {"4. Subsidy percentage [ 100.0 ( 3 / 2 ) ]", percent(financing, d)}}},
        {"Default/recovery component:",
         {{"1. PV, default payments", v(63)},
          {"2. PV, fees lost, due to defaults", v(67)},
          {"3. PV, interest supplements foregone", v(68)},
          {"4. PV, recoveries", v(64)},
          {"5. Disbursements by private lenders", d},
          {"6. Subsidy amount [ 1 - 2 + 3 + 4 ]", defaults},
          {"7. Subsidy percentage [ 100.0 ( 6 / 5 ) ]", percent(defaults, d)}}},
        {"Fee component:",
         {{"1. PV, annual fees received", v(60)},
          {"2. PV, upfront fees received", v(59)},
          {"3. PV, premiums received", v(61)},
          {"4. Disbursements by private lenders", d},
          {"5. Subsidy amount [ - ( 1 + 2 + 3 ) ]", fees},
          {"6. Subsidy percentage [ 100.0 ( 5 / 4 ) ]", percent(fees, d)}}},
        {"All other components:",
         {{"1. PV, outflows (other)", v(66)},
          {"2. PV, inflows (other)", v(62)},
          {"3. PV, miscellaneous recoveries", v(69)},
          {"4. Disbursements by private lenders", d},
          {"5. Subsidy amount [ 1 - 2 + 3 ]", other},
          {"6. Subsidy percentage [ 100.0 ( 5 / 4 ) ]", percent(other, d)}}},
    };
}

}  // namespace

line_layout details_layout() {
    return fixed_layout("LT1", {55, 66, 77, 88, 99, 110}, {4, 4, 4, 4, 4, 4});
}

void write_details_lines(display_page& page, const line_layout&, const credit_program& program) {
    const line_layout& second_layout = page.add_layout(fixed_layout("LT2", {4, 51, 62, 73, 84, 100}, {0, 0, 0, 0, 0, 0}));
    const bool guarantee = program.program_type == 2;
    for (const auto& cohort : program.cohorts) {
        const cohort_results& r = cohort->results;
        add_dash_line(page, second_layout, 6);
        page.add_line(second_layout).add_label(format_message("Cohort year:  %d", cohort->year));
        add_dash_line(page, second_layout, 6);

        const entry totals[] = {
            {"PV, all cash flow items", r.subsidy_amount},
            {guarantee ? "Disbursements by private lenders" : "Disbursements (not discounted) ", r.disbursements},
            {"Subsidy percentage", r.subsidy_percentage},
        };
        for (const entry& total : totals) {
            display_line& line = page.add_line(second_layout);
            line.add_label(dotted(total.label, 53));
            line.add_empty();
            line.add_label(fixed(total.value, 3), field_alignment::right);
        }
        bool financing = true;
        for (const block& b : guarantee ? guarantee_blocks(r) : direct_loan_blocks(r)) {
            page.add_line(second_layout);
            page.add_line(second_layout).add_label(b.title);
            for (const entry& e : b.entries) {
                display_line& line = page.add_line(second_layout);
                line.add_empty();
                line.add_label(dotted(e.label, financing ? 66 : 65));
                line.add_number(fixed(e.value, 3));
            }
            financing = false;
        }
        page.add_line(second_layout);
    }
}

}  // namespace fv
