// Arbitrary bytes as an ODS file: what the front sees in the package, then
// the reader on the whole image and every query on what loaded.
#include "reader_fuzz.h"
#include "workbook/ods_reader.h"
#include "workbook/workbook_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fv::zip_content_of(std::vector<unsigned char>(data, data + size));
    return fv::fuzz::run_reader<fv::ods_reader>(data, size, &fv::ods_reader::load_image);
}
