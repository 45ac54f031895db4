// Reading yield tables. Values are read as the C library reads them in the C
// locale; a value that is no number or no plausible yield makes the file
// damaged rather than quietly short.
#include "treasury_months.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <set>

#include "util/c_number.h"
#include "util/decimal_round.h"
#include "util/text_error.h"

namespace fv {

namespace {

constexpr std::array<const char*, 9> monthly_columns = {"GS3M", "GS6M", "GS1", "GS2", "GS3",
                                                        "GS5",  "GS7",  "GS10", "GS30"};
constexpr std::array<const char*, 9> daily_columns = {"3 Mo", "6 Mo", "1 Yr", "2 Yr", "3 Yr",
                                                      "5 Yr", "7 Yr", "10 Yr", "30 Yr"};
// Yields are percent; anything outside this is a damaged cell, not a rate.
constexpr double lowest_yield = -20.0;
constexpr double highest_yield = 100.0;

std::string trimmed(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && (text[first] == ' ' || text[first] == '\t')) ++first;
    while (last > first && (text[last - 1] == ' ' || text[last - 1] == '\t')) --last;
    return text.substr(first, last - first);
}

bool same_name(const std::string& field, const char* name) {
    const std::string text = trimmed(field);
    std::size_t i = 0;
    for (; i < text.size() && name[i] != '\0'; ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        char n = name[i];
        if (n >= 'a' && n <= 'z') n = static_cast<char>(n - 'a' + 'A');
        if (c != n) return false;
    }
    return i == text.size() && name[i] == '\0';
}

int column_of(const csv_row& header, const char* name) {
    for (std::size_t i = 0; i < header.size(); ++i) {
        if (same_name(header[i], name)) return static_cast<int>(i);
    }
    return -1;
}

std::array<std::size_t, 9> columns_of(const std::string& path, const csv_row& header,
                                      const std::array<const char*, 9>& names) {
    std::array<std::size_t, 9> index{};
    for (std::size_t j = 0; j < names.size(); ++j) {
        const int found = column_of(header, names[j]);
        if (found < 0) throw text_error(path + ": no column \"" + names[j] + "\" in the header row");
        index[j] = static_cast<std::size_t>(found);
    }
    return index;
}

std::string at_row(const std::string& path, std::size_t row) {
    return path + ", row " + std::to_string(row + 1) + ": ";
}

// False for an empty cell (or one the Treasury marks "N/A"); throws for text
// that is not a plausible yield.
bool read_yield(const std::string& path, std::size_t row, const std::string& cell, double& value) {
    const std::string text = trimmed(cell);
    if (text.empty() || same_name(text, "N/A")) return false;
    std::size_t used = 0;
    value = c_strtod(text, used);
    if (used != text.size() || !std::isfinite(value))
        throw text_error(at_row(path, row) + "\"" + text + "\" is not a number");
    if (value < lowest_yield || value > highest_yield)
        throw text_error(at_row(path, row) + text + " is not a yield in percent");
    return true;
}

bool read_int(const std::string& text, std::size_t& pos, std::size_t digits_min, std::size_t digits_max, int& value) {
    const std::size_t start = pos;
    value = 0;
    while (pos < text.size() && pos - start < digits_max && text[pos] >= '0' && text[pos] <= '9')
        value = value * 10 + (text[pos++] - '0');
    return pos - start >= digits_min;
}

bool read_separator(const std::string& text, std::size_t& pos, char separator) {
    if (pos >= text.size() || text[pos] != separator) return false;
    ++pos;
    return true;
}

std::chrono::year_month_day checked_date(int year, int month, int day) {
    return std::chrono::year_month_day{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                       std::chrono::day{static_cast<unsigned>(day)}};
}

// YYYY-MM-DD or MM/DD/YYYY (one-digit months and days allowed).
std::chrono::year_month_day read_day(const std::string& path, std::size_t row, const std::string& cell) {
    const std::string text = trimmed(cell);
    std::size_t pos = 0;
    int year = 0;
    int month = 0;
    int day = 0;
    bool read = false;
    if (text.find('/') != std::string::npos) {
        read = read_int(text, pos, 1, 2, month) && read_separator(text, pos, '/') && read_int(text, pos, 1, 2, day) &&
               read_separator(text, pos, '/') && read_int(text, pos, 4, 4, year);
    } else {
        read = read_int(text, pos, 4, 4, year) && read_separator(text, pos, '-') && read_int(text, pos, 2, 2, month) &&
               read_separator(text, pos, '-') && read_int(text, pos, 2, 2, day);
    }
    const std::chrono::year_month_day date = checked_date(year, month, day);
    if (!read || pos != text.size() || !date.ok())
        throw text_error(at_row(path, row) + "\"" + text + "\" is not a date (YYYY-MM-DD or MM/DD/YYYY)");
    return date;
}

// YYYY-MM, or YYYY-MM-DD of any day of the month.
int read_month(const std::string& path, std::size_t row, const std::string& cell) {
    const std::string text = trimmed(cell);
    std::size_t pos = 0;
    int year = 0;
    int month = 0;
    bool read = read_int(text, pos, 4, 4, year) && read_separator(text, pos, '-') && read_int(text, pos, 2, 2, month);
    if (read && pos < text.size()) {
        int day = 0;
        read = read_separator(text, pos, '-') && read_int(text, pos, 2, 2, day) && checked_date(year, month, day).ok();
    }
    if (!read || pos != text.size() || month < 1 || month > 12)
        throw text_error(at_row(path, row) + "\"" + text + "\" is not a month (YYYY-MM or YYYY-MM-DD)");
    return month_key(year, month);
}

int key_of(const std::chrono::year_month_day& date) {
    return month_key(static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())));
}

// Weekdays from `from` to `to`, both included (none when from > to).
int weekdays_between(std::chrono::sys_days from, std::chrono::sys_days to) {
    int count = 0;
    for (std::chrono::sys_days day = from; day <= to; day += std::chrono::days{1}) {
        const std::chrono::weekday weekday{day};
        if (weekday != std::chrono::Saturday && weekday != std::chrono::Sunday) ++count;
    }
    return count;
}

// A holiday may fall next to the month's edge; more than one missing weekday
// means the file starts or ends inside the month.
constexpr int weekdays_a_covered_edge_may_miss = 1;

struct day_sums {
    std::array<double, 9> sum{};
    std::array<int, 9> count{};
};

}  // namespace

std::string month_name(int key) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d", year_of_key(key), month_of_key(key));
    return text;
}

yield_table_kind kind_of_table(const std::string& path, const std::vector<csv_row>& rows) {
    if (rows.empty()) throw text_error(path + ": the file is empty");
    if (column_of(rows[0], monthly_columns[0]) >= 0) return yield_table_kind::monthly;
    if (column_of(rows[0], daily_columns[0]) >= 0) return yield_table_kind::daily;
    throw text_error(path +
                     ": neither a monthly yield table (columns GS3M ... GS30) nor the Treasury's daily par yield "
                     "curve rates (columns 3 Mo ... 30 Yr)");
}

month_source monthly_table_months(const std::string& path, const std::vector<csv_row>& rows) {
    if (rows.empty()) throw text_error(path + ": the file is empty");
    const std::array<std::size_t, 9> index = columns_of(path, rows[0], monthly_columns);
    month_source source;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const csv_row& row = rows[r];
        const int key = read_month(path, r, row.empty() ? std::string() : row[0]);
        if (source.months.count(key) != 0) throw text_error(at_row(path, r) + month_name(key) + " appears twice");
        maturity_rates rates{};
        bool complete = true;
        for (std::size_t j = 0; j < index.size(); ++j) {
            const bool present = index[j] < row.size() && read_yield(path, r, row[index[j]], rates[j]);
            if (!present && complete) source.notes.push_back(month_name(key) + " left out: no " + monthly_columns[j]);
            complete = complete && present;
        }
        if (complete) source.months[key] = rates;
    }
    return source;
}

month_source daily_table_months(const std::string& path, const std::vector<csv_row>& rows) {
    if (rows.empty()) throw text_error(path + ": the file is empty");
    const std::array<std::size_t, 9> index = columns_of(path, rows[0], daily_columns);
    const int date_column = column_of(rows[0], "Date");
    if (date_column < 0) throw text_error(path + ": no column \"Date\" in the header row");

    std::map<std::chrono::sys_days, std::size_t> days;  // day -> row
    std::map<int, day_sums> sums;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const csv_row& row = rows[r];
        const auto column = static_cast<std::size_t>(date_column);
        const std::chrono::year_month_day date = read_day(path, r, column < row.size() ? row[column] : std::string());
        const auto [where, fresh] = days.emplace(std::chrono::sys_days{date}, r);
        if (!fresh)
            throw text_error(at_row(path, r) + "the day " + trimmed(row[column]) + " appears twice (also row " +
                             std::to_string(where->second + 1) + ")");
        day_sums& month = sums[key_of(date)];
        for (std::size_t j = 0; j < index.size(); ++j) {
            double value = 0.0;
            if (index[j] < row.size() && read_yield(path, r, row[index[j]], value)) {
                month.sum[j] += value;
                ++month.count[j];
            }
        }
    }

    month_source source;
    if (days.empty()) return source;
    const std::chrono::sys_days first_day = days.begin()->first;
    const std::chrono::sys_days last_day = days.rbegin()->first;
    const std::chrono::year_month_day first{first_day};
    const std::chrono::year_month_day last{last_day};
    const std::chrono::sys_days first_month_start{first.year() / first.month() / 1};
    const std::chrono::sys_days last_month_end{last.year() / last.month() / std::chrono::last};
    std::set<int> uncovered;
    if (weekdays_between(first_month_start, first_day - std::chrono::days{1}) > weekdays_a_covered_edge_may_miss) {
        uncovered.insert(key_of(first));
        source.notes.push_back(month_name(key_of(first)) + " left out: the file starts inside it");
    }
    if (weekdays_between(last_day + std::chrono::days{1}, last_month_end) > weekdays_a_covered_edge_may_miss) {
        uncovered.insert(key_of(last));
        source.notes.push_back(month_name(key_of(last)) + " left out: the file ends inside it");
    }

    for (const auto& [key, month] : sums) {
        if (uncovered.count(key) != 0) continue;
        maturity_rates rates{};
        bool complete = true;
        for (std::size_t j = 0; j < rates.size() && complete; ++j) {
            complete = month.count[j] > 0;
            if (complete) rates[j] = round_decimal(month.sum[j] / month.count[j], 2);
            else source.notes.push_back(month_name(key) + " left out: no " + daily_columns[j] + " value on any day");
        }
        if (complete) source.months[key] = rates;
    }
    return source;
}

month_source read_yield_months(const std::string& path) {
    const std::vector<csv_row> rows = read_csv_rows(path);
    return kind_of_table(path, rows) == yield_table_kind::monthly ? monthly_table_months(path, rows)
                                                                   : daily_table_months(path, rows);
}

int merge_months(month_table& earlier, const month_table& later) {
    int replaced = 0;
    for (const auto& [key, rates] : later) {
        const auto [where, fresh] = earlier.insert_or_assign(key, rates);
        if (!fresh) ++replaced;
    }
    return replaced;
}

std::string monthly_table_text(const month_table& months) {
    std::string text = "date";
    for (const char* column : monthly_columns) text += std::string(",") + column;
    text += "\n";
    for (const auto& [key, rates] : months) {
        text += month_name(key) + "-01";
        for (double rate : rates) {
            char number[32];
            const auto [end, error] = std::to_chars(number, number + sizeof number, rate);
            text += ',';
            text.append(number, error == std::errc() ? end : number);
        }
        text += "\n";
    }
    return text;
}

}  // namespace fv
