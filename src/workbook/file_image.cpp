// One careful read of a whole spreadsheet file.
#include "workbook/file_image.h"

#include "util/file_io.h"
#include "util/text_error.h"

namespace fv {

std::string too_large_message(const std::string& path) {
    return "Spreadsheet file " + path + " is larger than 12 MB.";
}

std::vector<unsigned char> read_spreadsheet_file(const std::string& path, const std::string& unable) {
    if (path.empty()) throw text_error(unable);
    file_contents contents = read_regular_file(path, largest_spreadsheet_file);
    if (contents.status == read_status::too_large) throw text_error(too_large_message(path));
    if (!contents) throw text_error(unable);
    return std::move(contents.bytes);
}

}  // namespace fv
