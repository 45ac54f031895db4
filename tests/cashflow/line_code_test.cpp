// The line-type codes: their display names, the line classes used by timing
// and quarter factors, and the names of the small enumerations.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "cashflow/line_code.h"
#include "cashflow/value_names.h"

namespace fv {
namespace {

TEST(LineCode, EveryCodeHasItsDisplayName) {
    const char* const expected[] = {
        "Nothing to recode", "Account type", "Amounts", "Impossible value of enum", "Comparable maturity",
        "Compute single effective rate", "CSV output file name", "Deflators", "Program description", "Discount rates",
        "Last row to consider", "Estimate type", "Construction/Multiple like-loan", "Choose / Force pro-rata method",
        "Program name", "Output file name", "Outlays from prior BA", "Program type", "Program purpose",
        "Inflow factors (Oct-Dec quarter)", "1st yr In factors (Oct-Dec qtr)", "Outfl. factors (Oct-Dec quarter)",
        "1st yr Out factors (Oct-Dec qtr)", "Inflow factors (Jan-Mar quarter)", "1st yr In factors (Jan-Mar qtr)",
        "Outfl. factors (Jan-Mar quarter)", "1st yr Out factors (Jan-Mar qtr)", "Inflow factors (Apr-Jun quarter)",
        "1st yr In factors (Apr-Jun qtr)", "Outfl. factors (Apr-Jun quarter)", "1st yr Out factors (Apr-Jun qtr)",
        "Inflow factors (Jul-Sep quarter)", "1st yr In factors (Jul-Sep qtr)", "Outfl. factors (Jul-Sep quarter)",
        "1st yr Out factors (Jul-Sep qtr)", "Interest rate assumptions", "Ditto previous year data",
        "Skip a year (make it all zeroes)", "Timing of inflows or outflows", "Suppress warning messages",
        "Spreadsheet output file", "Calculate BA and loan levels", "Calculate with full precision", "Budget year",
        "Enacted Budget Authority", "Obligations", "Disbursements", "Inflows (other)", "Outflows (non-disbursements)",
        "Principal pmts, scheduled", "Interest pmts, scheduled", "Fees and other income", "Defaults",
        "Losses (non-default)", "Recoveries", "Prepayments, net", "Commitments", "Disbursements", "Pct. guaranteed",
        "Upfront fees", "Annual fees", "Premiums", "Inflows (other)", "Default payments", "Recoveries on defaults",
        "Interest subsidy pmts", "Outflows (other)", "Lost fees", "Saved interest", "Misc. recoveries",
        "Unknown line type", "CR_SPEC_MAX"};
    static_assert(sizeof expected / sizeof expected[0] == code_number(line_code::end_marker) + 1);
    for (int code = 0; code <= code_number(line_code::end_marker); ++code)
        EXPECT_STREQ(line_code_name(static_cast<line_code>(code)), expected[code]) << code;
    for (int code : {-1, 72, 1000, -2147483647 - 1}) EXPECT_STREQ(line_code_name(static_cast<line_code>(code)), "Impossible value of enum") << code;
}

TEST(LineCode, CodesKeepTheirStoredNumbers) {
    EXPECT_EQ(code_number(line_code::cohort), 3);
    EXPECT_EQ(code_number(line_code::q1_inflow), 19);
    EXPECT_EQ(code_number(line_code::q4_outflow_init), 34);
    EXPECT_EQ(code_number(line_code::timing), 38);
    EXPECT_EQ(code_number(line_code::dl_obligations), 45);
    EXPECT_EQ(code_number(line_code::dl_disbursements), 46);
    EXPECT_EQ(code_number(line_code::lg_commitments), 56);
    EXPECT_EQ(code_number(line_code::lg_disbursements), 57);
    EXPECT_EQ(code_number(line_code::lg_misc_recoveries), 69);
    EXPECT_EQ(code_number(line_code::unknown), 70);
    EXPECT_EQ(code_number(line_code::end_marker), 71);
}

TEST(LineCode, LineClassesSplitTheCashFlowLines) {
    // By stored number, so that every number in and around the range is tried.
    const auto as_code = [](int number) { return static_cast<line_code>(number); };
    const std::set<int> inflow = {47, 49, 50, 51, 52, 53, 54, 55, 59, 60, 61, 62};
    const std::set<int> outflow = {46, 48, 63, 64, 65, 66, 67, 68, 69};
    std::set<int> cash_flow;
    for (int code = 46; code <= 55; ++code) cash_flow.insert(code);
    cash_flow.insert(57);
    for (int code = 59; code <= 69; ++code) cash_flow.insert(code);
    for (int code = -5; code <= 80; ++code) {
        EXPECT_EQ(in_inflow_class(as_code(code)), inflow.count(code) == 1) << code;
        EXPECT_EQ(in_outflow_class(as_code(code)), outflow.count(code) == 1) << code;
        EXPECT_EQ(is_cash_flow_line(as_code(code)), cash_flow.count(code) == 1) << code;
        EXPECT_EQ(is_disbursement_line(as_code(code)), code == 46 || code == 57) << code;
        EXPECT_EQ(is_quarter_factor_line(as_code(code)), code >= 19 && code <= 34) << code;
    }
    // The guarantee disbursement line is in neither class; every other
    // cash-flow line is in exactly one.
    EXPECT_FALSE(in_inflow_class(as_code(57)) || in_outflow_class(as_code(57)));
    for (int code : cash_flow) {
        if (code != 57) {
            EXPECT_NE(in_inflow_class(as_code(code)), in_outflow_class(as_code(code))) << code;
        }
    }
}

TEST(ValueNames, NamesAndTheirFallbacks) {
    EXPECT_STREQ(program_type_name(0), "unknown");
    EXPECT_STREQ(program_type_name(1), "direct loan");
    EXPECT_STREQ(program_type_name(2), "loan guarantee");
    EXPECT_STREQ(program_type_name(3), "unknown");

    EXPECT_STREQ(frequency_name(0), "unknown frequency");
    EXPECT_STREQ(frequency_name(1), "annual");
    EXPECT_STREQ(frequency_name(2), "semiannual");
    EXPECT_STREQ(frequency_name(3), "quarter");
    EXPECT_STREQ(frequency_name(4), "monthly");
    EXPECT_STREQ(frequency_name(5), "unknown frequency");
    EXPECT_EQ(frequency_periods(1), 1);
    EXPECT_EQ(frequency_periods(2), 2);
    EXPECT_EQ(frequency_periods(3), 4);
    EXPECT_EQ(frequency_periods(4), 12);
    EXPECT_EQ(frequency_periods(0), 0);
    EXPECT_EQ(frequency_periods(-1), 0);

    EXPECT_STREQ(annual_total_frequency_name(0), "unknown compatibility frequency");
    EXPECT_STREQ(annual_total_frequency_name(1), "annual total (monthly pmts)");
    EXPECT_STREQ(annual_total_frequency_name(2), "annual total (qtr pmts)");
    EXPECT_STREQ(annual_total_frequency_name(3), "annual total (semi pmts)");
    EXPECT_STREQ(annual_total_frequency_name(4), "unknown compatibility frequency");

    EXPECT_STREQ(timing_point_name(0), "unknown point");
    EXPECT_STREQ(timing_point_name(1), "beginning");
    EXPECT_STREQ(timing_point_name(2), "middle");
    EXPECT_STREQ(timing_point_name(3), "end");
    EXPECT_STREQ(timing_point_name(4), "unknown point");

    EXPECT_STREQ(amount_unit_name(1), "dollars");
    EXPECT_STREQ(amount_unit_name(2), "thousands");
    EXPECT_STREQ(amount_unit_name(3), "millions");
    EXPECT_STREQ(amount_unit_name(4), "billions");
    EXPECT_STREQ(amount_unit_name(0), "unknown units");
}

TEST(ValueNames, AmountUnitsByFirstLetter) {
    const struct {
        const char* text;
        int units;
    } cases[] = {{"Dollars", 1}, {"thousands", 2}, {"  MILLIONS", 3}, {"b", 4}, {"\tTh", 2},
                 {"", 0},        {"   ", 0},        {"Euros", 0},       {"1000", 0}};
    for (const auto& c : cases) EXPECT_EQ(amount_units_from_text(c.text), c.units) << c.text;
}

}  // namespace
}  // namespace fv
