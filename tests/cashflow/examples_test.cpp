// The example programs in examples/: every file (WK1, WK3 and the XLS written by gnumeric) holds
// the cells of its readable source, loads into the cohorts and warnings the example is meant to
// show, and calculates with the rate set it names from the shipped rate file. The three formats
// of one example must give the same program and the same subsidies.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "cashflow/credit_program.h"
#include "cashflow/range_fixture.h"
#include "rates/rate_collection.h"
#include "subsidy/cohort_single_effective_rate.h"
#include "subsidy/cohort_subsidy.h"
#include "subsidy/consistency_checks.h"
#include "subsidy/input_editing.h"
#include "util/text_error.h"
#include "workbook/workbook_file.h"

namespace fv {
namespace {

using fv::testing::all_messages;
using fv::testing::dump_messages;
using message_list = std::vector<std::pair<unsigned, std::string>>;

const std::string examples_dir = std::string(FV_SOURCE_DIR) + "/examples/";
const char* const formats[] = {"wk1", "wk3", "xls"};

// What each example is meant to show.
struct example_case {
    const char* name;
    const char* range;
    int program_type;
    int budget_year;
    std::vector<int> cohort_years;
    fv::rate_source source;
    const char* rate_title;
    message_list load_messages;  // exactly these, in this order, after loading
    message_list calc_messages;  // added by editing and calculating
};

std::ostream& operator<<(std::ostream& out, const example_case& c) { return out << c.name; }

const example_case cases[] = {
    {"direct_loan", "WATER_LOANS", 1, 2001, {2001, 2002, 2003}, rate_source::budget, "Budget 2001", {}, {}},
    {"loan_guarantee", "WORKING_CAPITAL", 2, 2002, {2002, 2003}, rate_source::budget, "Budget 2002", {}, {}},
    {"disbursement_periods", "HOUSING_REHAB", 1, 2001, {2001, 2002}, rate_source::budget, "Budget 2001", {}, {}},
    // Suppressed by the range: 36 (principal 4450 against disbursements 4500 in 2003) and 38
    // (the text "n/a" among the 2003 defaults).
    {"warnings",
     "FARM_EQUIPMENT",
     1,
     2003,
     {2003, 2004},
     rate_source::actual,
     "FY 2002",
     {{32, "A duplicate \"Amount\" in cell A:B8 was ignored"}, {39, "Cell A:B12:  unrecognized keyword ( Contact )"}},
     {{34, "On the Recoveries line beginning in A:B22, some values are negative."},
      {34, "    All Recoveries values should be zero or positive amounts."}}},
};

// --- the readable source: one row per line, tab-separated cells ---

using source_cell = std::variant<std::monostate, double, std::string>;

struct source_sheet {
    std::string range;
    int top = 0, left = 0;
    std::vector<std::vector<source_cell>> rows;
};

source_cell parse_cell(const std::string& text) {
    if (text.empty()) return std::monostate{};
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
    const bool numeric_start = std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-' ||
                               text[0] == '+' || text[0] == '.';
    if (numeric_start) {
        char* end = nullptr;
        const double value = std::strtod(text.c_str(), &end);
        if (end == text.c_str() + text.size()) return value;
    }
    return text;
}

source_sheet read_source(const std::string& name) {
    source_sheet sheet;
    std::ifstream in(examples_dir + "source/" + name + ".txt");
    EXPECT_TRUE(in) << "no source for " << name;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '#') continue;
        std::vector<std::string> fields;
        std::stringstream split(line);
        for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
        if (!line.empty() && line[0] == '@') {
            EXPECT_EQ(fields.size(), 2u) << line;
            if (fields[0] == "@range") sheet.range = fields.at(1);
            if (fields[0] == "@origin") {
                const std::string& cell = fields.at(1);
                std::size_t at = 0;
                int column = 0;
                while (at < cell.size() && std::isalpha(static_cast<unsigned char>(cell[at])))
                    column = column * 26 + (std::toupper(static_cast<unsigned char>(cell[at++])) - 'A' + 1);
                sheet.left = column - 1;
                sheet.top = std::atoi(cell.c_str() + at) - 1;
            }
            continue;
        }
        std::vector<source_cell> row;
        for (const std::string& field : fields) row.push_back(parse_cell(field));
        while (!row.empty() && std::holds_alternative<std::monostate>(row.back())) row.pop_back();
        sheet.rows.push_back(std::move(row));
    }
    return sheet;
}

std::string describe(const source_cell& cell) {
    if (std::holds_alternative<double>(cell)) return "number " + std::to_string(std::get<double>(cell));
    if (std::holds_alternative<std::string>(cell)) return "text '" + std::get<std::string>(cell) + "'";
    return "blank";
}

// --- loading and calculating ---

struct loaded_example {
    std::unique_ptr<credit_program> program = std::make_unique<credit_program>(std::time_t{0});
    std::optional<std::string> error;
};

loaded_example load_example(const example_case& c, const std::string& format) {
    loaded_example out;
    workbook_file book(examples_dir + c.name + "." + format);
    try {
        book.load();
        parse_range(book, c.range, {}, *out.program);
    } catch (const text_error& failure) {
        out.error = failure.text();
    }
    return out;
}

const rate_collection& shipped_rates() {
    static const rate_collection rates = [] {
        rate_collection loaded;
        loaded.load_rate_file(std::string(FV_SOURCE_DIR) + "/data/rates.txt", true);
        return loaded;
    }();
    return rates;
}

// Edits the input and calculates every cohort as a calculation run does: the single effective rate
// (when the range asks for it) from the rate set's own curve, then the subsidy, then the
// present-value test.
void calculate(credit_program& program, const rate_set& rate_set) {
    edit_input(program);
    present_value_factors factors;
    if (program.single_effective_rate == true) {
        for (auto& cohort : program.cohorts) {
            factors.set(&rate_set);
            factors.make();
            compute_subsidy(*cohort, factors);
            compute_single_effective_rate(*cohort, factors, rate_set, program.messages());
        }
    }
    factors.set(&rate_set);
    factors.make();
    for (auto& cohort : program.cohorts) compute_subsidy(*cohort, factors);
    program.messages().remove_range(37, 37);
    for (auto& cohort : program.cohorts) present_value_test(*cohort, cohort->results, program.messages());
}

class Examples : public ::testing::TestWithParam<example_case> {
protected:
    void SetUp() override {
        for (const char* format : formats) {
            const std::string path = examples_dir + GetParam().name + "." + format;
            if (!std::ifstream(path)) GTEST_SKIP() << path << " missing: run tools/make_examples.py";
        }
    }
};

TEST_P(Examples, EveryFormatHoldsTheSourceCells) {
    const example_case& c = GetParam();
    const source_sheet sheet = read_source(c.name);
    ASSERT_EQ(sheet.range, c.range);
    std::size_t width = 2;
    for (const auto& row : sheet.rows) width = std::max(width, row.size());
    const std::size_t height = std::max<std::size_t>(sheet.rows.size(), 6);

    for (const char* format : formats) {
        SCOPED_TRACE(format);
        workbook_file book(examples_dir + c.name + "." + format);
        ASSERT_NO_THROW(book.load());
        EXPECT_EQ(book.candidate_ranges(), std::vector<std::string>{c.range});
        range_bounds bounds;
        ASSERT_TRUE(book.find_range(c.range, bounds));
        EXPECT_EQ(bounds.row1, sheet.top + 1);
        EXPECT_EQ(bounds.column1, sheet.left + 1);
        EXPECT_EQ(bounds.row2, sheet.top + static_cast<int>(height));
        EXPECT_EQ(bounds.column2, sheet.left + static_cast<int>(width));

        ASSERT_TRUE(book.select_range(c.range));
        for (std::size_t r = 0; r < height; ++r) {
            book.cursor_left(static_cast<unsigned>(width));
            for (std::size_t col = 0; col < width; ++col) {
                const std::vector<source_cell>* row = r < sheet.rows.size() ? &sheet.rows[r] : nullptr;
                const source_cell expected = row && col < row->size() ? (*row)[col] : source_cell{};
                source_cell read;
                double number = 0;
                std::string text;
                const int type = book.cursor_cell_kind();
                if (type == 1 && book.read_cursor_cell(number) == 0) read = number;
                else if (type == 2 && book.read_cursor_cell(text) == 0) read = text;
                else EXPECT_EQ(type, 0) << book.cursor_address_text() << ": a cell of another kind";
                EXPECT_EQ(read, expected) << book.cursor_address_text() << ": read " << describe(read) << ", source "
                                          << describe(expected);
                book.cursor_right(1);
            }
            book.cursor_down(1);
        }
    }
}

TEST_P(Examples, LoadsTheIntendedCohortsAndWarnings) {
    const example_case& c = GetParam();
    for (const char* format : formats) {
        SCOPED_TRACE(format);
        loaded_example loaded = load_example(c, format);
        ASSERT_FALSE(loaded.error) << *loaded.error;
        const credit_program& program = *loaded.program;
        EXPECT_EQ(program.program_type, c.program_type);
        EXPECT_EQ(program.budget_year, c.budget_year);
        EXPECT_EQ(program.rate_assumption, c.source);
        std::vector<int> years;
        for (const auto& cohort : program.cohorts) years.push_back(cohort->year);
        EXPECT_EQ(years, c.cohort_years);
        EXPECT_EQ(all_messages(program), c.load_messages) << dump_messages(program);
    }
}

TEST_P(Examples, CalculatesWithItsRateSetAlikeInEveryFormat) {
    const example_case& c = GetParam();
    const rate_set* rate_set = shipped_rates().find_by_prefix(c.source, c.rate_title);
    ASSERT_NE(rate_set, nullptr) << c.rate_title;

    std::optional<std::vector<cohort_results>> first;
    for (const char* format : formats) {
        SCOPED_TRACE(format);
        loaded_example loaded = load_example(c, format);
        ASSERT_FALSE(loaded.error) << *loaded.error;
        credit_program& program = *loaded.program;
        EXPECT_EQ(program.rate_title, c.rate_title);
        ASSERT_NO_THROW(calculate(program, *rate_set)) << dump_messages(program);

        message_list expected = c.load_messages;
        expected.insert(expected.end(), c.calc_messages.begin(), c.calc_messages.end());
        EXPECT_EQ(all_messages(program), expected) << dump_messages(program);

        std::vector<cohort_results> results;
        for (const auto& cohort : program.cohorts) {
            const cohort_results& res = cohort->results;
            SCOPED_TRACE(cohort->year);
            EXPECT_TRUE(res.subsidy_computed);
            EXPECT_TRUE(std::isfinite(res.subsidy_amount));
            EXPECT_TRUE(std::isfinite(res.subsidy_percentage));
            // A sensible program: a subsidy between -100 and 100 percent of what was disbursed, and
            // the components adding up to it.
            EXPECT_GT(res.subsidy_percentage, -100.0);
            EXPECT_LT(res.subsidy_percentage, 100.0);
            EXPECT_NEAR(res.financing_percentage + res.default_percentage + res.fee_percentage + res.other_percentage,
                        res.subsidy_percentage, 1e-9);
            if (program.single_effective_rate == true) {
                EXPECT_TRUE(std::isfinite(res.single_effective_rate));
                EXPECT_GT(res.single_effective_rate, 0.0);
                EXPECT_LT(res.single_effective_rate, 15.0);
            }
            results.push_back(res);
        }
        if (!first) {
            first = results;
            continue;
        }
        ASSERT_EQ(results.size(), first->size());
        for (std::size_t i = 0; i < results.size(); ++i) {
            EXPECT_EQ(results[i].subsidy_percentage, (*first)[i].subsidy_percentage);
            EXPECT_EQ(results[i].single_effective_rate, (*first)[i].single_effective_rate);
        }
    }
}

// Loads an example in every format and edits its input, for the checks of one example's shape.
template <typename Check>
void for_each_format(const char* name, Check check) {
    for (const example_case& c : cases) {
        if (std::string(c.name) != name) continue;
        for (const char* format : formats) {
            SCOPED_TRACE(format);
            loaded_example loaded = load_example(c, format);
            if (loaded.error && !std::ifstream(examples_dir + name + "." + format))
                GTEST_SKIP() << name << "." << format << " missing: run tools/make_examples.py";
            ASSERT_FALSE(loaded.error) << *loaded.error;
            edit_input(*loaded.program);
            check(*loaded.program);
        }
    }
}

void expect_amounts(const std::vector<double>& amounts, const std::vector<double>& expected) {
    ASSERT_EQ(amounts.size(), expected.size());
    for (std::size_t i = 0; i < amounts.size(); ++i) EXPECT_NEAR(amounts[i], expected[i], 1e-9) << "amount " << i;
}

TEST(ExampleShapes, DirectLoanCohortsIgnoreTheirObligationsRows) {
    for_each_format("direct_loan", [](const credit_program& program) {
        EXPECT_EQ(program.single_effective_rate, true);
        for (const auto& cohort : program.cohorts) {
            // Disbursements, principal, interest, fees, defaults, recoveries: the Obligations
            // row of a cohort started by a "Cohort" line is no row of its own.
            ASSERT_EQ(cohort->rows.size(), 6u);
            ASSERT_NE(cohort->disbursement_row, nullptr);
            EXPECT_EQ(cohort->disbursement_row->amounts.size(), 3u);
            EXPECT_EQ(cohort->disbursement_row->point, 1);  // simple timing: outflows at the start of the year
            EXPECT_EQ(cohort->rows[1]->point, 3);           // and inflows at its end
        }
    });
}

TEST(ExampleShapes, GuaranteeSpreadsAnnualTotalsByItsQuarterFactors) {
    for_each_format("loan_guarantee", [](const credit_program& program) {
        std::array<double, 4> q{};
        ASSERT_TRUE(program.quarter_factor(factor_kind::inflow, 2003, q));
        expect_amounts({q.begin(), q.end()}, {0.22, 0.24, 0.26, 0.28});
        ASSERT_TRUE(program.quarter_factor(factor_kind::outflow, 2002, q));
        expect_amounts({q.begin(), q.end()}, {0.15, 0.25, 0.30, 0.30});

        const cohort& cohort = *program.cohorts.front();
        ASSERT_EQ(cohort.rows.size(), 5u);
        EXPECT_EQ(cohort.disbursement_row->frequency, 3);
        expect_amounts(cohort.disbursement_row->annual_totals, {240, 160});
        // Upfront fees are 2 percent of each quarter's disbursements: rev-spendout gives each
        // quarter's fee to that quarter's loans.
        const cash_flow_row& upfront = *cohort.rows[1];
        EXPECT_EQ(upfront.distribution_method, 4);
        ASSERT_EQ(upfront.parts.size(), 8u);
        expect_amounts(upfront.parts[2]->amounts, {1.4});
        // Annual fees and default claims are annual totals paid by quarter: the first year's
        // total of 2.4 falls 20/25/25/30 percent in the quarters, the first year of claims (4.0)
        // 15/25/30/30.
        const cash_flow_row& fees = *cohort.rows[2];
        EXPECT_EQ(fees.line, line_code::lg_annual_fees);
        EXPECT_EQ(fees.annual_total_frequency, 2);
        ASSERT_GE(fees.amounts.size(), 4u);
        expect_amounts({fees.amounts.begin(), fees.amounts.begin() + 4}, {0.48, 0.60, 0.60, 0.72});
        const cash_flow_row& claims = *cohort.rows[3];
        EXPECT_EQ(claims.line, line_code::lg_default_payments);
        EXPECT_EQ(claims.start_year, 2003);  // the leading zero year dropped
        ASSERT_GE(claims.amounts.size(), 4u);
        expect_amounts({claims.amounts.begin(), claims.amounts.begin() + 4}, {0.6, 1.0, 1.2, 1.2});
    });
}

TEST(ExampleShapes, DisbursementPeriodRowsAndRevSpendout) {
    for_each_format("disbursement_periods", [](const credit_program& program) {
        EXPECT_EQ(program.method, pro_rata_method::choose);
        const cohort& cohort = *program.cohorts.front();
        ASSERT_EQ(cohort.rows.size(), 7u);
        // The principal rows belong to their disbursement period and are not split; the second
        // one's first payment falls a year after its own loans are made, as does the first one's.
        for (int k = 1; k <= 2; ++k) {
            const cash_flow_row& principal = *cohort.rows[static_cast<std::size_t>(k)];
            EXPECT_EQ(principal.disbursement_period, k);
            EXPECT_EQ(principal.distribution_method, 2);
            EXPECT_EQ(principal.start_year, 2000 + k);
            EXPECT_EQ(principal.start_offset, 24);
            EXPECT_TRUE(principal.parts.empty());
        }
        // Interest is 4000 and 2000 times one pattern per dollar: rev-spendout recovers it.
        const cash_flow_row& interest = *cohort.rows[3];
        EXPECT_EQ(interest.distribution_method, 4);
        ASSERT_EQ(interest.parts.size(), 2u);
        expect_amounts(interest.parts[0]->amounts, {240, 228, 208, 184, 160, 132, 100, 68, 32});
        expect_amounts(interest.parts[1]->amounts, {120, 114, 104, 92, 80, 66, 50, 34, 16});
        EXPECT_EQ(interest.parts[1]->start_year, 2002);
        // Defaults follow no such pattern and are split pro rata.
        EXPECT_EQ(cohort.rows[5]->line, line_code::dl_defaults);
        EXPECT_EQ(cohort.rows[5]->distribution_method, 3);
    });
}

TEST(ExampleShapes, WarningsExampleHidesWhatItSuppresses) {
    for_each_format("warnings", [](const credit_program& program) {
        const cohort& cohort = *program.cohorts.front();
        // The conditions of the suppressed warnings are there: principal short of the
        // disbursements by more than half a percent, and the text cell read as 0.
        EXPECT_EQ(cohort.total_disbursements, 4500);
        EXPECT_EQ(cohort.total_principal, 4450);
        const cash_flow_row& defaults = *cohort.rows[4];
        EXPECT_EQ(defaults.line, line_code::dl_defaults);
        expect_amounts(defaults.amounts, {-10, 0, -30, -25, -15, -5});
        for (const auto& [number, text] : all_messages(program)) {
            EXPECT_NE(number, 36u) << text;
            EXPECT_NE(number, 38u) << text;
        }
        EXPECT_EQ(program.amount_units, 2);  // the first "Amount" holds
    });
}

INSTANTIATE_TEST_SUITE_P(AllExamples, Examples, ::testing::ValuesIn(cases),
                         [](const ::testing::TestParamInfo<example_case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace fv
