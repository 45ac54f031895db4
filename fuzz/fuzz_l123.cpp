// Arbitrary bytes through the L123_file reader and every query on what loaded.
#include "reader_fuzz.h"
#include "workbook/l123_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fv::fuzz::run_reader<fv::L123_file>(data, size, &fv::L123_file::load_bytes);
}
