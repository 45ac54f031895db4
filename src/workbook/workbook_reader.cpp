#include "workbook/workbook_reader.h"

#include <climits>
#include <cstdlib>
#include <memory>

#include "util/time_text.h"

namespace fv {

std::string full_path(const std::string& file_name) {
    if (file_name.empty()) return std::string();
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(file_name.c_str(), nullptr), &std::free);
    if (resolved) return std::string(resolved.get());
    // Not there (yet): resolve the folder and keep the last component.
    const auto slash = file_name.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : file_name.substr(0, slash));
    const std::string leaf = slash == std::string::npos ? file_name : file_name.substr(slash + 1);
    if (leaf.empty()) return std::string();
    std::unique_ptr<char, decltype(&std::free)> folder_path(::realpath(folder.c_str(), nullptr), &std::free);
    if (!folder_path) return std::string();
    std::string path(folder_path.get());
    if (path.back() != '/') path += '/';
    path += leaf;
    if (path.size() > 4096) return std::string();
    return path;
}

workbook_reader::workbook_reader(const std::string& file_name) : path_(full_path(file_name)), file_date_(file_date_text(path_)) {}

void workbook_reader::read_numbers_in_row(const cell_address& first, int count, cell_as_number* cells) {
    use_cursor_addressing();
    cell_address address = first;
    for (int n = 0; n < count; ++n) {
        address.column = static_cast<std::uint8_t>(first.column + n);
        cell_as_number& cell = cells[n];
        cell = cell_as_number{};
        cell.kind = move_cursor_to(address);
        if (cell.kind == kind_number) cell.read = read_current_cell(cell.value) == content_delivered;
    }
}

}  // namespace fv
