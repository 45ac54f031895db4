// Loads arbitrary bytes as a rate file (with and without checksums) and as an
// own-rate file; whatever loads is listed, saved to text, read back, and its
// first sets are built into factor tables. Failures must be clean messages.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "pv/present_value_factors.h"
#include "rates/rate_collection.h"
#include "util/text_error.h"

namespace {

void build_some(const std::vector<fv::rate_set>& sets) {
    std::size_t built = 0;
    for (const fv::rate_set& set : sets) {
        if (++built > 2) break;
        fv::present_value_factors pv;
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
        fv::rate_collection rates;
        try {
            rates.load_rate_file_text("fuzz", bytes, check);
        } catch (const fv::text_error&) {
            continue;
        }
        (void)rates.list_text(true);
        (void)rates.sheet_rows();
        (void)rates.find_budget_year(2001);
        fv::block_writer writer(1);
        fv::rate_collection again;
        try {
            again.load_rate_file_text("again", rates.rate_file_text(writer), true);
        } catch (const fv::text_error&) {
            // Titles that cannot be written (a quote, "//") are the one known way
            // a loaded set fails to round-trip.
        }
        build_some(rates.actual());
    }
    fv::rate_collection own;
    try {
        own.load_own_file_text("fuzz", bytes);
    } catch (const fv::text_error&) {
        return 0;
    }
    fv::rate_collection again;
    try {
        again.load_own_file_text("again", own.own_file_text());
    } catch (const fv::text_error&) {
        __builtin_trap();  // what was read must read back
    }
    if (again.own().size() != own.own().size()) __builtin_trap();
    (void)own.list_text(false);
    build_some(own.own());
    return 0;
}
