// Feeds arbitrary bytes to the XLS reader as its workbook stream, then reads
// every name and cell the way the range parser would.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "util/text_error.h"
#include "workbook/xls_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fv::xls_file book("");
    try {
        book.load_stream(std::vector<unsigned char>(data, data + size));
        for (const auto& name : book.get_ranges()) {
            fv::range_bounds bounds;
            book.get_range_coord(name, bounds);
        }
        book.use_cursor();
        for (const auto& address : book.data_cell_addresses()) {
            const std::string coord = address.to_text();
            std::string text;
            double number = 0;
            try {
                book.set_cursor(coord);
                book.get_content(text);
                book.get_content(number);
            } catch (const fv::text_error&) {
                // a damaged string table reports itself on reading
            }
        }
    } catch (const fv::text_error&) {
    }
    return 0;
}
