// The Lotus Multi-Byte Character Set of WK3, WK4 and 123 files, to and from
// UTF-8. Bytes 0x20-0x7F are ASCII; a byte below 0x20 announces the group of
// the bytes after it (1 DOS Latin-1 code page 850, 2 DOS Greek 851, 3 Hebrew
// 1255, 4 Arabic 1256, 5 Cyrillic 1251, 6 DOS Latin-2 852, 8 Turkish 1254,
// 0x0B Thai 874, 0x0F control characters, 0x10-0x13 the double-byte
// Japanese 932, Korean 949, Chinese 950 and 936, 0x14 UTF-16); a byte of 0x80
// or more without one belongs to the file's default group (the one its
// beginning-of-file record names, as a rule 1). Tab, line feed and carriage return
// stand for themselves. The lower halves of the single-byte groups (Lotus's
// own additions, group byte then a byte below 0x80) are not decoded: they read
// as U+FFFD, as does any other group.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fv {

// A default group that is no group of characters counts as group 1.
std::string lmbcs_to_utf8(std::string_view bytes, unsigned default_group = 1);

// At most `max_bytes` bytes of whole characters (never a NUL), for a file
// whose default group is 1. A character no group holds is written '?'. `cut`
// tells whether characters were left out for the limit.
std::string utf8_to_lmbcs(std::string_view text, std::size_t max_bytes, bool& cut);

}  // namespace fv
