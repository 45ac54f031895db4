#include "workbook/workbook_reader.h"

#include <cctype>
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

bool equal_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

workbook_reader::workbook_reader(const std::string& file_name) : path_(full_path(file_name)), file_date_(file_date_text(path_)) {}

}  // namespace fv
