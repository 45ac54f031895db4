#include "workbook/wk3_file.h"

#include "util/text_error.h"

namespace fv {

void wk3_file::load() { throw text_error("wk3_file::load not built yet"); }

}  // namespace fv
