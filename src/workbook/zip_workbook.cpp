// The shared part of the XLSX and ODS readers.
#include "workbook/zip_workbook.h"

#include <unordered_map>

#include "util/ascii.h"
#include "util/text_error.h"
#include "workbook/file_image.h"
#include "workbook/workbook_failure.h"
#include "workbook/zip_archive.h"

namespace fv {

std::string zip_workbook_too_large_message(const std::string& path) {
    return "Spreadsheet file " + path + " is larger than 100 MB.";
}

zip_workbook::zip_workbook(const std::string& file_name, format_kind kind, std::string reader, std::string format)
    : indexed_workbook(file_name), reader_(std::move(reader)), format_(std::move(format)) {
    set_kind(kind);
}

void zip_workbook::load() {
    load_image(read_spreadsheet_file(file_name(), reader_ + "::load unable to open " + file_name(),
                                     largest_zip_workbook_file, zip_workbook_too_large_message(file_name())));
}

void zip_workbook::load_image(std::vector<unsigned char> image) {
    if (image.size() > largest_zip_workbook_file) throw text_error(zip_workbook_too_large_message(file_name()));
    try {
        zip_archive archive(image);
        read(archive);
    } catch (const workbook_failure& failure) {
        throw text_error(workbook_failure_message(file_name(), format_, failure));
    }
    resolve_names();
    values_.shrink();
    finish_index();
}

void zip_workbook::add_sheet(std::string name) {
    if (sheets_.size() >= most_sheets)
        throw workbook_failure(workbook_problem::too_large,
                               "it holds more than " + std::to_string(most_sheets) + " sheets");
    if (sheets_.size() >= sheet_limit) count(omissions_.sheets, 1);
    sheets_.push_back(std::move(name));
}

void zip_workbook::put(std::uint64_t sheet, std::uint64_t row, std::uint64_t column, std::size_t value,
                       std::uint64_t repeat) {
    if (repeat == 0 || sheet >= sheet_limit) return;
    if (row >= row_limit) {
        count(omissions_.cells_beyond_last_row, repeat);
        return;
    }
    std::uint64_t inside = column < column_limit ? column_limit - column : 0;
    if (inside > repeat) inside = repeat;
    count(omissions_.cells_beyond_last_column, repeat - inside);
    if (inside > most_cells - cell_count_)
        throw workbook_failure(workbook_problem::too_large,
                               "it holds more than " + std::to_string(most_cells / 1'000'000) + " million cells");
    for (std::uint64_t i = 0; i < inside; ++i) {
        cell_address address(static_cast<std::uint8_t>(sheet), static_cast<std::uint16_t>(row),
                           static_cast<std::uint8_t>(column + i));
        address.is_cell = 1;
        add_data_cell(address, value);
    }
    cell_count_ += static_cast<std::size_t>(inside);
}

void zip_workbook::add_name(std::string name, std::optional<sheet_range> range) {
    if (names_.size() >= most_names)
        throw workbook_failure(workbook_problem::too_large,
                               "it holds more than " + std::to_string(most_names) + " names");
    names_.push_back({std::move(name), std::move(range)});
}

namespace {

std::string folded(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = ascii_lower(c);
    return out;
}

}  // namespace

void zip_workbook::resolve_names() {
    // Sheet names are unique ignoring case; the first wins if a file says otherwise.
    std::unordered_map<std::string, std::size_t> sheet_numbers;
    for (std::size_t at = 0; at < sheets_.size(); ++at) sheet_numbers.emplace(folded(sheets_[at]), at);
    for (auto& entry : names_) {
        const auto found = entry.range ? sheet_numbers.find(folded(entry.range->sheet)) : sheet_numbers.end();
        if (found == sheet_numbers.end()) {
            add_name_without_range(std::move(entry.name));
            continue;
        }
        const int sheet = static_cast<int>(found->second) + 1;
        const sheet_range& r = *entry.range;
        add_range(std::move(entry.name), range_bounds{sheet, static_cast<int>(r.row1), static_cast<int>(r.column1),
                                                       sheet, static_cast<int>(r.row2), static_cast<int>(r.column2)});
    }
    names_.clear();
    names_.shrink_to_fit();
}

std::vector<std::string> zip_workbook::sheet_names() const {
    const std::size_t named = sheets_.size() < sheet_limit ? sheets_.size() : sheet_limit;
    return std::vector<std::string>(sheets_.begin(), sheets_.begin() + static_cast<std::ptrdiff_t>(named));
}

}  // namespace fv
