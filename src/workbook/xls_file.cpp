#include "workbook/xls_file.h"

#include "util/text_error.h"

namespace fv {

void xls_file::load() { throw text_error("xls_file::load not built yet"); }

}  // namespace fv
