// Texts that come from a spreadsheet cell (names, descriptions, paths, message
// texts) go into line-oriented files, displays and print-outs. A line break,
// escape or other control character in such a text would start a new line the
// reader did not expect or drive a terminal, so every such text is passed
// through here first.
#pragma once

#include <string>
#include <string_view>

namespace fv {

// The text with every control character (C0 and C1 controls: CR, LF, tab,
// ESC, ...; DEL; the Unicode line and paragraph separators) replaced by a
// blank; all other bytes are kept.
std::string safe_text(std::string_view text);

// The safe text in double quotes, an embedded double quote doubled as CSV
// readers expect: say "hi" becomes "say ""hi""".
std::string quoted_text(std::string_view text);

}  // namespace fv
