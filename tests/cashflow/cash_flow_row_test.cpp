// Cash-flow rows read from small workbooks: the leftward scan and message 38,
// timing from the program and from the label, leading zeros, the disbursement
// row's conversions, start offsets on the 360-day calendar, and the row
// operations used by the checks.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "cashflow/fiscal_calendar.h"
#include "cashflow/disbursement_conversion.h"
#include "range_fixture.h"

namespace fv {
namespace {

using namespace fv::testing;

// Loads the header, the timing rows and one unnumbered cohort (year 2000)
// and returns the program; the load must succeed.
std::unique_ptr<credit_program> load_cohort(const std::vector<row>& before, const std::vector<row>& rows, int width = 0) {
    auto result = load_rows(header() + before + std::vector<row>{{"Obligations"}} + rows, 0, false, width);
    EXPECT_FALSE(result.error) << result.error.value_or("");
    if (result.error) return nullptr;
    return std::move(result.program);
}

const cash_flow_row& row_at(const credit_program& p, std::size_t index) { return *p.cohorts.front()->rows.at(index); }

TEST(CashFlowRow, ScansLeftForTheLastNonzeroNumberAndReportsBadCells) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    // Header rows 1-3, Obligations 4, Disbursements 5, the row under test 6; range A..H.
    auto p = load_cohort({}, {{"Disbursements", 100},
                              {"Principal pmts, scheduled  ..", 10, "x", cell::error(), nan, 20, 0, "note"}},
                         8);
    ASSERT_TRUE(p);
    const cash_flow_row& principal = row_at(*p, 1);
    EXPECT_EQ(principal.label, "Principal pmts, scheduled");
    EXPECT_EQ(principal.cell, "A:A6");
    EXPECT_EQ(principal.amounts, (std::vector<double>{10, 0, 0, 0, 20}));
    // The note right of the values first (found by the scan), then the bad cells inside, left to right.
    EXPECT_EQ(message_texts(*p, 38),
              (std::vector<std::string>{"Non-numeric or invalid cell value in cell A:H6.  Zero used instead.",
                                        "Non-numeric or invalid cell value in cell A:C6.  Zero used instead.",
                                        "Non-numeric or invalid cell value in cell A:D6.  Zero used instead.",
                                        "Non-numeric or invalid cell value in cell A:E6.  Zero used instead."}));

    // A row without a nonzero number is dropped, but its bad cells are still
    // reported; an infinite amount is such a cell, and the label is never reported.
    auto zeros = load_cohort({}, {{"Disbursements", 100}, {"Defaults", 0, "n/a", inf, 0}});
    ASSERT_TRUE(zeros);
    EXPECT_EQ(zeros->cohorts.front()->rows.size(), 1u);
    EXPECT_EQ(message_texts(*zeros, 38),
              (std::vector<std::string>{"Non-numeric or invalid cell value in cell A:D6.  Zero used instead.",
                                        "Non-numeric or invalid cell value in cell A:C6.  Zero used instead."}));

    // The same zeros-only row before "Disbursements" is dropped without E024.
    auto early = load_cohort({}, {{"Principal pmts, scheduled", 0, 0}, {"Disbursements", 100}});
    ASSERT_TRUE(early);
    EXPECT_EQ(early->cohorts.front()->rows.size(), 1u);
}

TEST(CashFlowRow, LeadingZerosMoveTheStart) {
    auto p = load_cohort({{"Timing", "annual end"}}, {{"Disbursements", 100}, {"Recoveries", 0, 0, 5}});
    ASSERT_TRUE(p);
    const cash_flow_row& recoveries = row_at(*p, 1);
    EXPECT_EQ(recoveries.amounts, (std::vector<double>{5}));
    EXPECT_EQ(recoveries.start_year, 2002);

    // Quarterly: five zero quarters move the start to the second quarter of the next year.
    auto q = load_cohort({{"Timing", "quarterly end"}}, {{"Disbursements", 100}, {"Recoveries", 0, 0, 0, 0, 0, 7}});
    ASSERT_TRUE(q);
    EXPECT_EQ(row_at(*q, 1).start_year, 2001);
    EXPECT_EQ(row_at(*q, 1).start_period, 2);
}

TEST(CashFlowRow, TimingPrecedence) {
    struct timing_case {
        std::vector<row> timing;  // rows before the cohort
        row tested;               // read after an annual disbursement row
        int frequency, annual_total_frequency, point, start_year, start_period;
        bool continuous;
    };
    const timing_case cases[] = {
        // No "Timing" row: continuous; with no unequal factors other rows are annual, middle.
        {{}, {"Principal pmts, scheduled", 1}, 1, 0, 2, 2000, 1, true},
        // Simple: inflow-class lines at the end, the others at the beginning of each year.
        {{{"Timing", "simple"}}, {"Fees and other income", 1}, 1, 0, 3, 2000, 1, false},
        {{{"Timing", "SIMPLE"}}, {"Outflows (non-disbursements)", 1}, 1, 0, 1, 2000, 1, false},
        // Given timing.
        {{{"Timing", "quarterly, end"}}, {"Defaults", -1}, 3, 0, 3, 2000, 1, false},
        {{{"Timing", "annual-of-monthly beginning"}}, {"Defaults", -1}, 0, 1, 1, 2000, 1, false},
        // A later understood value keeps what it does not mention.
        {{{"Timing", "monthly middle"}, {"Timing", "end"}}, {"Defaults", -1}, 4, 0, 3, 2000, 1, false},
        // A failed value still ends continuous timing; the settings stay (annual_total_frequency 2, middle).
        {{{"Timing", "nonsense"}}, {"Defaults", -1}, 0, 2, 2, 2000, 1, false},
        // The label's bracketed specification wins over the program's.
        {{{"Timing", "quarterly, end"}}, {"Principal pmts, scheduled [monthly beginning 2001:4]", 1}, 4, 0, 1, 2001, 4, false},
        {{}, {"Principal pmts, scheduled [semiannual end]", 1}, 2, 0, 3, 2000, 1, true},
        {{}, {"(2) Recoveries [annual, end]", 1}, 1, 0, 3, 2000, 1, true},
    };
    for (const auto& c : cases) {
        auto p = load_cohort(c.timing, {{"Disbursements [annual middle]", 100}, c.tested});
        ASSERT_TRUE(p) << c.tested[0].text;
        const cash_flow_row& r = row_at(*p, 1);
        EXPECT_EQ(r.frequency, c.frequency) << c.tested[0].text;
        EXPECT_EQ(r.annual_total_frequency, c.annual_total_frequency) << c.tested[0].text;
        EXPECT_EQ(r.point, c.point) << c.tested[0].text;
        EXPECT_EQ(r.start_year, c.start_year) << c.tested[0].text;
        EXPECT_EQ(r.start_period, c.start_period) << c.tested[0].text;
        EXPECT_EQ(r.continuous, c.continuous) << c.tested[0].text;
    }

    auto tagged = load_cohort({}, {{"Disbursements", 100}, {"(2) Recoveries [annual, end]", 1}});
    ASSERT_TRUE(tagged);
    EXPECT_TRUE(row_at(*tagged, 1).disbursement_period_flag);
    EXPECT_EQ(row_at(*tagged, 1).disbursement_period, 2);
    EXPECT_TRUE(row_at(*tagged, 0).continuous);
}

TEST(CashFlowRow, ContinuousRowsTakeAnnualTotalsWhenFactorsSplitTheYearUnevenly) {
    const std::vector<row> factors = {{"Q1-INFLOW", 10}, {"Q2-INFLOW", 20}, {"Q3-INFLOW", 30}, {"Q4-INFLOW", 40}};
    auto p = load_cohort(factors, {{"Disbursements", 100}, {"Interest pmts, scheduled", 5}, {"Outflows", 5}});
    ASSERT_TRUE(p);
    EXPECT_EQ(row_at(*p, 1).annual_total_frequency, 2);  // inflow class: unequal inflow factors
    EXPECT_TRUE(row_at(*p, 1).has_annual_totals);
    EXPECT_EQ(row_at(*p, 2).frequency, 1);  // outflow class: no outflow factors

    // A disbursement row not read continuously makes every continuous row annual totals.
    auto mixed = load_cohort({{"Timing", "annual middle"}}, {{"Disbursements", 100}, {"Timing", "cont"}, {"Outflows", 5}});
    ASSERT_TRUE(mixed);
    EXPECT_EQ(row_at(*mixed, 1).annual_total_frequency, 2);
    EXPECT_TRUE(row_at(*mixed, 1).continuous);
}

TEST(CashFlowRow, MonthlyDisbursementsGetAnnualTotals) {
    row monthly{"Disbursements"};
    for (int i = 1; i <= 18; ++i) monthly.push_back(i);
    auto p = load_cohort({{"Timing", "monthly middle"}}, {monthly});
    ASSERT_TRUE(p);
    const cash_flow_row& d = row_at(*p, 0);
    EXPECT_EQ(d.frequency, 4);
    EXPECT_EQ(d.annual_total_frequency, 1);
    EXPECT_FALSE(d.has_annual_totals);
    ASSERT_EQ(d.annual_totals.size(), 2u);
    EXPECT_DOUBLE_EQ(d.annual_totals[0], 78.0);          // 1 + ... + 12
    EXPECT_DOUBLE_EQ(d.annual_totals[1], 13 + 14 + 15 + 16 + 17 + 18);
}

TEST(CashFlowRow, AnnualTotalsBecomePeriodsByTwelfthsHalvesAndQuarterFactors) {
    // First-year outflow factors 10/20/30/40 for the cohort year, no regular
    // outflow factors, three years of totals.
    const std::vector<row> factors = {{"Q1-OUTFLOW-INIT", 10}, {"Q2-OUTFLOW-INIT", 20}, {"Q3-OUTFLOW-INIT", 30},
                                      {"Q4-OUTFLOW-INIT", 40}, {"Timing", "annual-of-quarterly middle"}};
    auto p = load_cohort(factors, {{"Disbursements", 100, 200, 400}});
    ASSERT_TRUE(p);
    const cash_flow_row& d = row_at(*p, 0);
    EXPECT_TRUE(d.has_annual_totals);
    EXPECT_EQ(d.annual_total_frequency, 2);
    EXPECT_EQ(d.frequency, 3);
    const std::vector<double> expected{10, 20, 30, 40, 50, 50, 50, 50, 160, 120, 80, 40};
    ASSERT_EQ(d.amounts.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(d.amounts[i], expected[i], 1e-9) << i;

    // Starting a year after the cohort year, only regular factors apply: equal quarters here.
    auto late = load_cohort(factors, {{"Disbursements [2001]", 100}});
    ASSERT_TRUE(late);
    EXPECT_EQ(row_at(*late, 0).amounts, (std::vector<double>{25, 25, 25, 25}));

    auto twelfths = load_cohort({{"Timing", "annual-of-monthly end"}}, {{"Disbursements", 120, 24}});
    ASSERT_TRUE(twelfths);
    EXPECT_EQ(row_at(*twelfths, 0).frequency, 4);
    EXPECT_EQ(row_at(*twelfths, 0).amounts.size(), 24u);
    EXPECT_DOUBLE_EQ(row_at(*twelfths, 0).amounts[0], 10.0);
    EXPECT_DOUBLE_EQ(row_at(*twelfths, 0).amounts[23], 2.0);

    auto halves = load_cohort({{"Timing", "annual-of-semiannual end"}}, {{"Disbursements", 0, 30}});
    ASSERT_TRUE(halves);
    EXPECT_EQ(row_at(*halves, 0).amounts, (std::vector<double>{15, 15}));
    EXPECT_EQ(row_at(*halves, 0).start_year, 2001);  // the leading zero year dropped
}

TEST(CashFlowRow, QuarterlyConversionUsesRegularFactorsBetweenTheFirstAndLastYear) {
    const std::vector<row> factors = {{"Q1-INFLOW-INIT", 40}, {"Q2-INFLOW-INIT", 30}, {"Q3-INFLOW-INIT", 20},
                                      {"Q4-INFLOW-INIT", 10}, {"Q1-INFLOW", 10},      {"Q2-INFLOW", 10},
                                      {"Q3-INFLOW", 10},      {"Q4-INFLOW", 70}};
    auto p = load_cohort(factors, {{"Disbursements", 100}});
    ASSERT_TRUE(p);
    const auto quarters = quarters_from_annual_totals({100, 100, 100}, line_code::dl_recoveries, 2000, 2000, p.get());
    const std::vector<double> expected{40, 30, 20, 10, 10, 10, 10, 70, 10, 20, 30, 40};
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(quarters[i], expected[i], 1e-9) << i;
    // Before the cohort year, or for a line in neither class, no factors apply.
    EXPECT_EQ(quarters_from_annual_totals({100}, line_code::dl_recoveries, 1999, 2000, p.get()), (std::vector<double>{25, 25, 25, 25}));
    EXPECT_EQ(quarters_from_annual_totals({100}, line_code::lg_disbursements, 2000, 2000, p.get()), (std::vector<double>{25, 25, 25, 25}));
}

// Start offsets worked by hand: dates are year x 360 + day, the offset is in
// half-months, (d - 1) / 15 below 2 days and (d + 1) / 15 otherwise.
TEST(CashFlowRow, StartOffsetsOnThe360DayCalendar) {
    EXPECT_EQ(first_amount_date(1, 2000, 1, 2), 2000 * 360 + 179);
    EXPECT_EQ(first_amount_date(2, 2000, 2, 3), 2000 * 360 + 180 + 179);
    EXPECT_EQ(first_amount_date(3, 2000, 4, 2), 2000 * 360 + 270 + 44);
    EXPECT_EQ(first_amount_date(4, 2000, 13, 1), 2000 * 360);  // a period past the year counts as the first
    EXPECT_EQ(first_amount_date(0, 2000, 3, 3), 2000 * 360);
    EXPECT_EQ(annual_total_date(1, 2000, 1), 2000 * 360 + 164);
    EXPECT_EQ(annual_total_date(2, 2000, 3), 2000 * 360 + 224);
    EXPECT_EQ(annual_total_date(3, 2000, 2), 2000 * 360 + 179);

    // Disbursements annual, middle: day 179 of 2000.
    const struct {
        const char* label;
        int offset;
    } by_days[] = {
        {"Recoveries [annual middle]", 0},             // d = 0: (0 - 1) / 15
        {"Recoveries [quarterly end]", -6},            // d = 89 - 179 = -90: -91 / 15
        {"Recoveries [annual middle 2001]", 24},       // d = 360: 361 / 15
        {"Recoveries [monthly end 2000:7]", 2},        // d = 180 + 29 - 179 = 30: 31 / 15
        {"(2) Recoveries [annual middle]", -24},       // period 2 is a year later: d = -360
        {"Recoveries [annual beginning]", -12},        // d = -179: -180 / 15
        {"Recoveries [annual end]", 12},               // d = 180: 181 / 15
        {"Recoveries [monthly beginning 2000:7]", 0},  // d = 1: (1 - 1) / 15
    };
    for (const auto& c : by_days) {
        auto p = load_cohort({}, {{"Disbursements [annual middle]", 100}, {c.label, 1}});
        ASSERT_TRUE(p) << c.label;
        EXPECT_EQ(row_at(*p, 1).start_offset, c.offset) << c.label;
    }
    EXPECT_EQ(half_months_from_days(0), 0);
    EXPECT_EQ(half_months_from_days(1), 0);
    EXPECT_EQ(half_months_from_days(2), 0);
    EXPECT_EQ(half_months_from_days(14), 1);
    EXPECT_EQ(half_months_from_days(30), 2);
    EXPECT_EQ(half_months_from_days(-90), -6);
    EXPECT_EQ(half_months_from_days(-179), -12);
    EXPECT_EQ(half_months_from_days(360), 24);
    EXPECT_EQ(half_months_from_days(-360), -24);

    // Rows of annual totals like the disbursements' are dated as annual totals.
    auto same = load_cohort({{"Timing", "annual-of-quarterly end"}}, {{"Disbursements", 100, 50}, {"Defaults", -1, -2}});
    ASSERT_TRUE(same);
    EXPECT_TRUE(row_at(*same, 1).same_as_disbursement);
    EXPECT_EQ(row_at(*same, 1).start_offset, 0);

    // A huge disbursement-period tag neither overflows nor wraps.
    auto huge = load_cohort({}, {{"Disbursements", 100}, {"(99999999999999999999) Recoveries", 1}});
    ASSERT_TRUE(huge);
    EXPECT_EQ(row_at(*huge, 1).disbursement_period, INT_MAX);
    EXPECT_LT(row_at(*huge, 1).start_offset, 0);
}

TEST(CashFlowRow, SignChecks) {
    auto p = load_cohort({{"Timing", "annual end"}}, {{"Disbursements", 100, 50},
                                                      {"Principal pmts, scheduled", 80, -5, 75},
                                                      {"Defaults", -1, 2},
                                                      {"Losses (non-default)", -3},
                                                      {"Prepayments, net", 4, -4}});
    ASSERT_TRUE(p);
    cohort& cohort = *p->cohorts.front();
    for (auto& r : cohort.rows) r->check_signs(p->messages());
    EXPECT_DOUBLE_EQ(cohort.total_disbursements, 150.0);
    EXPECT_DOUBLE_EQ(cohort.total_principal, 150.0);  // every amount counts, also after a change of sign
    EXPECT_EQ(cohort.rows[0]->signs, amount_signs::all_positive);
    EXPECT_EQ(cohort.rows[1]->signs, amount_signs::mixed);
    EXPECT_EQ(cohort.rows[2]->signs, amount_signs::mixed);
    EXPECT_EQ(cohort.rows[3]->signs, amount_signs::all_negative);
    EXPECT_EQ(cohort.rows[4]->signs, amount_signs::mixed);
    EXPECT_EQ(message_texts(*p, 34),
              (std::vector<std::string>{"On the Principal pmts, scheduled line beginning in A:A7, some values are negative.",
                                        "    All Principal pmts, scheduled values should be zero or positive amounts."}));
    EXPECT_EQ(message_texts(*p, 35),
              (std::vector<std::string>{"On the Defaults line beginning in A:A8, some values are positive.",
                                        "    All Defaults values should be zero or negative amounts."}));

    auto g = load_rows(header("guaranteed") + std::vector<row>{{"Commitments"}, {"Disbursements", 10},
                                                               {"Lost fees", 1}, {"Premiums", -1}});
    ASSERT_FALSE(g.error) << *g.error;
    for (auto& r : g.program->cohorts.front()->rows) r->check_signs(g.program->messages());
    EXPECT_EQ(message_texts(*g.program, 35).size(), 2u);
    EXPECT_EQ(message_texts(*g.program, 34).size(), 2u);
    EXPECT_DOUBLE_EQ(g.program->cohorts.front()->total_disbursements, 0.0);  // only direct-loan disbursements count
}

TEST(CashFlowRow, TrimmingYearlySumsAndTimeMeasures) {
    auto p = load_cohort({{"Timing", "quarterly end"}},
                         {{"Disbursements", 100}, {"Recoveries [1999:3]", 1, 2, 3, 4, 5, 6, 0, 0}, {"Defaults", 0, 0}});
    ASSERT_TRUE(p);
    cash_flow_row& r = *p->cohorts.front()->rows[1];
    // The scan already ignores trailing zeros in the sheet; zeros made later are trimmed.
    EXPECT_EQ(r.amounts.size(), 6u);
    r.amounts.push_back(0.0);
    r.amounts.push_back(0.0);
    r.trim_trailing_zeros();
    EXPECT_EQ(r.amounts.size(), 6u);
    std::vector<double> one_zero{0.0};
    r.amounts = {0.0, 0.0};
    r.trim_trailing_zeros();
    EXPECT_EQ(r.amounts, one_zero);  // never below one amount

    // Yearly sums count four amounts a year from the start year; 1999 is before the cohort.
    r.amounts = {1, 2, 3, 4, 5, 6};
    std::vector<double> sums(3, 0.0);
    r.add_to_fiscal_year_sums(sums);
    EXPECT_EQ(sums, (std::vector<double>{5 + 6, 0, 0}));

    // Quarterly amounts are 6 half-months apart.
    r.start_offset = -10;
    r.amounts = {1, -3};
    const auto weight = r.weighted_time();
    EXPECT_DOUBLE_EQ(weight.sum, 4.0);
    EXPECT_DOUBLE_EQ(weight.mean, (-10 * 1 + -4 * 3) / 4.0);
    EXPECT_DOUBLE_EQ(r.last_time(), -4.0);
    r.amounts.clear();
    EXPECT_DOUBLE_EQ(r.weighted_time().mean, 0.0);
}

TEST(CashFlowRow, ReadWithoutAProgramOrWithoutDisbursements) {
    auto book = make_book({{"Name"}, {"Principal pmts, scheduled", 1}, {"Disbursements", 5}});
    book->select_range("RANGE");
    book->cursor_down(1);
    cohort orphan(nullptr, 2000, 1);
    cash_flow_row principal(&orphan);
    try {
        principal.read(*book, line_code::dl_principal);
        ADD_FAILURE();
    } catch (const text_error& failure) {
        EXPECT_EQ(failure.text(),
                  "E024:  the line with \"Disbursements\" was missing.\nIt must precede most other cash flows (see help)");
    }
    book->cursor_left(65536);
    book->cursor_down(1);
    cash_flow_row disbursements(&orphan);
    disbursements.read(*book, line_code::dl_disbursements);
    EXPECT_EQ(disbursements.amounts, (std::vector<double>{5}));
    EXPECT_EQ(disbursements.frequency, 1);  // the default timing: continuous
    auto copied = disbursements.copy(false);
    EXPECT_TRUE(copied->amounts.empty());
    EXPECT_EQ(copied->cell, "A:A3");
    EXPECT_EQ(disbursements.copy(true)->annual_totals, (std::vector<double>{5}));
}

}  // namespace
}  // namespace fv
