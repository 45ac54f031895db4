#include "workbook/indexed_workbook.h"

#include <algorithm>

#include "util/ascii.h"
#include "util/text_error.h"

namespace fv {

namespace {
constexpr std::size_t npos = static_cast<std::size_t>(-1);
}

std::vector<std::string> indexed_workbook::range_names() {
    std::vector<std::string> names;
    for (const auto& range : ranges_)
        if (range.listed) names.push_back(range.name);
    return names;
}

bool indexed_workbook::find_range(std::string_view name, range_bounds& bounds) {
    for (const auto& range : ranges_) {
        if (!equal_ignoring_case(range.name, name)) continue;
        if (!range.bounds) return false;
        bounds = *range.bounds;
        return true;
    }
    return false;
}

void indexed_workbook::use_cursor_addressing() { cursor_addressing_ = true; }

int indexed_workbook::move_cursor(std::string_view address_text) {
    cursor_.set_from_text(address_text);
    cursor_found_ = false;
    return current_cell_kind();
}

int indexed_workbook::move_cursor_to(const cell_address& address) {
    // A parser asks for a cell's kind and then its content: one lookup serves both.
    if (!cursor_found_ || key_of(address) != key_of(cursor_)) {
        cursor_ = address;
        cursor_found_ = false;
    }
    return current_cell_kind();
}

std::size_t indexed_workbook::lower_bound(std::uint32_t key, std::size_t from, std::size_t to) const {
    const auto at = std::lower_bound(cells_.begin() + static_cast<std::ptrdiff_t>(from),
                                     cells_.begin() + static_cast<std::ptrdiff_t>(to), key,
                                     [](const data_cell& cell, std::uint32_t wanted) { return cell.key < wanted; });
    return static_cast<std::size_t>(at - cells_.begin());
}

std::size_t indexed_workbook::find(const cell_address& address) const {
    const std::uint32_t key = key_of(address);
    const std::size_t at = lower_bound(key, 0, cells_.size());
    return at < cells_.size() && cells_[at].key == key ? at : npos;
}

// A parser walks a range in order, a cell or a row at a time: the cell it asks
// for next lies at or a few places after the last one, so look there before
// searching the whole index.
std::size_t indexed_workbook::find_from_last_lookup(const cell_address& address) const {
    constexpr std::size_t nearby = 8;
    const std::uint32_t key = key_of(address);
    std::size_t at = std::min(last_lookup_, cells_.size());
    if (at < cells_.size() && cells_[at].key < key) {
        // Forward: along a row, or down to the next one.
        const std::size_t probe_end = std::min(cells_.size(), at + nearby);
        while (at < probe_end && cells_[at].key < key) ++at;
        if (at == probe_end && at < cells_.size() && cells_[at].key < key) at = lower_bound(key, at, cells_.size());
    } else {
        // Backward (or here): a row read from its right end.
        const std::size_t probe_end = at > nearby ? at - nearby : 0;
        while (at > probe_end && cells_[at - 1].key >= key) --at;
        if (at == probe_end && at > 0 && cells_[at - 1].key >= key) at = lower_bound(key, 0, at);
    }
    last_lookup_ = at;
    return at < cells_.size() && cells_[at].key == key ? at : npos;
}

std::size_t indexed_workbook::current() const {
    if (cursor_addressing_) {
        if (!cursor_found_) {
            cursor_at_ = find_from_last_lookup(cursor_);
            cursor_found_ = true;
        }
        return cursor_at_;
    }
    for (std::size_t at = 0; at < cells_.size(); ++at)
        if (cells_[at].record == first_record_) return at;
    return npos;
}

int indexed_workbook::read_cell(std::string_view address_text, std::string& text) {
    const std::size_t at = find(cell_address(address_text));
    return at == npos ? content_no_cell : cell_text(cells_[at].record, text);
}

int indexed_workbook::read_cell(std::string_view address_text, double& number) {
    const std::size_t at = find(cell_address(address_text));
    return at == npos ? content_no_cell : cell_number(cells_[at].record, number);
}

int indexed_workbook::read_current_cell(std::string& text) {
    const std::size_t at = current();
    return at == npos ? content_no_cell : cell_text(cells_[at].record, text);
}

int indexed_workbook::read_current_cell(double& number) {
    const std::size_t at = current();
    return at == npos ? content_no_cell : cell_number(cells_[at].record, number);
}

void indexed_workbook::read_numbers_in_row(const cell_address& first, int count, cell_as_number* cells) {
    use_cursor_addressing();
    std::fill(cells, cells + count, cell_as_number{});
    if (count <= 0) return;
    const std::uint32_t first_key = key_of(first);
    const std::uint32_t end_key = first_key + static_cast<std::uint32_t>(count);
    // Rows are read in order: the search starts where the last one ended.
    find_from_last_lookup(first);
    const std::size_t start = last_lookup_;
    std::size_t at = start;
    for (; at < cells_.size() && cells_[at].key < end_key; ++at) {
        const std::uint32_t key = cells_[at].key;
        // Of two cells at one coordinate the first in the index is the one a lookup finds.
        if (at > start && cells_[at - 1].key == key) continue;
        cell_as_number& cell = cells[key - first_key];
        cell.kind = cell_kind(cells_[at].record);
        if (cell.kind == kind_number) cell.read = cell_number(cells_[at].record, cell.value) == content_delivered;
    }
    last_lookup_ = at;
    cursor_found_ = false;
}

int indexed_workbook::current_cell_kind() {
    const std::size_t at = current();
    return at == npos ? kind_none : cell_kind(cells_[at].record);
}

std::vector<cell_address> indexed_workbook::data_cell_addresses() const {
    std::vector<cell_address> addresses;
    addresses.reserve(cells_.size());
    for (const auto& cell : cells_) {
        cell_address address(static_cast<std::uint8_t>(cell.key >> 24), static_cast<std::uint16_t>(cell.key >> 8),
                           static_cast<std::uint8_t>(cell.key));
        address.is_cell = 1;
        addresses.push_back(address);
    }
    return addresses;
}

void indexed_workbook::add_data_cell(const cell_address& address, std::size_t record) {
    // Records are positions in what a reader holds of a file of bounded size.
    if (record > UINT32_MAX) throw text_error("indexed_workbook::add_data_cell record beyond the index");
    if (cells_.empty()) first_record_ = record;
    cells_.push_back({key_of(address), static_cast<std::uint32_t>(record)});
    cursor_found_ = false;
}

void indexed_workbook::add_range(std::string name, const range_bounds& bounds, bool listed) {
    ranges_.push_back({std::move(name), bounds, listed});
}

void indexed_workbook::add_name_without_range(std::string name) {
    ranges_.push_back({std::move(name), std::nullopt, true});
}

void indexed_workbook::finish_index() {
    const auto before = [](const data_cell& a, const data_cell& b) { return a.key < b.key; };
    // Files are nearly always in order already; sorting would only cost a buffer as large as the index.
    if (!std::is_sorted(cells_.begin(), cells_.end(), before)) std::stable_sort(cells_.begin(), cells_.end(), before);
    cursor_found_ = false;
}

}  // namespace fv
