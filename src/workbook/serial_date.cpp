#include "workbook/serial_date.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace fv {

namespace {

// Exactly `count` digits as a number.
bool digits(std::string_view& text, std::size_t count, unsigned& value) {
    if (text.size() < count) return false;
    value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
    }
    text.remove_prefix(count);
    return true;
}

bool expect(std::string_view& text, char c) {
    if (text.empty() || text.front() != c) return false;
    text.remove_prefix(1);
    return true;
}

unsigned days_in_month(unsigned year, unsigned month) {
    static constexpr unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// A decimal number (digits, an optional fraction) at the front of the text.
bool decimal(std::string_view& text, double& value) {
    std::size_t length = 0;
    while (length < text.size() && ((text[length] >= '0' && text[length] <= '9') || text[length] == '.')) ++length;
    if (length == 0) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + length, value);
    if (error != std::errc() || end != text.data() + length) return false;
    text.remove_prefix(length);
    return true;
}

}  // namespace

std::optional<long long> iso_date_days(std::string_view text) {
    unsigned year = 0, month = 0, day = 0;
    if (!digits(text, 4, year) || !expect(text, '-') || !digits(text, 2, month) || !expect(text, '-') ||
        !digits(text, 2, day))
        return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || day > days_in_month(year, month)) return std::nullopt;
    return days_since_1970(year, month, day);
}

std::optional<double> iso_date_serial(std::string_view text, long long null_date) {
    const auto days = iso_date_days(text.substr(0, 10));
    if (!days) return std::nullopt;
    text.remove_prefix(10);
    double fraction = 0.0;
    if (!text.empty() && (text.front() == 'T' || text.front() == ' ')) {
        text.remove_prefix(1);
        unsigned hour = 0, minute = 0;
        double second = 0.0;
        if (!digits(text, 2, hour) || !expect(text, ':') || !digits(text, 2, minute)) return std::nullopt;
        if (expect(text, ':') && !decimal(text, second)) return std::nullopt;
        if (hour > 24 || minute > 59 || second >= 61.0) return std::nullopt;
        fraction = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    }
    // A zone: Z or +hh:mm / -hh:mm.
    if (!text.empty() && text.front() == 'Z') text.remove_prefix(1);
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        unsigned hours = 0, minutes = 0;
        text.remove_prefix(1);
        if (!digits(text, 2, hours) || !expect(text, ':') || !digits(text, 2, minutes)) return std::nullopt;
    }
    if (!text.empty()) return std::nullopt;
    return static_cast<double>(*days - null_date) + fraction;
}

std::optional<double> iso_duration_days(std::string_view text) {
    const bool negative = expect(text, '-');
    if (!expect(text, 'P')) return std::nullopt;
    double seconds = 0.0;
    bool in_time = false, any = false;
    while (!text.empty()) {
        if (!in_time && expect(text, 'T')) {
            in_time = true;
            continue;
        }
        double amount = 0.0;
        if (!decimal(text, amount) || text.empty()) return std::nullopt;
        const char unit = text.front();
        text.remove_prefix(1);
        if (!in_time && unit == 'D') seconds += amount * 86400.0;
        else if (!in_time && unit == 'W') seconds += amount * 7 * 86400.0;
        else if (in_time && unit == 'H') seconds += amount * 3600.0;
        else if (in_time && unit == 'M') seconds += amount * 60.0;
        else if (in_time && unit == 'S') seconds += amount;
        else return std::nullopt;  // years and months, or a unit out of place
        any = true;
    }
    if (!any || !std::isfinite(seconds)) return std::nullopt;
    return (negative ? -seconds : seconds) / 86400.0;
}

}  // namespace fv
