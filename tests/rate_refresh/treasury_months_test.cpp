// Monthly yields from the two kinds of table: the daily par yields averaged
// by month (checked against a month worked out by hand and against the
// published monthly table), the edges of a daily file, damaged files, and
// the merge of several sources.
#include <gtest/gtest.h>

#include <fstream>

#include "rate_refresh/treasury_months.h"
#include "util/text_error.h"

namespace {

using fv::maturity_rates;

// Newest day first, the Treasury's own date form and quoted headings, extra
// maturities and empty cells. Only March is whole: the file starts on the
// last day of February and ends early in April.
const std::string daily_sample =
    "Date,\"1 Mo\",\"3 Mo\",\"6 Mo\",\"1 Yr\",\"2 Yr\",\"3 Yr\",\"5 Yr\",\"7 Yr\",\"10 Yr\",\"20 Yr\",\"30 Yr\"\r\n"
    "04/08/2025,4.36,4.32,4.22,4.01,3.80,3.80,3.90,4.10,4.30,4.70,4.70\r\n"
    "03/31/2025,,4.35,4.26,,4.00,3.85,4.01,4.30,4.30,4.80,4.61\r\n"
    "03/14/2025,4.35,4.33,4.20,4.10,3.95,3.85,4.02,4.20,4.27,,\r\n"
    "3/3/2025,4.34,4.30,4.20,4.00,3.90,3.85,4.00,4.10,4.25,4.60,4.50\r\n"
    "02/28/2025,4.33,4.30,4.20,4.00,3.90,3.85,4.00,4.10,4.25,4.60,4.50\r\n";

// March 2025 by hand, each maturity over the days that hold it: 3 Mo
// (4.30 + 4.33 + 4.35) / 3 = 4.3267; 1 Yr (4.00 + 4.10) / 2 = 4.05 (empty on
// the 31st); 10 Yr 12.82 / 3 = 4.2733; 30 Yr (4.50 + 4.61) / 2 = 4.555, a
// half cent that rounds to the even 4.56.
const maturity_rates march_by_hand = {4.33, 4.22, 4.05, 3.95, 3.85, 4.01, 4.20, 4.27, 4.56};

fv::month_source daily(const std::string& text) {
    return fv::daily_table_months("daily.csv", fv::parse_csv_rows("daily.csv", text));
}

std::string error_of(const std::string& text) {
    try {
        const std::vector<fv::csv_row> rows = fv::parse_csv_rows("t.csv", text);
        if (fv::kind_of_table("t.csv", rows) == fv::yield_table_kind::daily) fv::daily_table_months("t.csv", rows);
        else fv::monthly_table_months("t.csv", rows);
    } catch (const fv::text_error& e) {
        return e.text();
    }
    return "(no error)";
}

TEST(DailyYields, AMonthIsTheRoundedAverageOfTheDaysThatHoldEachMaturity) {
    const fv::month_source source = daily(daily_sample);
    ASSERT_EQ(source.months.size(), 1u);
    ASSERT_EQ(source.months.begin()->first, fv::month_key(2025, 3));
    const maturity_rates& march = source.months.begin()->second;
    for (std::size_t j = 0; j < march.size(); ++j) EXPECT_DOUBLE_EQ(march[j], march_by_hand[j]) << j;
    EXPECT_EQ(source.notes, (std::vector<std::string>{"2025-02 left out: the file starts inside it",
                                                      "2025-04 left out: the file ends inside it"}));
}

TEST(DailyYields, DayOrderAndDateFormDoNotMatter) {
    // The same days, oldest first, dated YYYY-MM-DD, with LF line ends.
    std::string reordered = "Date,3 Mo,6 Mo,1 Yr,2 Yr,3 Yr,5 Yr,7 Yr,10 Yr,30 Yr\n";
    reordered += "2025-02-28,4.30,4.20,4.00,3.90,3.85,4.00,4.10,4.25,4.50\n";
    reordered += "2025-03-03,4.30,4.20,4.00,3.90,3.85,4.00,4.10,4.25,4.50\n";
    reordered += "2025-03-14,4.33,4.20,4.10,3.95,3.85,4.02,4.20,4.27,\n";
    reordered += "2025-03-31,4.35,4.26,N/A,4.00,3.85,4.01,4.30,4.30,4.61\n";
    reordered += "2025-04-08,4.32,4.22,4.01,3.80,3.80,3.90,4.10,4.30,4.70\n";
    EXPECT_EQ(daily(reordered).months, daily(daily_sample).months);
}

TEST(DailyYields, AHolidayAtAMonthsEdgeLeavesItWholeAndAMaturityWithNoDayLeavesItOut) {
    // January 2025 starts on a Wednesday, New Year's Day: the 2nd is its first
    // business day. It ends on Friday the 31st.
    const std::string header = "Date,3 Mo,6 Mo,1 Yr,2 Yr,3 Yr,5 Yr,7 Yr,10 Yr,30 Yr\n";
    const fv::month_source january =
        daily(header + "2025-01-02,4,4,4,4,4,4,4,4,4\n2025-01-31,5,5,5,5,5,5,5,5,5\n");
    ASSERT_EQ(january.months.size(), 1u);
    EXPECT_DOUBLE_EQ(january.months.begin()->second[0], 4.5);
    EXPECT_TRUE(january.notes.empty());

    const fv::month_source no_long_bond =
        daily(header + "2025-01-02,4,4,4,4,4,4,4,4,\n2025-01-31,5,5,5,5,5,5,5,5,\n");
    EXPECT_TRUE(no_long_bond.months.empty());
    EXPECT_EQ(no_long_bond.notes, std::vector<std::string>{"2025-01 left out: no 30 Yr value on any day"});
}

TEST(DailyYields, TheTreasurySampleGivesThePublishedMonthlyAverages) {
    const std::string data = std::string(FV_SHARED_DIR) + "/data/";
    if (!std::ifstream(data + "treasury_par_yield_daily_2025.csv")) GTEST_SKIP() << "no daily yields in " << data;
    const fv::month_source from_days = fv::read_yield_months(data + "treasury_par_yield_daily_2025.csv");
    const fv::month_source monthly = fv::read_yield_months(data + "treasury_cmt_monthly.csv");
    // January to June 2025; the file ends on 11 July.
    ASSERT_EQ(from_days.months.size(), 6u);
    EXPECT_EQ(from_days.months.begin()->first, fv::month_key(2025, 1));
    EXPECT_EQ(from_days.notes, std::vector<std::string>{"2025-07 left out: the file ends inside it"});
    for (const auto& [key, rates] : from_days.months) EXPECT_EQ(rates, monthly.months.at(key)) << fv::month_name(key);
}

TEST(YieldTables, DamagedFilesAreRefusedWithTheirRow) {
    const std::string daily_header = "Date,3 Mo,6 Mo,1 Yr,2 Yr,3 Yr,5 Yr,7 Yr,10 Yr,30 Yr\n";
    const std::string monthly_header = "date,GS3M,GS6M,GS1,GS2,GS3,GS5,GS7,GS10,GS30\n";
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"", "t.csv: the file is empty"},
        {"Date,\"3 Mo\n2025-01-02,4\n", "t.csv: not a CSV file"},
        {"when,what\n1,2\n", "t.csv: neither a monthly yield table"},
        {"Date,3 Mo,6 Mo\n2025-01-02,4,4\n", "t.csv: no column \"1 Yr\" in the header row"},
        {daily_header + "2025-02-30,4,4,4,4,4,4,4,4,4\n", "t.csv, row 2: \"2025-02-30\" is not a date"},
        {daily_header + "13/01/2025,4,4,4,4,4,4,4,4,4\n", "t.csv, row 2: \"13/01/2025\" is not a date"},
        {daily_header + "2025-01-02,4,4,4.3x,4,4,4,4,4,4\n", "t.csv, row 2: \"4.3x\" is not a number"},
        {daily_header + "2025-01-02,4,4,4,4,4,4,4,4,1e300\n", "t.csv, row 2: 1e300 is not a yield in percent"},
        {daily_header + "2025-01-02,4,4,4,4,4,4,4,4,nan\n", "t.csv, row 2: \"nan\" is not a number"},
        {daily_header + "2025-01-02,4,4,4,4,4,4,4,4,4\n01/02/2025,4,4,4,4,4,4,4,4,4\n",
         "t.csv, row 3: the day 01/02/2025 appears twice (also row 2)"},
        {monthly_header + "2025-01,4,4,4,4,4,4,4,4,4\n2025-01-01,4,4,4,4,4,4,4,4,4\n",
         "t.csv, row 3: 2025-01 appears twice"},
        {monthly_header + "2025/01,4,4,4,4,4,4,4,4,4\n", "t.csv, row 2: \"2025/01\" is not a month"},
    };
    for (const auto& c : cases) EXPECT_EQ(error_of(c.text).rfind(c.message, 0), 0u) << error_of(c.text);
}

TEST(YieldTables, LaterSourcesWinAndTheMergedTableReadsBack) {
    fv::month_table earlier = {{fv::month_key(2024, 12), {1, 1, 1, 1, 1, 1, 1, 1, 1}},
                               {fv::month_key(2025, 1), {2, 2, 2, 2, 2, 2, 2, 2, 2}}};
    const fv::month_table later = {{fv::month_key(2025, 1), {3.1, 3, 3, 3, 3, 3, 3, 3, 3}},
                                   {fv::month_key(2025, 2), {4.25, 4, 4, 4, 4, 4, 4, 4, 0.1 + 0.2}}};
    EXPECT_EQ(fv::merge_months(earlier, later), 1);
    ASSERT_EQ(earlier.size(), 3u);
    EXPECT_EQ(earlier.at(fv::month_key(2025, 1))[0], 3.1);

    const std::string text = fv::monthly_table_text(earlier);
    EXPECT_EQ(text.substr(0, text.find('\n', text.find('\n') + 1)),
              "date,GS3M,GS6M,GS1,GS2,GS3,GS5,GS7,GS10,GS30\n2024-12-01,1,1,1,1,1,1,1,1,1");
    const fv::month_source again = fv::monthly_table_months("m.csv", fv::parse_csv_rows("m.csv", text));
    EXPECT_EQ(again.months, earlier);  // every value exactly, 0.1 + 0.2 included
}

}  // namespace
