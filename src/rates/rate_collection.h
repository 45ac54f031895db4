// The collection of rate sets: the shipped rate file (actual rates and budget
// assumptions, protected by checksums) and the user's own-rate file, with the
// finders the calculation uses and the listings the rate dialog shows.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rates/checksum_block.h"
#include "rates/rate_set.h"

namespace fv {

// A rate or own-rate file larger than this is not one; refusing it keeps a
// device or a huge file chosen by mistake from filling the memory.
inline constexpr std::size_t largest_rate_file = 16'000'000;

// One cell of the spreadsheet form of the listing.
struct rate_sheet_cell {
    enum class kind { centred_label, left_label, number };
    kind type = kind::left_label;
    std::string text;    // labels
    double value = 0.0;  // numbers, shown with 2 decimals
};
using rate_sheet_row = std::vector<rate_sheet_cell>;  // empty: an empty row

class rate_collection {
public:
    rate_collection();

    // Rate file. Empties both lists first; check verifies the line and file
    // checksums. Failures throw text_error with the message to show.
    void load_rate_file(const std::string& path, bool check);
    // The same from text already in memory; path names it in messages.
    void load_rate_file_text(const std::string& path, std::string_view content, bool check);

    // Own-rate file. An empty path loads nothing and keeps no path; a missing
    // file is created empty.
    void load_own_file(const std::string& path);
    void load_own_file_text(const std::string& path, std::string_view content);
    // Writes the own-rate file, keeping the previous one as the backup. The
    // original file stays as it was when anything fails.
    void save_own_file();
    // The own-rate file's text as save_own_file writes it.
    std::string own_file_text() const;
    // The name the previous own-rate file is kept under.
    static std::string backup_name(const std::string& path);

    // Replaces the actual and budget lists (the rate-file generator).
    void set_rate_file_sets(std::vector<rate_set> actual, std::vector<rate_set> budget);
    // Renders the actual and budget lists as a rate file with fresh blocks.
    std::string rate_file_text(block_writer& writer, std::string_view comment = {}) const;
    // The same with each checksum block chosen by the caller from the text
    // the block covers (a data line without its block, or "#EOF") and the
    // value it must carry, so a generator can keep the blocks of lines that
    // did not change.
    using block_source = std::function<std::string(std::string_view checked, std::int32_t value)>;
    std::string rate_file_text(const block_source& block_for, std::string_view comment = {}) const;

    void add_own(rate_set item);  // refuses duplicate or unstorable titles
    int remove_own(int n);        // 1 when removed, 0 when no such set

    // Finders in one source's list.
    const rate_set* find_by_prefix(rate_source source, std::string_view text) const;
    const rate_set* find_by_title(rate_source source, std::string_view text) const;
    int index_of_title(rate_source source, std::string_view text) const;
    std::optional<std::string> title_at(rate_source source, int n) const;
    const rate_set* item_at(rate_source source, int n) const;
    const rate_set* find_budget_year(int year) const;

    std::string list_text(bool crlf) const;
    std::vector<rate_sheet_row> sheet_rows() const;

    const std::vector<rate_set>& actual() const { return actual_; }
    const std::vector<rate_set>& budget() const { return budget_; }
    const std::vector<rate_set>& own() const { return own_; }
    const std::vector<rate_set>& list_of(rate_source source) const;
    const std::vector<std::string>& header_lines() const { return header_lines_; }
    const std::string& rate_file_path() const { return rate_file_path_; }
    const std::optional<std::string>& own_file_path() const { return own_file_path_; }
    // The checksum block of the end line and the values of the last load.
    const std::string& end_block() const { return end_block_; }
    std::int32_t end_checksum() const { return end_checksum_; }
    std::int32_t file_checksum_value() const { return file_sum_.value(); }

    // Text of a title that cannot be stored in the own-rate file and read
    // back (a double quote, "//" or a line break), or "" when it can.
    static std::string unstorable_title_message(std::string_view title);

private:
    void sort_lists();

    std::vector<std::string> header_lines_;
    std::vector<rate_set> actual_;
    std::vector<rate_set> budget_;
    std::vector<rate_set> own_;
    std::string end_block_;
    std::int32_t end_checksum_ = 0;
    file_checksum file_sum_;
    std::string rate_file_path_;
    std::optional<std::string> own_file_path_;
};

}  // namespace fv
