// One rate set: a title and the nine Treasury rates (percent per year) for the
// 13-, 26- and 52-week and 2-, 3-, 5-, 7-, 10- and 30-year maturities, with the
// checksum fields of the line it was read from.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace fv {

class block_writer;

// Rate sources.
inline constexpr int source_actual = 1;
inline constexpr int source_budget = 2;
inline constexpr int source_own = 3;

// "Actual rates", "Budget forecast rates", "Client maintained rates" or
// "Unknown rate source".
const char* rate_source_name(int source);

inline constexpr std::size_t max_title_length = 30;

class rate_set {
public:
    int source = 0;
    std::string title;
    std::string block;
    std::int32_t stored_checksum = 0;
    std::int32_t computed_checksum = 0;
    std::array<double, 9> rates{};

    rate_set() = default;
    rate_set(int source_, std::string title_, const std::array<double, 9>& rates_)
        : source(source_), title(std::move(title_)), rates(rates_) {}

    // Fills title and rates from a normalised data line; with check, also the
    // block and both checksums, which must agree. Throws text_error with the
    // bare data-line message (the caller adds path and line number).
    void load(std::string_view line, bool check);

    // The title and the nine rates as one line: the title as "%-26.26s" or,
    // quoted, as "\"%s\""; each rate as "%*.*lf" of width precision + 4 with
    // a blank before it whenever the number fills its width. With checksum the
    // line ends in two blanks, the block of its line checksum and a line feed.
    // Quoted titles keep all the 30 characters a reader keeps; the listing
    // shows 25.
    std::string format_line(bool with_checksum, bool quoted, int precision, block_writer* writer = nullptr) const;
};

// Case-insensitive comparison of titles (ASCII, locale-independent).
int compare_titles(std::string_view a, std::string_view b);
bool titles_equal(std::string_view a, std::string_view b);
bool title_has_prefix(std::string_view title, std::string_view prefix);

}  // namespace fv
