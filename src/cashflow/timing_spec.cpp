// Parser of timing specifications. Words are separated by blanks and commas
// and only their first letter counts (two after "M", which starts both
// "monthly" and "middle"). A starting year may stand first, after the first
// word or at the end.
#include "cashflow/timing_spec.h"

#include "util/ascii.h"

namespace fv {

namespace {

class reader {
public:
    explicit reader(std::string_view text) : text_(text) {}

    bool at_end() const { return at_ >= text_.size(); }
    char peek(std::size_t ahead = 0) const {
        return at_ + ahead < text_.size() ? ascii_upper(text_[at_ + ahead]) : '\0';
    }
    bool digit() const { return !at_end() && ascii_digit(text_[at_]); }
    void advance(std::size_t n = 1) { at_ = at_ + n < text_.size() ? at_ + n : text_.size(); }

    static bool blank(char c) { return c == ' ' || c == '\t'; }
    void skip_blanks() {
        while (!at_end() && blank(text_[at_])) advance();
    }
    void skip_blanks_and_commas() {
        while (!at_end() && (blank(text_[at_]) || text_[at_] == ',')) advance();
    }
    // Blanks, at most one comma, blanks.
    void skip_separator() {
        skip_blanks();
        if (!at_end() && text_[at_] == ',') advance();
        skip_blanks();
    }
    // To the next "-", "," or blank.
    void skip_word() {
        while (!at_end() && text_[at_] != '-' && text_[at_] != ',' && !blank(text_[at_])) advance();
    }
    bool skip_if(std::string_view word) {
        for (std::size_t i = 0; i < word.size(); ++i)
            if (peek(i) != word[i]) return false;
        advance(word.size());
        return true;
    }
    // Decimal digits, saturated well above any year or period so that a long
    // run of digits fails the range checks instead of overflowing.
    long number() {
        long value = 0;
        while (digit()) {
            if (value < 100000) value = value * 10 + (text_[at_] - '0');
            advance();
        }
        return value;
    }

    // Year, and ":period" (1 when absent); false unless the year is 1992-3000
    // and the period 1-12.
    bool year_spec(int& year, int& period) {
        skip_blanks();
        const long y = number();
        long p = 1;
        if (!at_end() && text_[at_] == ':') {
            advance();
            p = number();
        }
        if (y < 1992 || y > 3000 || p < 1 || p > 12) return false;
        year = static_cast<int>(y);
        period = static_cast<int>(p);
        return true;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

struct result {
    int frequency = 0, annual_total_frequency = 0, point = 0, year = 0, period = 0;
};

// Steps through the text; false on the first fault.
bool parse(std::string_view text, result& r) {
    reader in(text);
    in.skip_blanks();
    if (in.at_end()) return true;

    if (in.digit()) {
        if (!in.year_spec(r.year, r.period)) return false;
        in.skip_separator();
        if (in.at_end()) return true;
    }

    // First word: a frequency or a point.
    switch (in.peek()) {
        case 'A':
        case 'Y': r.frequency = 1; break;
        case 'S': r.frequency = 2; break;
        case 'Q': r.frequency = 3; break;
        case 'M':
            if (in.peek(1) == 'O')
                r.frequency = 4;
            else if (in.peek(1) == 'I')
                r.point = 2;
            else
                return false;
            break;
        case 'B': r.point = 1; break;
        case 'E': r.point = 3; break;
        case 'C':
            r.point = 2;
            r.annual_total_frequency = 2;
            break;
        default: return false;
    }
    in.skip_word();
    if (in.at_end()) return true;

    // "annual-of-quarterly": annual totals of payments at a finer frequency.
    if (in.peek() == '-') {
        if (!in.skip_if("-OF-")) in.advance();
        switch (in.peek()) {
            case 'A':
            case 'Y': r.frequency = 1; break;
            case 'M': r.annual_total_frequency = 1; break;
            case 'Q': r.annual_total_frequency = 2; break;
            case 'S': r.annual_total_frequency = 3; break;
            default: return false;
        }
        in.skip_word();
        in.skip_separator();
        if (in.at_end()) return true;
    }

    in.skip_blanks_and_commas();
    if (in.at_end()) return true;

    if (in.digit()) {
        if (r.year != 0 || !in.year_spec(r.year, r.period)) return false;
        in.skip_separator();
        if (in.at_end()) return true;
    }

    // Second word: the frequency when none is set yet, else the point.
    const char letter = in.peek();
    if (r.frequency == 0) {
        switch (letter) {
            case 'A':
            case 'Y': r.frequency = 1; break;
            case 'M': r.frequency = 4; break;
            case 'Q': r.frequency = 3; break;
            case 'S': r.frequency = 2; break;
            default: return false;
        }
    } else {
        switch (letter) {
            case 'B': r.point = 1; break;
            case 'E': r.point = 3; break;
            case 'M': r.point = 2; break;
            default: return false;
        }
    }
    in.skip_word();
    in.skip_blanks_and_commas();
    if (in.at_end()) return true;

    // Only a year may follow, and nothing after it.
    if (!in.digit() || r.year != 0 || !in.year_spec(r.year, r.period)) return false;
    in.skip_blanks_and_commas();
    return in.at_end();
}

void put(int* out, int value) {
    if (out != nullptr && value != 0) *out = value;
}

}  // namespace

bool parse_timing_spec(std::string_view text, int* frequency, int* annual_total_frequency, int* point, int* year, int* period) {
    result r;
    if (!parse(text, r)) return false;
    put(frequency, r.frequency);
    put(annual_total_frequency, r.annual_total_frequency);
    put(point, r.point);
    put(year, r.year);
    put(period, r.period);
    return true;
}

}  // namespace fv
