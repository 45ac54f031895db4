// The seven displays of two small programs, a direct loan and a loan
// guarantee, on a flat 5 percent rate set: the subsidy figures are checked
// against closed forms, and every display against its golden text.
#include "display/program/program_displays.h"

#include <gtest/gtest.h>

#include <cmath>

#include "cashflow/range_fixture.h"
#include "display/program/batch_line.h"
#include "display/program/import_file.h"
#include "display/program/report_header.h"
#include "display/writer_test_support.h"
#include "display/wk1_writer.h"
#include "golden.h"
#include "subsidy/cohort_single_effective_rate.h"
#include "subsidy/cohort_subsidy.h"
#include "subsidy/consistency_checks.h"
#include "subsidy/input_editing.h"

namespace fv {
namespace {

using namespace fv::testing;

constexpr double r = 5.0;
double df(double half_months) { return std::pow(1.0 + r / 200.0, -half_months / 12.0); }

struct calculated_program {
    load_result loaded;
    rate_set flat{rate_source::budget, "Flat five", {r, r, r, r, r, r, r, r, r}};
    present_value_factors factors;
    display_page derivation;

    explicit calculated_program(const std::vector<row>& rows) : loaded(load_rows(rows)) {
        EXPECT_FALSE(loaded.error) << loaded.error.value_or("");
        credit_program& program = *loaded.program;
        // Fixed identity, so the header does not follow the clock or the machine.
        program.run_time = "Thu Dec 10 08:00:00 2026";
        program.workbook_path = "/data/program.wk1";
        program.workbook_date = "Wed Dec 09 17:30:00 2026";
        program.range_coordinates = "A:A1..A:H12";
        edit_input(program);
        factors.set(&flat);
        factors.make();
        for (auto& cohort : program.cohorts) {
            compute_subsidy(*cohort, factors);
            compute_single_effective_rate(*cohort, factors, flat, program.messages());
        }
        factors.set(&flat);
        factors.make();
        derivation = make_derivation_display(program, factors, flat);
        program.rate_selection = program.rate_assumptions;
        for (auto& cohort : program.cohorts) present_value_test(*cohort, cohort->results, program.messages());
    }
    credit_program& program() { return *loaded.program; }
    const cohort_results& results(std::size_t cohort = 0) { return program().cohorts.at(cohort)->results; }

    void expect_displays_golden(const std::string& name) {
        credit_program& p = program();
        expect_golden(name + "_source.txt", make_source_display(p).render_text());
        expect_golden(name + "_pvfactor.txt", make_factor_display(p, factors).render_text());
        expect_golden(name + "_distribution.txt", make_distribution_display(p).render_text());
        expect_golden(name + "_derivation.txt", derivation.render_text());
        expect_golden(name + "_subsidy.txt", make_subsidy_display(p).render_text());
        expect_golden(name + "_details.txt", make_details_display(p).render_text());
        expect_golden(name + "_messages.txt", make_messages_display(p).render_text());
        expect_golden(name + "_import.txt", import_file_text(p));
        expect_golden(name + "_batch.txt", batch_lines(p));
    }
};

const std::vector<row> direct_loan = header() + std::vector<row>{
                                                    {"Description", "Two-year direct loan"},
                                                    {"Timing", "simple"},
                                                    {"Obligations"},
                                                    {"Disbursements", 100},
                                                    {"Principal pmts, scheduled", 60, 40},
                                                    {"Interest pmts, scheduled", 5, 2},
                                                    {"Fees and other income", 1},
                                                };

const std::vector<row> loan_guarantee = header("guaranteed") + std::vector<row>{
                                                                   {"Timing", "simple"},
                                                                   {"Commitments"},
                                                                   {"Disbursements", 100},
                                                                   {"Default payments", 0, 8},
                                                                   {"Recoveries on defaults", 0, 0, -3},
                                                                   {"Upfront fees", 1},
                                                               };

TEST(ProgramDisplays, DirectLoanFiguresAndDisplays) {
    calculated_program run(direct_loan);
    // Simple timing puts the k-th amount at the end of year k + 1.
    const double financing = 100 - (60 + 5) * df(24) - (40 + 2) * df(48);
    const double fees = -1 * df(24);
    EXPECT_NEAR(run.results().financing_percentage, financing, 1e-9);  // 0.0821...
    EXPECT_NEAR(run.results().fee_percentage, fees, 1e-9);              // -0.9518...
    EXPECT_NEAR(run.results().subsidy_percentage, financing + fees, 1e-9);
    // On a flat curve the single effective rate is the annual yield of the semiannual rate.
    EXPECT_NEAR(run.results().single_effective_rate, 5.0625, 1e-6);
    EXPECT_EQ(run.program().rate_assumptions.value_or(""), "Budget forecast rates, Flat five");
    run.expect_displays_golden("direct");
}

TEST(ProgramDisplays, LoanGuaranteeFiguresAndDisplays) {
    calculated_program run(loan_guarantee);
    // Both are outflow lines: under simple timing they fall at the beginning of 2001 and 2002,
    // one and two years after the disbursement; recoveries are entered as negative amounts.
    const double defaults = 8 * df(24) - 3 * df(48);  // 7.6145 - 2.7179
    const double fees = -1 * df(24);
    EXPECT_NEAR(run.results().default_percentage, defaults, 1e-9);
    EXPECT_NEAR(run.results().fee_percentage, fees, 1e-9);
    EXPECT_NEAR(run.results().subsidy_percentage, defaults + fees, 1e-9);
    run.expect_displays_golden("guarantee");
}

TEST(ProgramDisplays, HeaderLengthsAndTheFactorLineTypes) {
    calculated_program run(direct_loan);
    credit_program& p = run.program();
    // Short header: 11 lines before the first dash line; full: 13.
    const auto header_lines = [](display_page page) {
        unsigned n = 0;
        while (n < page.line_count() && page.line(n + 1).count() > 0 &&
               page.line(n + 1).field(1).text.find("....") != std::string::npos)
            ++n;
        return n;
    };
    EXPECT_EQ(header_lines(make_source_display(p)), 11u);
    EXPECT_EQ(header_lines(make_messages_display(p)), 11u);
    EXPECT_EQ(header_lines(make_subsidy_display(p)), 13u);
    display_page factors = make_factor_display(p, run.factors);
    ASSERT_EQ(factors.layouts().size(), 2u);
    EXPECT_EQ(factors.layouts()[0]->width(), 14455u);
    EXPECT_EQ(factors.layouts()[1]->width(), 15630u);
    // The narrowest program still gets seven columns: fields up to column 115.
    EXPECT_EQ(make_source_display(p).layouts().front()->width(), 115u);
}

// Cell texts and paths reach the displays, and through them the text output
// and print-outs: a line break or escape in one becomes a blank.
TEST(ProgramDisplays, ControlCharactersInTextsBecomeBlanks) {
    credit_program plain(0);
    credit_program odd(0);
    odd.name = "Water\r\nloans \x1b[31m";
    odd.description = "tab\there\x07";
    odd.workbook_path = "/data/odd\nname.wk1";
    for (credit_program* program : {&plain, &odd}) {
        program->add(30, "cell\ntext\x1b");
        program->range_name = "LOANS";
    }
    for (auto make : {make_subsidy_display, make_source_display, make_messages_display, make_details_display}) {
        const std::string text = make(odd).render_text();
        std::size_t controls = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const auto byte = static_cast<unsigned char>(text[i]);
            const bool line_end = text.compare(i, 2, "\r\n") == 0 || (byte == '\n' && i > 0 && text[i - 1] == '\r');
            if ((byte < 0x20 || byte == 0x7f) && !line_end) ++controls;
        }
        EXPECT_EQ(controls, 0u) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), [&] {
            const std::string same = make(plain).render_text();
            return std::count(same.begin(), same.end(), '\n');
        }());
    }
    EXPECT_NE(make_subsidy_display(odd).render_text().find("Water  loans  [31m"), std::string::npos);
}

TEST(ProgramDisplays, GnumericReadsTheSubsidyDisplayAsAWorksheet) {
    if (!test::have_ssconvert()) GTEST_SKIP() << "gnumeric's ssconvert is not installed";
    calculated_program run(direct_loan);
    test::scratch_folder folder;
    wk1_writer writer(test::shipped_template("1.bin"));
    make_subsidy_display(run.program()).write_to(writer);
    const std::string file = folder.file("subsidy.wk1");
    writer.render(file);
    std::string csv;
    ASSERT_TRUE(test::ssconvert_csv(file, folder.file("subsidy.csv"), "", csv));
    EXPECT_NE(csv.find(report_label("Display type") + ",Subsidy and components display,"), std::string::npos) << csv;
    // The cohort's row: year, total, the four components, the rate and its mark; numbers as the doubles nearest
    // to the displayed decimals (the raw export prints them in full).
    EXPECT_NE(csv.find("\n2000,-0.86999999999999999556,0.080000000000000001665,0,-0.9499999999999999556,0,5.0625,(C)\n"),
              std::string::npos)
        << csv;
}

}  // namespace
}  // namespace fv
