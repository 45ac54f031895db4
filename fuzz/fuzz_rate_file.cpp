// Loads arbitrary bytes as a rate file (with and without checksums) and as an
// own-rate file; whatever loads is listed, saved to text, read back, and its
// first sets are built into factor tables. Failures must be clean messages.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "pv/cf_pvfact.h"
#include "rates/cr_rates.h"
#include "util/text_error.h"

namespace {

void build_some(const std::vector<fv::cr_rate_item>& sets) {
    std::size_t built = 0;
    for (const fv::cr_rate_item& set : sets) {
        if (++built > 2) break;
        fv::cf_pvfact pv;
        pv.set(&set);
        try {
            pv.make();
            const double amounts[] = {100.0, -25.0, 1e6};
            (void)pv.discount(3, 2, amounts, -6);
        } catch (const fv::text_error&) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (bool check : {true, false}) {
        fv::cr_rates rates;
        try {
            rates.load_common_text("fuzz", bytes, check);
        } catch (const fv::text_error&) {
            continue;
        }
        (void)rates.list_text(true);
        (void)rates.sheet_rows();
        (void)rates.find_budget_year(2001);
        fv::block_writer writer(1);
        fv::cr_rates again;
        try {
            again.load_common_text("again", rates.common_file_text(writer), true);
        } catch (const fv::text_error&) {
            // Titles that cannot be written (a quote, "//") are the one known way
            // a loaded set fails to round-trip.
        }
        build_some(rates.actual());
    }
    fv::cr_rates own;
    try {
        own.load_custom_text("fuzz", bytes);
    } catch (const fv::text_error&) {
        return 0;
    }
    fv::cr_rates again;
    try {
        again.load_custom_text("again", own.custom_file_text());
    } catch (const fv::text_error&) {
        __builtin_trap();  // what was read must read back
    }
    if (again.client().size() != own.client().size()) __builtin_trap();
    (void)own.list_text(false);
    build_some(own.client());
    return 0;
}
