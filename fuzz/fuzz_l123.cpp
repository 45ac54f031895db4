// Arbitrary bytes through the L123_file reader and every query on what loaded.
#include "lotus_fuzz.h"
#include "workbook/l123_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fv::fuzz::run_lotus_reader<fv::L123_file>(data, size);
}
