#include "workbook/l123_file.h"

#include "util/text_error.h"

namespace fv {

void L123_file::load() { throw text_error("L123_file::load not built yet"); }

}  // namespace fv
