// Arbitrary bytes as the topics file: its index and checksum are loaded from
// the bytes in memory, then every indexed topic and every topic the program
// asks for is looked up. Failures must be clean messages; offsets and lengths
// from the file must never lead a read outside it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "app/topics.h"
#include "util/text_error.h"

namespace {

const char* const asked_for[] = {"explain-views", "display-limits", "check-list", "process", "explain-flat-rate",
                                 "whats-new", "explain-preferences", "explain-output", "explain-create",
                                 "explain-rates", "explain-zero", "trouble-shooting", "compare-results"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;  // fmemopen wants at least one byte
    // The stream reads from this copy, which outlives it.
    std::vector<unsigned char> bytes(data, data + size);
    std::FILE* stream = ::fmemopen(bytes.data(), size, "rb");
    if (stream == nullptr) return 0;
    fv::topics help;
    try {
        help.load_stream(stream);
    } catch (const fv::text_error&) {
        // the index read so far is still looked into below
    }
    for (const fv::topics::entry& topic : help.index()) (void)help.lookup(topic.name);
    for (const char* name : asked_for) (void)help.lookup(name);
    return 0;
}
