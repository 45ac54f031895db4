// The Lotus International Character Set of WK1 files, to and from UTF-8.
// Bytes below 0x80 are ASCII; the upper half holds Latin letters (mostly where
// ISO 8859-1 has them), symbols and spacing accents. Bytes that have no
// character read as U+FFFD; characters LICS cannot hold are written '?'.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fv {

std::string lics_to_utf8(std::string_view bytes);

// At most `max_bytes` bytes (never a NUL); `cut` tells whether characters
// were left out for the limit.
std::string utf8_to_lics(std::string_view text, std::size_t max_bytes, bool& cut);

}  // namespace fv
