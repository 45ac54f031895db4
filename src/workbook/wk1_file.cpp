#include "workbook/wk1_file.h"

#include "util/text_error.h"

namespace fv {

void wk1_file::load() { throw text_error("wk1_file::load not built yet"); }

}  // namespace fv
