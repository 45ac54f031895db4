// Arbitrary bytes through the lotus123_reader reader and every query on what loaded.
#include "reader_fuzz.h"
#include "workbook/lotus123_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fv::fuzz::run_reader<fv::lotus123_reader>(data, size, &fv::lotus123_reader::load_bytes);
}
