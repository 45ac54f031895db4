// Reading and writing one rate-set line. Numbers are read and written with a
// decimal point whatever locale the desktop has set, and only finite numbers
// count as rates.
#include "rates/rate_set.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "rates/checksum_block.h"
#include "util/c_number.h"
#include "util/text_error.h"
#include "util/utf8_text.h"

namespace fv {

std::optional<rate_source> rate_source_at(int list_position) {
    if (list_position < 0 || list_position >= static_cast<int>(rate_sources.size())) return std::nullopt;
    return rate_sources[static_cast<std::size_t>(list_position)];
}

const char* rate_source_name(rate_source source) {
    switch (source) {
        case rate_source::actual: return "Actual rates";
        case rate_source::budget: return "Budget forecast rates";
        case rate_source::own: return "Client maintained rates";
    }
    return "Unknown rate source";
}

namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Reads one number as "%lf" would in the C locale. Returns false when no
// finite number starts here: an infinity or NaN is no rate.
bool read_number(std::string_view text, std::size_t& pos, double& value) {
    std::size_t used = 0;
    const double number = c_strtod(text.substr(pos), used);
    if (used == 0 || !std::isfinite(number)) return false;
    pos += used;
    value = number;
    return true;
}

// "%*.*f" without the locale: a desktop locale with a decimal comma must not
// change what the files and listings hold.
std::string format_fixed(double value, int width, int precision) {
    char buffer[400];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    std::string number = error == std::errc() ? std::string(buffer, end) : std::string("*");
    if (static_cast<int>(number.size()) < width) number.insert(0, static_cast<std::size_t>(width) - number.size(), ' ');
    return number;
}

}  // namespace

int compare_titles(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(lower(a[i]));
        const auto cb = static_cast<unsigned char>(lower(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool titles_equal(std::string_view a, std::string_view b) { return compare_titles(a, b) == 0; }

bool title_has_prefix(std::string_view title, std::string_view prefix) {
    return title.size() >= prefix.size() && titles_equal(title.substr(0, prefix.size()), prefix);
}

void rate_set::load(std::string_view line, bool check) {
    const std::size_t close = line.size() > 1 ? line.find('"', 1) : std::string_view::npos;
    if (line.empty() || close == std::string_view::npos)
        throw text_error("cr_rate_item::load found name without terminating quote");
    title = std::string(first_characters(line.substr(1, close - 1), max_title_length));

    std::size_t pos = close + 1;
    for (double& rate : rates) {
        if (!read_number(line, pos, rate)) throw text_error("cr_rate_item::load fewer than 9 rates in file");
    }
    if (!check) return;

    std::size_t end = line.size();
    while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
    std::size_t word = end;
    while (word > 0 && line[word - 1] != ' ' && line[word - 1] != '\t') --word;
    if (end - word != 16) throw text_error("cr_rate_item::load checksum block is not 16 bytes long");
    block = std::string(line.substr(word, 16));
    stored_checksum = read_block(block);
    computed_checksum = line_checksum(checked_text(line));
    if (stored_checksum != computed_checksum) throw text_error("cr_rate_item::load check sum failure");
}

std::string rate_set::format_line(bool with_checksum, bool quoted, int precision, block_writer* writer) const {
    std::string out;
    if (quoted) {
        out += '"';
        out += first_characters(title, max_title_length);
        out += '"';
    } else {
        // "%-26.26s" of 25 characters at most: always a blank before the rates.
        out = first_characters(title, 25);
        out.append(26 - character_count(out), ' ');
    }
    if (precision < 0) precision = 0;
    if (precision > 30) precision = 30;
    for (double rate : rates) {
        std::string number = format_fixed(rate, precision + 4, precision);
        // A number that fills its width would run into the one before it.
        if (number.empty() || number[0] != ' ') out += ' ';
        out += number;
    }
    if (with_checksum) {
        const std::int32_t sum = line_checksum(checked_text(out + "  xxx "));
        block_writer fresh;
        out += "  ";
        out += (writer != nullptr ? writer : &fresh)->write(sum);
        out += '\n';
    }
    return out;
}

}  // namespace fv
