// The model's calendar: a year of 360 days, periods of 180, 90 or 30 days, and
// offsets counted in half-months of 15 days. Dates are whole days (year x 360
// plus day of year), kept in 64 bits so no input can overflow them.
#pragma once

namespace fv {

// Periods a year at a frequency (1 annual, 2 semiannual, 3 quarter, 4 monthly);
// any other frequency counts as annual.
int periods_per_year(int frequency);

// Days in one period at a frequency; any other frequency counts as a year.
long long period_days(int frequency);

// Date of a row's first amount from its frequency, start year, start period
// (values beyond the year's periods count as 1) and point (1 beginning,
// 2 middle, 3 end). Frequency 0 gives the first day of the year.
long long first_amount_date(int frequency, int year, int period, int point);

// Date that stands for a year of annual totals paid at a finer frequency
// (annual_total_frequency 1 monthly, 2 quarterly, 3 semiannual payments).
long long annual_total_date(int annual_total_frequency, int year, int point);

// Whole half-months for a distance in days, as the row offsets count them.
int half_months_from_days(long long days);

}  // namespace fv
