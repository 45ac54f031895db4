// Component blocks of the details display.
#include "display/program/details_display.h"

#include <vector>

#include "cashflow/line_code.h"
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
    const auto v = [&r](line_code line) { return line_value(r, program_direct_loan, line); };
    const double d = r.disbursements;
    const double financing = d - v(line_code::dl_principal) - v(line_code::dl_interest);
    const double defaults = -(v(line_code::dl_recoveries) + v(line_code::dl_defaults));
    const double fees = -v(line_code::dl_fees);
    const double other = v(line_code::dl_outflows_other) - v(line_code::dl_losses) - v(line_code::dl_prepayments) - v(line_code::dl_inflows_other);
    return {
        {"Financing component:",
         {{"1. PV, principal payments", v(line_code::dl_principal)},
          {"2. PV, interest payments", v(line_code::dl_interest)},
          {"3. Disbursements (not discounted) ", d},
          {"4. Subsidy amount [ 3 - 1 - 2 ]", financing},
          {"5. Subsidy percentage [ 100.0 ( 4 / 3 ) ]", percent(financing, d)}}},
        {"Default/recovery component:",
         {{"1. PV, defaults", v(line_code::dl_defaults)},
          {"2. PV, recoveries", v(line_code::dl_recoveries)},
          {"3. Disbursements (not discounted) ", d},
          {"4. Subsidy amount [ - ( 2 + 1 ) ]", defaults},
          {"5. Subsidy percentage [ 100.0 ( 4 / 3 ) ]", percent(defaults, d)}}},
        {"Fee component:",
         {{"1. PV, fees and other income", v(line_code::dl_fees)},
          {"2. Disbursements (not discounted) ", d},
          {"3. Subsidy amount [ -1 ]", fees},
          {"4. Subsidy percentage [ 100.0 ( 3 / 2 ) ]", percent(fees, d)}}},
        {"All other components:",
         {{"1. PV, losses other than defaults", v(line_code::dl_losses)},
          {"2. PV, prepayments", v(line_code::dl_prepayments)},
          {"3. PV, outflows, other than disbursement", v(line_code::dl_outflows_other)},
          {"4. PV, other inflows ", v(line_code::dl_inflows_other)},
          {"5. Disbursements (not discounted) ", d},
          {"6. Subsidy amount [ 3 - 1 - 2 - 4]", other},
          {"7. Subsidy percentage [ 100.0 ( 6 / 5 ) ]", percent(other, d)}}},
    };
}

std::vector<block> guarantee_blocks(const cohort_results& r) {
    const auto v = [&r](line_code line) { return line_value(r, program_loan_guarantee, line); };
    const double d = r.disbursements;
    const double financing = v(line_code::lg_interest_subsidy);
    const double defaults = v(line_code::lg_default_payments) - v(line_code::lg_lost_fees) + v(line_code::lg_saved_interest) + v(line_code::lg_recoveries);
    const double fees = -(v(line_code::lg_annual_fees) + v(line_code::lg_upfront_fees) + v(line_code::lg_premiums));
    const double other = v(line_code::lg_outflows_other) - v(line_code::lg_inflows_other) + v(line_code::lg_misc_recoveries);
    return {
        {"Financing component:",
         {{"1. PV, interest subsidy payments", v(line_code::lg_interest_subsidy)},
          {"2. Disbursements by private lenders", d},
          {"3. Subsidy amount [ 1 ]", financing},
          {"4. Subsidy percentage [ 100.0 ( 3 / 2 ) ]", percent(financing, d)}}},
        {"Default/recovery component:",
         {{"1. PV, default payments", v(line_code::lg_default_payments)},
          {"2. PV, fees lost, due to defaults", v(line_code::lg_lost_fees)},
          {"3. PV, interest supplements foregone", v(line_code::lg_saved_interest)},
          {"4. PV, recoveries", v(line_code::lg_recoveries)},
          {"5. Disbursements by private lenders", d},
          {"6. Subsidy amount [ 1 - 2 + 3 + 4 ]", defaults},
          {"7. Subsidy percentage [ 100.0 ( 6 / 5 ) ]", percent(defaults, d)}}},
        {"Fee component:",
         {{"1. PV, annual fees received", v(line_code::lg_annual_fees)},
          {"2. PV, upfront fees received", v(line_code::lg_upfront_fees)},
          {"3. PV, premiums received", v(line_code::lg_premiums)},
          {"4. Disbursements by private lenders", d},
          {"5. Subsidy amount [ - ( 1 + 2 + 3 ) ]", fees},
          {"6. Subsidy percentage [ 100.0 ( 5 / 4 ) ]", percent(fees, d)}}},
        {"All other components:",
         {{"1. PV, outflows (other)", v(line_code::lg_outflows_other)},
          {"2. PV, inflows (other)", v(line_code::lg_inflows_other)},
          {"3. PV, miscellaneous recoveries", v(line_code::lg_misc_recoveries)},
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
    const bool guarantee = program.program_type == program_loan_guarantee;
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
