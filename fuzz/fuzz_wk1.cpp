// Arbitrary bytes through the wk1_file reader and every query on what loaded.
#include "reader_fuzz.h"
#include "workbook/wk1_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fv::fuzz::run_reader<fv::wk1_file>(data, size, &fv::wk1_file::load_bytes);
}
