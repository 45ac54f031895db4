// One careful read of a whole spreadsheet file.
#include "workbook/file_image.h"

#include <unistd.h>

#include <cerrno>

#include "util/file_io.h"
#include "util/text_error.h"

namespace fv {

std::vector<unsigned char> read_file_start(const std::string& path, std::size_t count) {
    if (path.empty()) return {};
    const opened_file opened = open_regular_file(path, static_cast<std::size_t>(-1));
    if (opened.status != read_status::read) return {};
    std::vector<unsigned char> start(count);
    std::size_t filled = 0;
    while (filled < count) {
        const ssize_t got = ::read(opened.file.get(), start.data() + filled, count - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        filled += static_cast<std::size_t>(got);
    }
    start.resize(filled);
    return start;
}

std::string too_large_message(const std::string& path) {
    return "Spreadsheet file " + path + " is larger than 12 MB.";
}

std::vector<unsigned char> read_spreadsheet_file(const std::string& path, const std::string& unable) {
    return read_spreadsheet_file(path, unable, largest_spreadsheet_file, too_large_message(path));
}

std::vector<unsigned char> read_spreadsheet_file(const std::string& path, const std::string& unable,
                                                 std::size_t limit, const std::string& too_large) {
    if (path.empty()) throw text_error(unable);
    file_contents contents = read_regular_file(path, limit);
    if (contents.status == read_status::too_large) throw text_error(too_large);
    if (!contents) throw text_error(unable);
    return std::move(contents.bytes);
}

}  // namespace fv
