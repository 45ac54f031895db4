// Arbitrary bytes through the wk3_reader reader and every query on what loaded.
#include "reader_fuzz.h"
#include "workbook/wk3_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fv::fuzz::run_reader<fv::wk3_reader>(data, size, &fv::wk3_reader::load_bytes);
}
