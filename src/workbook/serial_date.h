// Dates and times of today's spreadsheet files as the serial numbers a date
// cell of a WK1 or XLS file holds: days since the null date (1899-12-30 is 0,
// so 1900-03-01 is 61), the time of day as a fraction of a day.
#pragma once

#include <optional>
#include <string_view>

namespace fv {

// A calendar date as a count of days since 1970-01-01 (proleptic Gregorian),
// counting years from March so that the leap day comes last.
constexpr long long days_since_1970(long long year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long year_of_era = year - era * 400;
    const long long day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const long long day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

inline constexpr long long default_null_date = days_since_1970(1899, 12, 30);
static_assert(days_since_1970(1970, 1, 1) == 0 && days_since_1970(1900, 3, 1) - default_null_date == 61);

// "2001-10-01", "2001-10-01T12:30:00", with fractions of a second and a zone
// (ignored: a cell's date has none); days since `null_date` (as from
// days_since_1970). Nothing when the text is no such date.
std::optional<double> iso_date_serial(std::string_view text, long long null_date = default_null_date);

// The calendar date of "2001-10-01..." as days since 1970-01-01 (a null date).
std::optional<long long> iso_date_days(std::string_view text);

// An ISO 8601 duration "PT12H30M00S", "-P1DT2H" as days (hours / 24, ...).
// Years and months have no fixed length: such a duration reads as nothing.
std::optional<double> iso_duration_days(std::string_view text);

}  // namespace fv
