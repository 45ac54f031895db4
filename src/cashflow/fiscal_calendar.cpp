// Day arithmetic of the 360-day calendar used by every row's start offset.
#include "cashflow/fiscal_calendar.h"

#include <climits>

namespace fv {

int periods_per_year(int frequency) {
    switch (frequency) {
        case 2: return 2;
        case 3: return 4;
        case 4: return 12;
        default: return 1;
    }
}

long long period_days(int frequency) { return 360 / periods_per_year(frequency); }

namespace {

// Day within a period for beginning, middle and end; 0 for any other point.
long long day_in_period(long long days, int point) {
    switch (point) {
        case 2: return days / 2 - 1;
        case 3: return days - 1;
        default: return 0;
    }
}

}  // namespace

long long first_amount_date(int frequency, int year, int period, int point) {
    const long long start_of_year = static_cast<long long>(year) * 360;
    if (frequency < 1 || frequency > 4) return start_of_year;
    const int periods = periods_per_year(frequency);
    if (period < 1 || period > periods) period = 1;
    const long long days = period_days(frequency);
    return start_of_year + (period - 1) * days + day_in_period(days, point);
}

long long annual_total_date(int annual_total_frequency, int year, int point) {
    static const long long days[3][3] = {{164, 179, 194}, {134, 179, 224}, {89, 179, 269}};
    long long date = static_cast<long long>(year) * 360;
    if (annual_total_frequency >= 1 && annual_total_frequency <= 3 && point >= 1 && point <= 3) date += days[annual_total_frequency - 1][point - 1];
    return date;
}

int half_months_from_days(long long days) {
    const long long half_months = days < 2 ? (days - 1) / 15 : (days + 1) / 15;
    if (half_months > INT_MAX) return INT_MAX;
    if (half_months < INT_MIN) return INT_MIN;
    return static_cast<int>(half_months);
}

}  // namespace fv
