// Feeds arbitrary bytes to the XLS reader as its workbook stream, then reads
// every name and cell the way the range parser would.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "util/text_error.h"
#include "workbook/xls_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fv::xls_reader book("");
    try {
        book.load_stream(std::vector<unsigned char>(data, data + size));
        for (const auto& name : book.range_names()) {
            fv::range_bounds bounds;
            book.find_range(name, bounds);
        }
        book.use_cursor_addressing();
        for (const auto& address : book.data_cell_addresses()) {
            const std::string address_text = address.to_text();
            std::string text;
            double number = 0;
            try {
                book.move_cursor(address_text);
                book.read_current_cell(text);
                book.read_current_cell(number);
            } catch (const fv::text_error&) {
                // a damaged string table reports itself on reading
            }
        }
    } catch (const fv::text_error&) {
    }
    return 0;
}
