// Monthly Treasury yields for the nine maturities of a rate set (13-, 26- and
// 52-week, 2-, 3-, 5-, 7-, 10- and 30-year), in percent, keyed by month: read
// from a monthly table, or averaged from the Treasury's daily par yields.
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "csv_rows.h"

namespace fv {

using maturity_rates = std::array<double, 9>;

// Months are keyed by year * 12 + (month - 1), so keys run on across years.
constexpr int month_key(int year, int month) { return year * 12 + month - 1; }
constexpr int year_of_key(int key) { return key / 12; }
constexpr int month_of_key(int key) { return key % 12 + 1; }
// "YYYY-MM".
std::string month_name(int key);

using month_table = std::map<int, maturity_rates>;

// Months read from one file, and what was left out of it and why.
struct month_source {
    month_table months;
    std::vector<std::string> notes;
};

enum class yield_table_kind { monthly, daily };

// A monthly table: a date column first (YYYY-MM or YYYY-MM-DD), then columns
// named GS3M, GS6M, GS1, GS2, GS3, GS5, GS7, GS10 and GS30 among any others.
// A month missing one of the nine values is left out.
month_source monthly_table_months(const std::string& path, const std::vector<csv_row>& rows);

// The Treasury's Daily Par Yield Curve Rates: a Date column (YYYY-MM-DD or
// MM/DD/YYYY, days in any order) and the columns 3 Mo, 6 Mo, 1 Yr, 2 Yr,
// 3 Yr, 5 Yr, 7 Yr, 10 Yr and 30 Yr among any others. Each maturity's monthly
// value is the average of the days that hold a value for it (an empty cell
// is skipped for that maturity only), rounded to two decimals. A month where
// a maturity has no value on any day is left out, and so is a month at
// either end of the file that the file does not cover: more than one weekday
// of it lies before the first day or after the last.
month_source daily_table_months(const std::string& path, const std::vector<csv_row>& rows);

// Which kind of table the header row names; throws text_error for neither.
yield_table_kind kind_of_table(const std::string& path, const std::vector<csv_row>& rows);

// The months of a yield file of either kind. Throws text_error, naming the
// file and row, for a damaged file.
month_source read_yield_months(const std::string& path);

// Months of `later` replace those of `earlier`; returns how many did.
int merge_months(month_table& earlier, const month_table& later);

// The table as a monthly CSV file that monthly_table_months reads back:
// "date,GS3M,...,GS30", one line per month dated YYYY-MM-01, each value in
// the fewest digits that read back to it.
std::string monthly_table_text(const month_table& months);

}  // namespace fv
