// The numbered messages of a program and their suppression. Messages hold
// their own texts whatever their length; the suppression table is indexed
// only by numbers 0-99.
#include "cashflow/message_list.h"

#include <algorithm>
#include <cstdarg>

#include "util/ascii.h"

namespace fv {

namespace {

constexpr const char* range_fault = "A \"supress-warnings\" message has a defective range of values ";

// Saturates far above 99 so that a long run of digits is simply too large.
unsigned read_number(std::string_view text, std::size_t& at) {
    unsigned value = 0;
    while (at < text.size() && ascii_digit(text[at])) {
        if (value < 1000000u) value = value * 10u + static_cast<unsigned>(text[at] - '0');
        ++at;
    }
    return value;
}

}  // namespace

void message_list::add(unsigned number, std::string_view text) {
    if (number >= number_limit || suppressed_[number]) return;
    list_.push_back(message{number, std::string(text)});
}

void message_list::remove_range(unsigned first, unsigned last) {
    std::erase_if(list_, [&](const message& m) { return m.number >= first && m.number <= last; });
}

int message_list::apply_suppression(std::string_view text) {
    suppression_given_ = true;
    std::size_t at = 0;
    for (;;) {
        while (at < text.size() && (text[at] == ' ' || text[at] == ',')) ++at;
        if (at >= text.size()) return 0;
        if (starts_with_ignoring_case(text.substr(at), "ALL")) {
            suppressed_.fill(true);
            at += 3;
            continue;
        }
        if (starts_with_ignoring_case(text.substr(at), "NON")) {
            suppressed_.fill(false);
            while (at < text.size() && text[at] != ' ' && text[at] != ',') ++at;
            continue;
        }
        if (!ascii_digit(text[at])) return 1;
        const unsigned start = read_number(text, at);
        while (at < text.size() && text[at] == ' ') ++at;
        if (at >= text.size() || text[at] != '-') {
            // A single number beyond the table cannot be suppressed: say so
            // rather than let it pass unnoticed.
            if (start >= number_limit)
                add(33, std::string(range_fault) + "(start > 99 )");
            else
                suppressed_[start] = true;
            continue;
        }
        ++at;
        const unsigned end = read_number(text, at);
        if (end < start)
            add(33, std::string(range_fault) + "( start > end )");
        else if (start >= number_limit)
            add(33, std::string(range_fault) + "(start > 99 )");
        else if (end < number_limit)
            std::fill(suppressed_.begin() + start, suppressed_.begin() + end + 1, true);
        else
            add(33, std::string(range_fault) + "(end > 99 )");
    }
}

int message_list::apply_suppression(double value) { return apply_suppression(format_message("%.0lf", value)); }

void message_list::reset() {
    remove_range(0, number_limit - 1);
    apply_suppression("none");
}

std::string message_list::line(const message& message, bool quoted) {
    char number[32];
    std::snprintf(number, sizeof number, "W%-3.3d:  ", static_cast<int>(message.number));
    std::string out;
    out.reserve(message.text.size() + 12);
    if (quoted) out += '"';
    out += number;
    out += message.text;
    if (quoted) out += '"';
    out += '\n';
    return out;
}

std::string message_list::print_text(bool quoted) const {
    std::string out;
    for (const message& message : list_) out += line(message, quoted);
    return out;
}

void message_list::print(std::FILE* file, bool quoted) const {
    if (file == nullptr) return;
    for (const message& message : list_) {
        const std::string text = line(message, quoted);
        std::fwrite(text.data(), 1, text.size(), file);
    }
}

std::string format_message(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string out;
    if (length > 0) {
        out.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(out.data(), out.size(), format, again);
        out.resize(static_cast<std::size_t>(length));
    }
    va_end(again);
    return out;
}

}  // namespace fv
