// Arbitrary bytes through the wk1_file reader and every query on what loaded.
#include "lotus_fuzz.h"
#include "workbook/wk1_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return fv::fuzz::run_lotus_reader<fv::wk1_file>(data, size);
}
