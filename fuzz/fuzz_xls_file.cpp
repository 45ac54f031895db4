// Feeds arbitrary bytes to the XLS reader as a whole file: the compound
// document container first, then the workbook stream found in it.
#include <glib.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "util/text_error.h"
#include "workbook/xls_reader.h"

namespace {
void quiet(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}
}  // namespace

// libgsf itself loses a few directory entries of a damaged container; those
// leaks are the library's, not the reader's, and must not stop the run. Its
// allocations come through glib, whose frames are all a fast unwind sees.
extern "C" const char* __lsan_default_suppressions() { return "leak:libgsf-1.so\nleak:libglib-2.0.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool silenced = [] {
        // Damaged containers make libgsf warn on every run; the warnings are noise here.
        g_log_set_default_handler(quiet, nullptr);
        return true;
    }();
    (void)silenced;
    fv::xls_reader book("");
    try {
        book.load_image(std::vector<unsigned char>(data, data + size));
        for (const auto& name : book.range_names()) {
            fv::range_bounds bounds;
            book.find_range(name, bounds);
        }
        for (const auto& address : book.data_cell_addresses()) {
            const std::string address_text = address.to_text();
            std::string text;
            double number = 0;
            try {
                book.read_cell(address_text, text);
                book.read_cell(address_text, number);
            } catch (const fv::text_error&) {
            }
        }
    } catch (const fv::text_error&) {
    }
    return 0;
}
