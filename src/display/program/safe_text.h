// Texts that come from a spreadsheet cell (names, descriptions, paths, message
// texts) go into line-oriented files. A line break or other control character
// in such a text would start a new line the reader did not expect, so the
// file writers pass every such text through here first.
#pragma once

#include <string>
#include <string_view>

namespace fv {

// The text with every control character (C0 and C1 controls, DEL, and the
// Unicode line and paragraph separators) replaced by a blank; all other
// bytes are kept.
std::string safe_text(std::string_view text);

}  // namespace fv
