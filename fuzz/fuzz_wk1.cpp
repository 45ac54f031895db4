// Arbitrary bytes through the wk1_reader reader and every query on what loaded.
#include "reader_fuzz.h"
#include "workbook/wk1_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fv::fuzz::run_reader<fv::wk1_reader>(data, size, &fv::wk1_reader::load_bytes);
}
