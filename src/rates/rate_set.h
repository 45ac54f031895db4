// One rate set: a title and the nine Treasury rates (percent per year) for the
// 13-, 26- and 52-week and 2-, 3-, 5-, 7-, 10- and 30-year maturities, with the
// checksum fields of the line it was read from.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fv {

class block_writer;

// Where a rate set comes from: the rate file's actual rates and budget
// forecasts, or the user's own-rate file. The numbers are the ones a
// spreadsheet's "Rate assumption" and a batch rate choice stand for.
enum class rate_source { actual = 1, budget = 2, own = 3 };

inline constexpr std::array<rate_source, 3> rate_sources = {rate_source::actual, rate_source::budget,
                                                            rate_source::own};

// The source's place among the three lists (0 actual, 1 budget, 2 own): the
// order of the rate dialog's lists and the number the settings file keeps.
constexpr std::size_t list_position(rate_source source) { return static_cast<std::size_t>(source) - 1; }
std::optional<rate_source> rate_source_at(int list_position);

// "Actual rates", "Budget forecast rates" or "Client maintained rates".
const char* rate_source_name(rate_source source);

inline constexpr std::size_t max_title_length = 30;

class rate_set {
public:
    rate_source source = rate_source::own;
    std::string title;
    std::string block;
    std::int32_t stored_checksum = 0;
    std::int32_t computed_checksum = 0;
    std::array<double, 9> rates{};

    rate_set() = default;
    rate_set(rate_source source_, std::string title_, const std::array<double, 9>& rates_)
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
