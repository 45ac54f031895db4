// The range parser on small workbooks written in the test code: header
// keywords, their messages, cohort starts and years, quarter factors, and
// every error that stops a load.
#include <gtest/gtest.h>

#include <climits>
#include <limits>

#include "range_fixture.h"
#include "util/time_text.h"

namespace fv {
namespace {

using namespace fv::testing;

const double not_a_number = std::numeric_limits<double>::quiet_NaN();
const double infinity = std::numeric_limits<double>::infinity();

std::vector<row> direct_cohort() {
    return {{"Obligations"}, {"Disbursements", 100}, {"Principal pmts, scheduled", 60, 40}};
}

TEST(RangeParser, LoadsADirectLoanProgramWithItsHeader) {
    auto result = load_rows(header() + std::vector<row>{{"Description", "  A small program"},
                                                        {"Amount", "thousands"},
                                                        {"Purpose", "analysis"},
                                                        {"Method", "FORCE PRO-RATA"},
                                                        {"Loan type", "multiple"},
                                                        {"Compute single effective rate", "on"},
                                                        {"Rate assumption", "budget-2001"},
                                                        {"Import file", "out.csv"},
                                                        {"Output file", "out.txt"},
                                                        {"Sheet file", "out.wk3"}} +
                            direct_cohort());
    ASSERT_FALSE(result.error) << *result.error;
    const credit_program& p = *result.program;
    EXPECT_EQ(p.name, "Test program");
    EXPECT_EQ(p.description, "A small program");
    EXPECT_EQ(p.program_type, 1);
    EXPECT_EQ(p.budget_year, 2001);
    EXPECT_EQ(p.amount_units, 2);
    EXPECT_EQ(p.units(), 2);
    EXPECT_EQ(p.purpose, calculation_purpose::analysis);
    EXPECT_EQ(p.method, pro_rata_method::force);
    EXPECT_EQ(p.loan_type, loan_model::multiple);
    EXPECT_EQ(p.single_effective_rate, true);
    EXPECT_EQ(p.rate_assumption, rate_source::budget);
    EXPECT_EQ(p.rate_title, "Budget 2001");
    EXPECT_EQ(p.csv_file_name, "out.csv");
    EXPECT_EQ(p.output_file_name, "out.txt");
    EXPECT_EQ(p.sheet_file_name, "out.wk3");
    EXPECT_EQ(p.range_name, "RANGE");
    EXPECT_EQ(p.range_coordinates, "A:A1..A:C16");
    EXPECT_EQ(p.run_time, time_text(0));
    EXPECT_NE(p.workbook_path.find("fixture.wk1"), std::string::npos);
    ASSERT_EQ(p.cohorts.size(), 1u);
    const cohort& cohort = *p.cohorts.front();
    EXPECT_EQ(cohort.year, 2000);  // unnumbered: the year before the budget year
    ASSERT_EQ(cohort.rows.size(), 2u);
    EXPECT_EQ(cohort.disbursement_row, cohort.rows[0].get());
    EXPECT_EQ(cohort.rows[1]->amounts, (std::vector<double>{60, 40}));
    EXPECT_EQ(all_messages(p).size(), 0u);
}

TEST(RangeParser, FillsDefaultsAtTheEnd) {
    auto result = load_rows({{"Name", "x"}, {"Program type", "guaranteed"}, {"cohort", 1999}, {"Disbursements", 5}});
    ASSERT_FALSE(result.error) << *result.error;
    const credit_program& p = *result.program;
    EXPECT_EQ(p.program_type, 2);
    EXPECT_EQ(p.units(), 3);
    EXPECT_FALSE(p.amount_units.has_value());
    EXPECT_EQ(p.purpose, calculation_purpose::budget_formulation);
    EXPECT_EQ(p.method, pro_rata_method::choose);
    EXPECT_FALSE(p.single_effective_rate.has_value());
    EXPECT_EQ(p.budget_year, 2000);  // the first cohort's year + 1
}

TEST(RangeParser, HeaderValuesAreRecognisedByTheirLeadingLetters) {
    // Each setting read back as the number the keyword stands for (-1 not given).
    using reader = int (*)(const credit_program&);
    const reader units = [](const credit_program& p) { return p.amount_units.value_or(-1); };
    const reader single_rate = [](const credit_program& p) { return p.single_effective_rate ? int{*p.single_effective_rate} : -1; };
    const reader method = [](const credit_program& p) { return p.method ? static_cast<int>(*p.method) : -1; };
    const reader purpose = [](const credit_program& p) { return p.purpose ? static_cast<int>(*p.purpose) : -1; };
    const reader loan_type = [](const credit_program& p) { return static_cast<int>(p.loan_type); };
    const reader source = [](const credit_program& p) { return p.rate_assumption ? static_cast<int>(*p.rate_assumption) : -1; };
    struct value_case {
        row line;
        reader field;
        int expected;
    };
    const value_case cases[] = {
        {{"Amount", "dollars"}, units, 1},  {{"Amount", "Millions"}, units, 3},
        {{"Amount", "b"}, units, 4},        {{"Compute single effective rate", "Yes"}, single_rate, 1},
        {{"Compute single effective rate", "true"}, single_rate, 1},
        {{"Compute single effective rate", "OFF"}, single_rate, 0},
        {{"Compute single effective rate", "false"}, single_rate, 0},
        {{"Method", "choose"}, method, 0},         {{"Method", 9}, method, 0},
        {{"Method", "9X"}, method, 0},             {{"Purpose", "Budget"}, purpose, 1},
        {{"Loan type", "Construction"}, loan_type, 1},
        {{"Rate assumption", "ACTUAL, 1999"}, source, 1},
        {{"Rate assumption", "own my rates"}, source, 3},
        {{"Rate assumption", "owner"}, source, -1},
    };
    for (const auto& c : cases) {
        auto result = load_rows(header() + std::vector<row>{c.line} + direct_cohort());
        ASSERT_FALSE(result.error) << *result.error;
        EXPECT_EQ(c.field(*result.program), c.expected) << c.line[0].text << " " << c.line[1].text;
    }
    // A number or "9..." as the method is taken as not given: no message.
    EXPECT_TRUE(all_messages(*load_rows(header() + std::vector<row>{{"Method", "9X"}} + direct_cohort()).program).empty());

    auto titled = load_rows(header() + std::vector<row>{{"Rate assumption", "ACTUAL, 1999  "}} + direct_cohort());
    EXPECT_EQ(titled.program->rate_title, "FY 1999");
    auto own = load_rows(header() + std::vector<row>{{"Rate assumption", "OWN my rates"}} + direct_cohort());
    EXPECT_EQ(own.program->rate_title, "my rates");
}

// Every numbered message of the header, with the cell it names: the keyword's
// own cell for duplicates, the value's cell for missing and invalid values.
TEST(RangeParser, HeaderMessages) {
    struct message_case {
        std::vector<row> lines;
        unsigned number;
        std::string text;
    };
    const message_case cases[] = {
        {{{"Description"}}, 30, "The value for \"Description\" in cell A:B4 is missing"},
        {{{"Amount", "  "}}, 30, "The value for \"Amount\" in cell A:B4 is missing"},
        {{{"Compute single effective rate"}}, 30,
         "The value for \"Single effective rate\" in cell A:B4 is missing or in an unexpected format"},
        {{{"Import file"}}, 30, "The value for \"Import-file\" in cell A:B4 is missing"},
        {{{"Method"}}, 30, "The value for \"Method\" in cell A:B4 is missing"},
        {{{"Output file", cell::error()}}, 30, "The value for \"Output file\" in cell A:B4 was missing"},
        {{{"Purpose"}}, 30, "The value for \"Purpose\" in cell A:B4 is missing"},
        {{{"Suppress warnings"}}, 30, "The value for \"Suppress warnings\" in cell A:B4 is missing"},
        {{{"Sheet file"}}, 30, "The value for \"Sheet file\" in cell A:B4 was missing"},
        {{{"Rate assumption"}}, 30, "The value for \"Rate assumption\" in cell A:B4 is missing"},
        {{{"Timing"}}, 30, "The value for \"Timing\" in cell A:B4 is missing"},
        {{{"Timing", "weekly"}}, 30, "The value for \"Timing\" in cell A:B4 (weekly) could not be interpreted"},
        {{{"Loan type", "single"}}, 30, "The value for \"Loan type\" in cell A:B4 must be \"multiple\" or \"construction\""},
        {{{"Loan type"}}, 30, "The value for \"Loan type\" in cell A:B4 must be \"multiple\" or \"construction\""},
        {{{"Amount", "pesos"}}, 31,
         "The value for \"Amount\" in cell A:B4 must be DOLLARS, THOUSANDS, MILLIONS, or BILLIONS"},
        {{{"Compute single effective rate", "maybe"}}, 31,
         "The value for \"Single effective rate\" in cell A:B4 must be YES (or TRUE or ON) or NO (or FALSE or OFF)"},
        {{{"Method", "sometimes"}}, 31, "The value for \"Method\" in cell A:B4 must be \"FORCE PRO-RATA\" or \"CHOOSE\""},
        {{{"Purpose", "fun"}}, 31, "The value for \"Purpose\" in cell A:B4 must be BUDGET or ANALYSIS"},
        {{{"Rate assumption", "guess"}}, 31,
         "The value for \"Rate assumption\" in cell A:B4 must begin with ACTUAL, BUDGET, or OWN"},
        {{{"Suppress warnings", "30;31"}}, 31, "The value for \"Suppress warnings\" in cell A:B4 must be"},
        {{{"Suppress warnings", "40-30"}}, 33,
         "A \"supress-warnings\" message has a defective range of values ( start > end )"},
        {{{"Name", "again"}}, 32, "A duplicate \"Name\" in cell A:A4 was ignored"},
        {{{"Description", "a"}, {"Description", "b"}}, 32, "A duplicate \"Description\" in cell A:A5 was ignored"},
        {{{"Program type", "direct"}}, 32, "A duplicate \"Program type\" in cell A:A4 was ignored"},
        {{{"Budget year", 2002}}, 32, "A duplicate \"Budget Year\" in cell A:A4 was ignored"},
        {{{"Amount", "M"}, {"Amount", "M"}}, 32, "A duplicate \"Amount\" in cell A:A5 was ignored"},
        {{{"Compute single effective rate", "no"}, {"Compute single effective rate", "no"}}, 32,
         "A duplicate \"Single effective rate\" in cell A:A5 was ignored"},
        {{{"Import file", "a"}, {"Import file", "b"}}, 32, "A duplicate \"Import file\" in cell A:A5 was ignored"},
        {{{"Method", "choose"}, {"Method", "force"}}, 32, "A duplicate \"Method\" in cell A:A5 was ignored"},
        {{{"Output file", "a"}, {"Output file", "b"}}, 32, "A duplicate \"Output file\" in cell A:A5 was ignored"},
        {{{"Purpose", "budget"}, {"Purpose", "budget"}}, 32, "A duplicate \"Purpose\" in cell A:A5 was ignored"},
        {{{"Sheet file", "a"}, {"Sheet file", "b"}}, 32, "A duplicate \"Sheet file\" in cell A:A5 was ignored"},
        {{{"Rate assumption", "own"}, {"Rate assumption", "own"}}, 32,
         "A duplicate \"Rate assumption\" in cell A:A5 was ignored"},
        {{{"Q1-INFLOW", 100}, {"Q1-INFLOW", 25}}, 32, "A duplicate \"Q1-INFLOW\" line (A:A5) was ignored"},
        {{{"Q3-OUT-INIT", 100}, {"Q3-OUTFLOW-INIT", 25}}, 32, "A duplicate \"Q3-OUTFLOW-INIT\" line (A:A5) was ignored"},
        {{{"REPEAT"}}, 43, "Obsolete keyword REPEAT in cell A:A4 was ignored"},
        {{{"Skip"}}, 43, "Obsolete keyword SKIP in cell A:A4 was ignored"},
        {{{"Upfront fees", 1}}, 39, "Cell A:A4:  unrecognized keyword ( Upfront fees )"},
        {{{"Whatever", 1}}, 39, "Cell A:A4:  unrecognized keyword ( Whatever )"},
    };
    for (const auto& c : cases) {
        auto result = load_rows(header() + c.lines + direct_cohort());
        EXPECT_FALSE(result.error) << c.text << ": " << result.error.value_or("");
        EXPECT_TRUE(has_message(*result.program, c.number, c.text)) << c.text << "\n" << dump_messages(*result.program);
    }
}

TEST(RangeParser, RejectedValuesMayBeGivenAgainAndSuppressionActsOnLaterMessages) {
    auto result = load_rows(header() + std::vector<row>{{"Amount", "pesos"},
                                                        {"Amount", "billions"},
                                                        {"Suppress warnings", 39},
                                                        {"Zonk"},
                                                        {"Suppress warnings", "none"},
                                                        {"Zonk too"}} +
                            direct_cohort());
    ASSERT_FALSE(result.error) << *result.error;
    const credit_program& p = *result.program;
    EXPECT_EQ(p.amount_units, 4);
    EXPECT_EQ(message_texts(p, 31).size(), 1u);
    EXPECT_EQ(message_texts(p, 39), (std::vector<std::string>{"Cell A:A9:  unrecognized keyword ( Zonk too )"}));
}

TEST(RangeParser, CellTextsOfAnyLengthReachTheMessagesWhole) {
    const std::string long_word = "Zz" + std::string(2000, 'q');
    const std::string long_timing = "quarterly " + std::string(500, 'x');
    auto result = load_rows(header() + std::vector<row>{{long_word}, {"Timing", long_timing}} + direct_cohort());
    ASSERT_FALSE(result.error) << *result.error;
    EXPECT_TRUE(has_message(*result.program, 39, "Cell A:A4:  unrecognized keyword ( " + long_word + " )"));
    EXPECT_TRUE(has_message(*result.program, 30,
                            "The value for \"Timing\" in cell A:B5 (" + long_timing + ") could not be interpreted"));
}

TEST(RangeParser, RowsThatAreNotKeywordsArePassedOver) {
    auto result = load_rows(header() + std::vector<row>{{"* a comment", "x"},
                                                        {"-- a rule"},
                                                        {" \t "},
                                                        {12345},
                                                        {""},
                                                        {"Account type", "x"},
                                                        {"Enacted Budget Authority", 5}} +
                            direct_cohort());
    ASSERT_FALSE(result.error) << *result.error;
    EXPECT_TRUE(all_messages(*result.program).empty()) << dump_messages(*result.program);
}

// Range shape and lookup failures, on hand-made ranges.
TEST(RangeParser, RangeShapeErrors) {
    auto book = std::make_unique<memory_workbook>("shapes.wk1");
    book->set_label(0, 0, 0, "Name");
    book->set_label(0, 0, 1, "x");
    book->set_label(0, 1, 0, "Program type");
    book->set_label(0, 1, 1, "direct");
    book->set_label(0, 2, 0, "Budget year");
    book->set_number(0, 2, 1, 2001);
    book->set_label(0, 3, 0, "Obligations");
    book->set_label(0, 4, 0, "Disbursements");
    book->set_number(0, 4, 1, 10);
    book->set_label(0, 0, 3, "Title");
    struct shape {
        const char* name;
        range_bounds bounds;
        const char* error;  // nullptr: loads
    };
    const shape shapes[] = {
        {"six_by_two", {1, 1, 1, 1, 6, 2}, nullptr},
        {"five_rows", {1, 1, 1, 1, 5, 2}, "E005:  Range is too small"},
        {"one_column", {1, 1, 1, 1, 10, 1}, "E005:  Range is too small"},
        {"columns_inverted", {1, 1, 3, 1, 10, 1}, "E005:  Range is too small"},
        {"rows_inverted", {1, 10, 1, 1, 1, 2}, "E005:  Range is too small"},
        {"three_d", {1, 1, 1, 2, 10, 2}, "E006:  Three-dimensional ranges are not supported"},
        {"titled", {1, 1, 4, 1, 10, 5}, "E012:  Upper-left corner of range does not contain the \"Name\" keyword"},
        {"blank_corner", {1, 1, 3, 1, 10, 4}, "E012:  Upper-left corner of range does not contain the \"Name\" keyword"},
    };
    for (const auto& s : shapes) book->add_named_range(s.name, s.bounds);
    auto front = open_memory_workbook(std::move(book));
    for (const auto& s : shapes) {
        credit_program program(0);
        try {
            parse_range(*front, s.name, {}, program);
            EXPECT_EQ(s.error, nullptr) << s.name;
        } catch (const text_error& failure) {
            ASSERT_NE(s.error, nullptr) << s.name << ": " << failure.text();
            EXPECT_EQ(failure.text(), s.error) << s.name;
        }
    }
    credit_program program(0);
    try {
        parse_range(*front, "nowhere", {}, program);
        ADD_FAILURE();
    } catch (const text_error& failure) {
        EXPECT_EQ(failure.text(), "E026:  Range not found");
    }
    try {
        parse_range(*front, "", {}, program);
        ADD_FAILURE();
    } catch (const text_error& failure) {
        EXPECT_EQ(failure.text(), "cf_pgm::load called with a NULL range name");
    }
}

TEST(RangeParser, CoordinateTextOfTheWidestRangeIsKeptWhole) {
    auto book = std::make_unique<memory_workbook>("far.wk1");
    book->set_label(255, 59999, 254, "Name");
    book->set_label(255, 60000, 254, "Program type");
    book->set_label(255, 60000, 255, "direct");
    book->set_label(255, 60001, 254, "Obligations");
    book->set_label(255, 60002, 254, "Disbursements");
    book->set_number(255, 60002, 255, 10);
    book->add_named_range("far", {256, 60000, 255, 256, 65535, 256});
    auto front = open_memory_workbook(std::move(book));
    credit_program program(0);
    parse_range(*front, "far", {2001}, program);
    EXPECT_EQ(program.range_coordinates, "IV:IU60000..IV:IV65535");
    EXPECT_EQ(program.cohorts.front()->rows.front()->cell, "IV:IU60003");
}

TEST(RangeParser, ErrorsThatStopTheLoad) {
    struct error_case {
        std::vector<row> rows;
        std::string error;
    };
    const std::string e024_direct =
        "E024:  the line with \"Disbursements\" was missing.\nIt must follow \"Obligations\" and precede all other cash flows (see help)";
    const std::string e024_guarantee =
        "E024:  the line with \"Disbursements\" was missing.\nIt must follow \"Commitments\" and precede all other cash flows (see help)";
    const error_case cases[] = {
        {{{"Name:"}, {"Obligations"}, {"Disbursements", 1}},
         "E007:  A \"Program type\" line must precede the cash flow estimates"},
        {{{"Name"}, {"Frobnicate"}, {"Program type", "direct"}},
         "E007:  A \"Program type\" line must precede the cash flow estimates"},
        {{{"Name"}, {"Program type", "sideways"}},
         "E008:  Program type (on line beginning in A:A2) must be either \"direct\" or \"guaranteed\""},
        {header("direct", 1991), "E013:  Budget year must be in the range 1992 through 3000"},
        {{{"Name"}, {"Program type", "d"}, {"Budget year", "next year"}},
         "E013:  Budget year must be in the range 1992 through 3000"},
        {{{"Name"}, {"Program type", "d"}, {"Budget year", "99999999999999999999"}},
         "E013:  Budget year must be in the range 1992 through 3000"},
        {{{"Name"}, {"Program type", "d"}, {"Budget year", 1e300}},
         "E013:  Budget year must be in the range 1992 through 3000"},
        {{{"Name"}, {"Program type", "d"}, {"Budget year", not_a_number}},
         "E013:  Budget year must be in the range 1992 through 3000"},
        {{{"Name"}, {"Program type", "d"}, {"Obligations"}, {"Disbursements", 1}},  // no budget year at all
         "E013:  Budget year must be in the range 1992 through 3000"},
        {header(), "E010:  No cash flow estimates"},
        {header() + std::vector<row>{{"Obligations"}, {"Principal pmts, scheduled", 0, 0}}, "E010:  No cash flow estimates"},
        {header() + std::vector<row>{{"cohort", "2001"}}, "Missing year on \"cohort\" line"},
        {header() + std::vector<row>{{"cohort"}}, "Missing year on \"cohort\" line"},
        {header() + std::vector<row>{{"cohort", 1991}}, "The year on \"cohort\" line must be between 1992 and 3000"},
        {header() + std::vector<row>{{"cohort", infinity}}, "The year on \"cohort\" line must be between 1992 and 3000"},
        {header() + std::vector<row>{{"cohort", 1e300}}, "The year on \"cohort\" line must be between 1992 and 3000"},
        {header() + std::vector<row>{{"cohort", not_a_number}},
         "The year on \"cohort\" line must be between 1992 and 3000"},
        {header() + std::vector<row>{{"cohort", 3000}, {"Disbursements", 1}, {"SKIP"}, {"Obligations"}, {"Disbursements", 1}},
         "The year on \"cohort\" line must be between 1992 and 3000"},
        {header() + std::vector<row>{{"Obligations"}, {"Disbursements", 1}, {"Disbursements", 2}},
         "E017: Two or more disbursement lines found in a cohort"},
        {header() + std::vector<row>{{"Obligations"}, {"Principal pmts, scheduled", 1}}, e024_direct},
        {header("guaranteed") + std::vector<row>{{"Commitments"}, {"Upfront fees", 1}}, e024_guarantee},
        {header() + std::vector<row>{{"Obligations"}, {"Disbursements", 5, -1}},
         "E016:  A negative value for disbursements was found on the row beginning in cell A:A5"},
        {header() + direct_cohort() + std::vector<row>{{"Defaults [quarterly", -1}},
         "E022: Missing right square bracket on row in Defaults [quarterly"},
        {header() + direct_cohort() + std::vector<row>{{"Defaults [weekly]", -1}},
         "E023: Formatting problem with year and period specification in Defaults [weekly]"},
        {header() + std::vector<row>{{"Timing", "end"}} + direct_cohort(),
         "E028:  The frequency of the cash flows beginning in cell A:A6 has not been given"},
        {header() + std::vector<row>{{"Timing", "quarterly"}} + direct_cohort(),
         "E028:  The timing of the cash flows beginning in cell A:A6 has not been given"},
        {header() + std::vector<row>{{"Q1-INFLOW", 25}, {"Q2-INFLOW", 25}, {"Q3-INFLOW", 25}, {"Q4-INFLOW", 24.99}} +
             direct_cohort(),
         "E009:  Quarter inflow factors in year 1 don't add to 100.0"},
        {header() + std::vector<row>{{"Q1-OUTFLOW-INIT", 40, 25}, {"Q2-OUTFLOW-INIT", 30, 25},
                                     {"Q3-OUTFLOW-INIT", 20, 25}, {"Q4-OUTFLOW-INIT", 10, not_a_number, 0}} +
             direct_cohort(),
         "E009:  Quarter initial year outflow factors in year 2 don't add to 100.0"},
    };
    for (const auto& c : cases) {
        auto result = load_rows(c.rows);
        ASSERT_TRUE(result.error) << c.error;
        EXPECT_EQ(*result.error, c.error);
    }
    // E008 is also entered as message 31 before it is raised.
    auto typed = load_rows({{"Name"}, {"Program type", "sideways"}});
    EXPECT_TRUE(has_message(*typed.program, 31, *typed.error));
}

TEST(RangeParser, OverlongRowsFailWithE027ByFrequency) {
    row annual{"Principal pmts, scheduled"};
    for (int i = 0; i < 120; ++i) annual.push_back(1.0);
    row quarterly = annual;
    quarterly[0] = cell("Principal pmts, scheduled [quarterly, end]");
    auto too_long = load_rows(header() + std::vector<row>{{"Timing", "annual middle"}, {"Obligations"},
                                                          {"Disbursements", 1}, annual});
    ASSERT_TRUE(too_long.error);
    EXPECT_EQ(*too_long.error, "E027:  The cash flows beginning in cell A:A7 extend beyond 100 years");
    auto fits = load_rows(header() + std::vector<row>{{"Timing", "annual middle"}, {"Obligations"},
                                                      {"Disbursements", 1}, quarterly});
    ASSERT_FALSE(fits.error) << *fits.error;
    EXPECT_EQ(fits.program->cohorts[0]->rows[1]->amounts.size(), 120u);
}

TEST(RangeParser, CohortYears) {
    const std::vector<row> two_unnumbered = header("direct", 2001) + direct_cohort() + direct_cohort();
    auto clear_flag = load_rows(two_unnumbered);
    ASSERT_FALSE(clear_flag.error) << *clear_flag.error;
    ASSERT_EQ(clear_flag.program->cohorts.size(), 2u);
    EXPECT_EQ(clear_flag.program->cohorts[0]->year, 2000);
    EXPECT_EQ(clear_flag.program->cohorts[1]->year, 2001);

    auto set_flag = load_rows(two_unnumbered, 0, true);
    EXPECT_EQ(set_flag.program->cohorts[0]->year, 2001);
    EXPECT_EQ(set_flag.program->cohorts[1]->year, 2002);

    // "Obligations" inside a numbered cohort is ignored; the next unnumbered cohort follows it.
    auto numbered = load_rows(header() + std::vector<row>{{"cohort", 2001.7}, {"Obligations"}, {"Disbursements", 1},
                                                          {"Obligations"}, {"Principal pmts, scheduled", 1}, {"SKIP"}} +
                              direct_cohort());
    ASSERT_FALSE(numbered.error) << *numbered.error;
    ASSERT_EQ(numbered.program->cohorts.size(), 2u);
    EXPECT_EQ(numbered.program->cohorts[0]->year, 2001);
    EXPECT_EQ(numbered.program->cohorts[0]->rows.size(), 2u);
    EXPECT_EQ(numbered.program->cohorts[1]->year, 2002);

    // A second "Obligations" right after the first ends an empty cohort, which is dropped.
    auto empty_first = load_rows(header() + std::vector<row>{{"Obligations"}} + direct_cohort());
    ASSERT_FALSE(empty_first.error) << *empty_first.error;
    ASSERT_EQ(empty_first.program->cohorts.size(), 1u);
    EXPECT_EQ(empty_first.program->cohorts[0]->year, 2001);

    // Guarantees pass over "Commitments" until the first cash-flow row.
    auto guarantees = load_rows(header("loan guarantee") + std::vector<row>{{"Commitments"}, {"Commitments"},
                                                                            {"Disbursements", 3}, {"Percent guaranteed", 80},
                                                                            {"Commitments"}, {"Disbursements", 4}});
    ASSERT_FALSE(guarantees.error) << *guarantees.error;
    ASSERT_EQ(guarantees.program->cohorts.size(), 2u);
    EXPECT_EQ(guarantees.program->cohorts[0]->rows.size(), 1u);
    EXPECT_EQ(guarantees.program->cohorts[1]->year, 2001);

    // The same year twice is reported and kept.
    auto twice = load_rows(header() + std::vector<row>{{"cohort", 2001}, {"Disbursements", 1}, {"cohort", 2001},
                                                       {"Disbursements", 2}});
    ASSERT_FALSE(twice.error) << *twice.error;
    EXPECT_EQ(twice.program->cohorts.size(), 2u);
    EXPECT_TRUE(has_message(*twice.program, 44, "The cohort beginning in cell A:A6 has the same year as a previous cohort"));

    // END stops reading; REPEAT inside a cohort ends it after the message.
    auto ended = load_rows(header() + direct_cohort() + std::vector<row>{{"END"}} + direct_cohort());
    EXPECT_EQ(ended.program->cohorts.size(), 1u);
    auto repeated = load_rows(header() + std::vector<row>{{"cohort", 2001}, {"Disbursements", 1}, {"REPEAT"},
                                                          {"Principal pmts, scheduled", 1}});
    ASSERT_FALSE(repeated.error) << *repeated.error;
    EXPECT_EQ(repeated.program->cohorts[0]->rows.size(), 1u);
    EXPECT_TRUE(has_message(*repeated.program, 43, "Obsolete keyword REPEAT in cell A:A6 was ignored"));
    EXPECT_TRUE(has_message(*repeated.program, 39, "Cell A:A7:  unrecognized keyword ( Principal pmts, scheduled )"));

    // Inside a cohort a cell of blanks is not passed over but reported.
    auto blanks = load_rows(header() + std::vector<row>{{"Obligations"}, {"Disbursements", 1}, {"  "}});
    ASSERT_FALSE(blanks.error) << *blanks.error;
    EXPECT_TRUE(has_message(*blanks.program, 39, "Cell A:A6:  unrecognized keyword (    )"));
}

TEST(RangeParser, DefaultBudgetYear) {
    const std::vector<row> no_budget_year = {{"Name"}, {"Program type", "direct"}, {"Obligations"}, {"Disbursements", 1},
                                             {"SKIP"}, {"Budget year", 2003}};
    auto result = load_rows(no_budget_year, 2005);
    ASSERT_FALSE(result.error) << *result.error;
    EXPECT_EQ(result.program->budget_year, 2005);
    EXPECT_EQ(result.program->cohorts[0]->year, 2004);
    EXPECT_TRUE(has_message(*result.program, 32, "A duplicate \"Budget Year\" in cell A:A6 was ignored"));

    // A run's year the model does not know counts as none.
    for (const int refused_year : {1991, 3001}) {
        auto refused = load_rows(no_budget_year, refused_year);
        ASSERT_TRUE(refused.error) << refused_year;
        EXPECT_EQ(*refused.error, "E013:  Budget year must be in the range 1992 through 3000");
    }
}

TEST(RangeParser, QuarterFactors) {
    // Equal quarters everywhere are discarded.
    auto equal = load_rows(header() + std::vector<row>{{"Q1-INFLOW", 25, 25}, {"Q2-INFLOW", 25, 25},
                                                       {"Q3-INFLOW", 25, 25}, {"Q4-INFLOW", 25, 25}} +
                           direct_cohort());
    ASSERT_FALSE(equal.error) << *equal.error;
    std::array<double, 4> fractions{};
    EXPECT_FALSE(equal.program->quarter_factor(factor_kind::inflow, 2000, fractions));
    EXPECT_FALSE(equal.program->factors().sequence(factor_kind::inflow, 1).present);

    // Sums within 0.001 of 100 pass; a shorter sequence is padded with zeros;
    // a blank cell inside the span counts as 0; the last column's 0 ends the span.
    auto accepted = load_rows(header() + std::vector<row>{{"Q1-OUTFLOW", 10, 25, 99.9995, 100},
                                                          {"Q2-OUTFLOW", 20, 25, 0},
                                                          {"Q3-OUTFLOW", 30, 25, blank, 0},
                                                          {"Q4-OUTFLOW", 40, 25}} +
                              direct_cohort());
    ASSERT_FALSE(accepted.error) << *accepted.error;
    const credit_program& p = *accepted.program;
    EXPECT_EQ(p.factors().sequence(factor_kind::outflow, 3).values, (std::vector<double>{30, 25, 0, 0}));
    EXPECT_EQ(p.factors().sequence(factor_kind::outflow, 2).values, (std::vector<double>{20, 25, 0, 0}));
    EXPECT_EQ(p.factors().sequence(factor_kind::outflow, 1).label, "Q1-OUTFLOW");
    ASSERT_TRUE(p.quarter_factor(factor_kind::outflow, 2000, fractions));  // budget year 2001: index 0 is 2000
    EXPECT_DOUBLE_EQ(fractions[0], 0.1);
    EXPECT_DOUBLE_EQ(fractions[3], 0.4);
    ASSERT_TRUE(p.quarter_factor(factor_kind::outflow, 2002, fractions));
    EXPECT_DOUBLE_EQ(fractions[0], 0.999995);
    ASSERT_TRUE(p.quarter_factor(factor_kind::outflow, 2003, fractions));
    EXPECT_DOUBLE_EQ(fractions[0], 1.0);
    EXPECT_FALSE(p.quarter_factor(factor_kind::outflow, 1999, fractions));
    EXPECT_FALSE(p.quarter_factor(factor_kind::outflow, 2004, fractions));
    EXPECT_TRUE(p.has_unequal_factors(line_code::dl_outflows_other, 2000));   // outflow class
    EXPECT_FALSE(p.has_unequal_factors(line_code::dl_principal, 2000));  // inflow class: no inflow factors
}

// Disbursement-period rows, checked when a cohort has been read.
TEST(RangeParser, DisbursementPeriodChecks) {
    const std::vector<row> quarterly = header() + std::vector<row>{{"Timing", "quarterly middle"}, {"Obligations"},
                                                                   {"Disbursements", 10, 20, 30, 40}};
    auto fits = load_rows(quarterly + std::vector<row>{{"(4) Recoveries", 1}, {"(3) Recoveries", 2}});
    ASSERT_FALSE(fits.error) << *fits.error;
    EXPECT_EQ(fits.program->cohorts[0]->rows[1]->disbursement_period, 4);

    struct error_case {
        std::vector<row> rows;
        std::string error;
    };
    const error_case cases[] = {
        {quarterly + std::vector<row>{{"(5) Recoveries", 1}},
         "E020:  A row, starting at A:A7, indicates that it belongs to a disbursement period that does not exist"},
        {quarterly + std::vector<row>{{"(0) Recoveries", 1}},
         "E020:  A row, starting at A:A7, indicates that it belongs to a disbursement period that does not exist"},
        {quarterly + std::vector<row>{{"(99999999999999999999) Recoveries", 1}},
         "E020:  A row, starting at A:A7, indicates that it belongs to a disbursement period that does not exist"},
        {quarterly + std::vector<row>{{"(1) Recoveries", 1}, {"Principal pmts, scheduled", 1}, {"Recoveries", 1}},
         "E019:  Two rows, starting at A:A7 and A:A9, are the same type.  The first is associated with a "
         "disbursement period and the second one is NOT."},
        {quarterly + std::vector<row>{{"Recoveries", 1}, {"(2) Recoveries", 1}},
         "E019:  Two rows, starting at A:A7 and A:A8, are the same type.  The first is NOT associated with a "
         "disbursement period and the second one is."},
    };
    for (const auto& c : cases) {
        auto result = load_rows(c.rows);
        ASSERT_TRUE(result.error) << c.error;
        EXPECT_EQ(*result.error, c.error);
    }

    // One disbursement period: tied rows are not checked.
    auto single = load_rows(header() + direct_cohort() + std::vector<row>{{"(7) Recoveries", 1}, {"Recoveries", 1}});
    EXPECT_FALSE(single.error) << single.error.value_or("");

    // Disbursements from the second quarter: tied rows count one period less.
    auto rebased = load_rows(header() + std::vector<row>{{"Timing", "quarterly middle"}, {"Obligations"},
                                                         {"Disbursements [2000:2]", 10, 20},
                                                         {"(3) Recoveries", 1}, {"(2) Defaults", -1}});
    ASSERT_FALSE(rebased.error) << *rebased.error;
    EXPECT_EQ(rebased.program->cohorts[0]->rows[1]->disbursement_period, 2);
    EXPECT_EQ(rebased.program->cohorts[0]->rows[2]->disbursement_period, 1);
    auto rebased_out = load_rows(header() + std::vector<row>{{"Timing", "quarterly middle"}, {"Obligations"},
                                                             {"Disbursements [2000:2]", 10, 20}, {"(1) Recoveries", 1}});
    ASSERT_TRUE(rebased_out.error);
    EXPECT_EQ(rebased_out.error->substr(0, 4), "E020");

    // Annual totals paid quarterly, starting a year late: the shift is one
    // disbursement period (a year), not four quarters.
    auto annual_totals = load_rows(header() + std::vector<row>{{"Timing", "annual-of-quarterly middle"}, {"Obligations"},
                                                               {"Disbursements [2001]", 10, 20, 30},
                                                               {"(3) Recoveries", 1}});
    ASSERT_FALSE(annual_totals.error) << *annual_totals.error;
    EXPECT_EQ(annual_totals.program->cohorts[0]->rows[1]->disbursement_period, 2);
}

TEST(RangeParser, ReloadingStartsAfresh) {
    auto book = make_book(header() + std::vector<row>{{"Amount", "b"}, {"Zonk"}} + direct_cohort());
    credit_program program(0);
    parse_range(*book, "RANGE", {}, program);
    parse_range(*book, "RANGE", {}, program);
    EXPECT_EQ(program.cohorts.size(), 1u);
    EXPECT_EQ(message_texts(program, 39).size(), 1u);
    EXPECT_EQ(program.amount_units, 4);
}

}  // namespace
}  // namespace fv
