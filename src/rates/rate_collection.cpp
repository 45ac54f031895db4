// Loading, checking, finding and listing rate sets. Lines are read in pieces
// of at most 2047 characters, as the files have always been read, so line
// numbers in messages match what an editor shows for ordinary files.
#include "rates/rate_collection.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "util/file_io.h"
#include "util/run_files.h"
#include "util/text_error.h"
#include "util/utf8_text.h"

namespace fv {

namespace {

constexpr std::size_t line_limit = 2047;

// Splits text into the lines a 2048-character line buffer would see: each
// piece ends after a line feed or after 2047 characters.
std::vector<std::string_view> split_lines(std::string_view content) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t end = content.find('\n', pos);
        end = (end == std::string_view::npos) ? content.size() : end + 1;
        if (end - pos > line_limit) end = pos + line_limit;
        lines.push_back(content.substr(pos, end - pos));
        pos = end;
    }
    return lines;
}

bool starts_with_nocase(std::string_view text, std::string_view magic) {
    return text.size() >= magic.size() && titles_equal(text.substr(0, magic.size()), magic);
}

std::string at_line(const std::string& path, int line, const std::string& message) {
    return path + ", line " + std::to_string(line) + ":  " + message;
}

// The whole of a regular file; nothing for a folder, device, pipe or an
// over-large file.
std::optional<std::string> read_file(const std::string& path) {
    const auto bytes = read_whole_file(path, largest_rate_file);
    if (!bytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

// The integer a title carries from its eighth character on, read as atoi
// would; a shorter title carries 0.
long long year_in_title(const std::string& title) {
    if (title.size() < 8) return 0;
    std::size_t pos = 7;
    while (pos < title.size() && (title[pos] == ' ' || (title[pos] >= '\t' && title[pos] <= '\r'))) ++pos;
    bool negative = false;
    if (pos < title.size() && (title[pos] == '+' || title[pos] == '-')) negative = title[pos++] == '-';
    long long value = 0;
    while (pos < title.size() && title[pos] >= '0' && title[pos] <= '9') {
        if (value < LLONG_MAX / 100) value = value * 10 + (title[pos] - '0');
        ++pos;
    }
    return negative ? -value : value;
}

}  // namespace

rate_collection::rate_collection() = default;

std::string rate_collection::unstorable_title_message(std::string_view title) {
    // A tab would read back as a blank and a NUL would end the line early.
    const bool control = std::any_of(title.begin(), title.end(),
                                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
    if (control || title.find('"') != std::string_view::npos || title.find("//") != std::string_view::npos)
        return "Rate scenario titles cannot contain a double quote (\"), two slashes (//), a line break or another "
               "control character";
    return std::string();
}

void rate_collection::load_rate_file(const std::string& path, bool check) {
    if (path.empty()) throw text_error("cr_rates::load_common filename missing or void");
    const std::optional<std::string> content = read_file(path);
    if (!content) throw text_error("cr_rates::load_common unable to open input file");
    load_rate_file_text(path, *content, check);
}

void rate_collection::load_rate_file_text(const std::string& path, std::string_view content, bool check) {
    actual_.clear();
    budget_.clear();
    rate_file_path_ = path;
    file_sum_ = file_checksum();
    end_block_.clear();
    end_checksum_ = 0;

    const std::vector<std::string_view> lines = split_lines(content);
    if (lines.empty() || !starts_with_nocase(lines[0], "#KDM-RATE-FILE"))
        throw text_error("cr_rates::load_common missing \"#KDM-RATE-FILE\" on line 1 of input file");

    std::optional<rate_source> section;
    for (std::size_t n = 1; n < lines.size(); ++n) {
        const int line_number = static_cast<int>(n) + 1;
        const std::string line = normalise_rate_line(lines[n]);
        if (line.empty()) continue;
        if (line[0] == '#') {
            const char kind = line.size() > 1 ? line[1] : '\0';
            if (kind == 'A' || kind == 'a' || kind == 'B' || kind == 'b') {
                section = (kind == 'A' || kind == 'a') ? rate_source::actual : rate_source::budget;
                file_sum_.add(checked_text(line));
                continue;
            }
            if (kind != 'E' && kind != 'e') throw text_error("cr_rates::load unexpected character following \"#\"");
            std::size_t pos = 0;
            while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t') ++pos;
            while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
            if (pos >= line.size()) throw text_error("whoops");
            end_block_ = line.substr(pos, 16);
            end_checksum_ = read_block(end_block_);
            if (check && end_checksum_ != file_sum_.value()) {
                actual_.clear();
                budget_.clear();
                throw text_error("cr_rate::load checksum failure on #EOF line");
            }
            // Both sections must hold rate sets.
            if (actual_.empty() || budget_.empty()) throw text_error("ListItem get_prev called for NULL");
            sort_lists();
            return;
        }
        if (line[0] != '"')
            throw text_error(at_line(path, line_number, "Data line doesn't start with a quoted string"));
        rate_set item;
        try {
            if (!section) throw text_error("Data line comes before the first section line (#A or #B)");
            item.load(line, check);
        } catch (const text_error& failure) {
            actual_.clear();
            budget_.clear();
            throw text_error(at_line(path, line_number, failure.text()));
        }
        item.source = *section;
        file_sum_.add(checked_text(line));
        (section == rate_source::actual ? actual_ : budget_).push_back(std::move(item));
    }
    int count = static_cast<int>(lines.size());
    if (!lines.empty() && lines.back().back() == '\n') ++count;
    throw text_error(at_line(path, count, "missing end-of-file (#EOF) marker"));
}

void rate_collection::load_own_file(const std::string& path) {
    header_lines_.clear();
    own_.clear();
    own_file_path_.reset();
    if (path.empty()) return;
    own_file_path_ = path;
    note_run_file(path, "the file of your own rate assumptions");
    std::error_code ignored;
    if (!std::filesystem::exists(path, ignored)) {
        std::FILE* created = std::fopen(path.c_str(), "w");
        if (created == nullptr || std::fclose(created) != 0)
            throw text_error("\"" + path +
                             "\" does not exist and cannot be created.\nThis was in the \"own filename\" box in the "
                             "rate select dialog.\nPlease use the rate select dialog to choose another name, "
                             "directory, or drive.");
        return;
    }
    const std::optional<std::string> content = read_file(path);
    if (!content) throw text_error("cr_rates::load_custom unable to open input file");
    load_own_file_text(path, *content);
}

void rate_collection::load_own_file_text(const std::string& path, std::string_view content) {
    header_lines_.clear();
    own_.clear();
    own_file_path_ = path;
    const std::vector<std::string_view> lines = split_lines(content);
    if (lines.empty()) return;
    if (!starts_with_nocase(lines[0], "#CLIENT-RATE-FILE"))
        throw text_error("cr_rates::load_custom missing \"#CLIENT-RATE-FILE\" on line 1 of input file");

    bool in_header = true;
    header_lines_.emplace_back(lines[0]);
    for (std::size_t n = 1; n < lines.size(); ++n) {
        const int line_number = static_cast<int>(n) + 1;
        if (in_header) {
            std::string_view rest = lines[n];
            while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
            if (rest.empty() || rest == "\n" || rest == "\r\n" || rest.substr(0, 2) == "//") {
                header_lines_.emplace_back(lines[n]);
                continue;
            }
            in_header = false;
        }
        const std::string line = normalise_rate_line(lines[n]);
        if (line.empty()) continue;
        if (line[0] != '"') {
            own_.clear();
            throw text_error("cr_rates::load_custom data line doesn't start with a quoted string");
        }
        rate_set item;
        try {
            item.load(line, false);
        } catch (const text_error& failure) {
            own_.clear();
            throw text_error(at_line(path, line_number, failure.text()));
        }
        item.source = rate_source::own;
        own_.push_back(std::move(item));
    }
    sort_lists();
}

std::string rate_collection::own_file_text() const {
    std::string text;
    if (header_lines_.empty()) {
        text = "#CLIENT-RATE-FILE\n\n";
    } else {
        for (const std::string& line : header_lines_) text += line;
        if (text.back() != '\n') text += '\n';  // a last header line without its line end
    }
    for (const rate_set& item : own_) text += item.format_line(false, true, 4) + "\n";
    return text;
}

std::string rate_collection::backup_name(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // A short name would lose part of its directory, and a name ending in
    // "bak" would be its own backup.
    if (name.size() < 4 || titles_equal(name.substr(name.size() - 3), "bak")) return path + ".bak";
    return path.substr(0, path.size() - 3) + "bak";
}

void rate_collection::save_own_file() {
    if (!own_file_path_) return;
    const std::string& path = *own_file_path_;
    std::error_code error;
    // The backup is taken first, so a failure after it still leaves the
    // original in place and its copy beside it.
    if (std::filesystem::exists(path, error)) {
        std::filesystem::copy_file(path, backup_name(path), std::filesystem::copy_options::overwrite_existing, error);
        if (error)
            throw text_error("cr_rates::save_custom failed to keep a backup of the own-rate file. Original file "
                             "unchanged.");
    }
    bool opened = false;
    if (!write_file_replacing(path, own_file_text(), &opened))
        throw text_error(opened ? "cr_rates::save_custom failed to write the output file. Original file unchanged."
                                : "cr_rates::save_custom failed to open the output file. Original file unchanged.");
}

std::string rate_collection::rate_file_text(block_writer& writer, std::string_view comment) const {
    return rate_file_text([&writer](std::string_view, std::int32_t value) { return writer.write(value); },
                            comment);
}

std::string rate_collection::rate_file_text(const block_source& block_for, std::string_view comment) const {
    std::string text = "#KDM-RATE-FILE";
    if (!comment.empty()) text += "  " + std::string(comment);
    text += "\n";
    // The file checksum runs over the section and data lines as the reader
    // will see them.
    file_checksum sum;
    auto section = [&](const char* line, const std::vector<rate_set>& items) {
        text += line;
        sum.add(checked_text(normalise_rate_line(line)));
        for (const rate_set& item : items) {
            const std::string data = item.format_line(false, true, 2);
            const std::string checked(checked_text(normalise_rate_line(data + "  x")));
            text += data + "  " + block_for(checked, line_checksum(checked)) + "\n";
            sum.add(checked);
        }
    };
    section("#A actual rates\n", actual_);
    section("#B budget assumptions\n", budget_);
    text += "#EOF  " + block_for("#EOF", sum.value()) + "\n";
    return text;
}

void rate_collection::set_rate_file_sets(std::vector<rate_set> actual, std::vector<rate_set> budget) {
    actual_ = std::move(actual);
    budget_ = std::move(budget);
    for (rate_set& item : actual_) item.source = rate_source::actual;
    for (rate_set& item : budget_) item.source = rate_source::budget;
    sort_lists();
}

void rate_collection::add_own(rate_set item) {
    const std::string refused = unstorable_title_message(item.title);
    if (!refused.empty()) throw text_error(refused);
    // Titles are UTF-8 and counted in characters.
    item.title.resize(prefix_bytes(item.title, max_title_length));
    for (const rate_set& existing : own_) {
        if (titles_equal(existing.title, item.title))
            throw text_error("New scenario was not added because rate scenario titles must be unique");
    }
    item.source = rate_source::own;
    own_.push_back(std::move(item));
    sort_lists();
}

int rate_collection::remove_own(int n) {
    if (n < 0 || n >= static_cast<int>(own_.size())) return 0;
    own_.erase(own_.begin() + n);
    return 1;
}

const std::vector<rate_set>& rate_collection::list_of(rate_source source) const {
    switch (source) {
        case rate_source::actual: return actual_;
        case rate_source::budget: return budget_;
        case rate_source::own: return own_;
    }
    return own_;
}

const rate_set* rate_collection::find_by_prefix(rate_source source, std::string_view text) const {
    const std::vector<rate_set>& items = list_of(source);
    if (text.empty()) return nullptr;
    for (const rate_set& item : items) {
        if (title_has_prefix(item.title, text)) return &item;
    }
    return nullptr;
}

const rate_set* rate_collection::find_by_title(rate_source source, std::string_view text) const {
    const std::vector<rate_set>& items = list_of(source);
    for (const rate_set& item : items) {
        if (titles_equal(item.title, text)) return &item;
    }
    return nullptr;
}

int rate_collection::index_of_title(rate_source source, std::string_view text) const {
    const std::vector<rate_set>& items = list_of(source);
    if (text.empty()) return -1;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (titles_equal(items[i].title, text)) return static_cast<int>(i);
    }
    return -1;
}

std::optional<std::string> rate_collection::title_at(rate_source source, int n) const {
    const std::vector<rate_set>& items = list_of(source);
    if (n < 0) return std::nullopt;
    if (n > 0 && items.empty()) throw text_error("ListItem get_next called for NULL");
    if (n >= static_cast<int>(items.size())) return std::nullopt;
    return items[static_cast<std::size_t>(n)].title;
}

const rate_set* rate_collection::item_at(rate_source source, int n) const {
    const std::vector<rate_set>& items = list_of(source);
    if (n == -1) return nullptr;
    if (n <= 0) return items.empty() ? nullptr : &items.front();
    if (items.empty()) throw text_error("ListItem get_next called for NULL");
    if (n >= static_cast<int>(items.size())) return nullptr;
    return &items[static_cast<std::size_t>(n)];
}

const rate_set* rate_collection::find_budget_year(int year) const {
    if (year <= 1991) return nullptr;
    for (const rate_set& item : budget_) {
        const long long number = year_in_title(item.title);
        if (number == year) return &item;
        if (number < year) break;
    }
    return nullptr;
}

std::string rate_collection::list_text(bool crlf) const {
    if (actual_.empty() && budget_.empty() && own_.empty()) return "(No data sets)";
    const std::string eol = crlf ? "\r\n" : "\r";
    std::string text;
    auto section = [&](const char* heading, const std::vector<rate_set>& items, bool last) {
        text += heading + eol + eol;
        for (const rate_set& item : items) text += "  " + item.format_line(false, false, 2) + eol;
        if (!last) text += eol + eol;
    };
    section("ACTUAL RATES:", actual_, false);
    section("BUDGET ASSUMPTIONS:", budget_, false);
    section("CLIENT RATES (shown to two decimal places.  Underlying rates may be more precise):", own_, true);
    return text;
}

std::vector<rate_sheet_row> rate_collection::sheet_rows() const {
    std::vector<rate_sheet_row> rows;
    auto section = [&](const char* label, const std::vector<rate_set>& items) {
        if (!rows.empty()) rows.emplace_back();
        rows.push_back({rate_sheet_cell{rate_sheet_cell::kind::centred_label, label, 0.0}});
        rows.emplace_back();
        for (const rate_set& item : items) {
            rate_sheet_row row{rate_sheet_cell{rate_sheet_cell::kind::left_label, item.title, 0.0}};
            for (double rate : item.rates) row.push_back(rate_sheet_cell{rate_sheet_cell::kind::number, "", rate});
            rows.push_back(std::move(row));
        }
    };
    section("ACTUAL RATES", actual_);
    section("BUDGET ASSUMPTIONS", budget_);
    section("CLIENT RATES", own_);
    return rows;
}

void rate_collection::sort_lists() {
    auto descending = [](const rate_set& a, const rate_set& b) { return compare_titles(a.title, b.title) > 0; };
    auto ascending = [](const rate_set& a, const rate_set& b) { return compare_titles(a.title, b.title) < 0; };
    std::stable_sort(actual_.begin(), actual_.end(), descending);
    std::stable_sort(budget_.begin(), budget_.end(), descending);
    std::stable_sort(own_.begin(), own_.end(), ascending);
}

}  // namespace fv
