// Old single-byte and double-byte code pages (Windows, DOS, Macintosh) to
// and from UTF-8, through the C library's iconv. Single-byte pages are turned
// into a table once and then looked up byte by byte.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace fv {

// The code point of every byte of a single-byte code page (U+FFFD where the
// page has no character), by iconv's name for the page ("CP1252", "IBM850").
using byte_table = std::array<char32_t, 256>;
const byte_table& single_byte_table(const char* iconv_name);

// Bytes of a single-byte page as UTF-8.
std::string decode_single_byte(std::string_view bytes, const byte_table& table);

// Bytes of any page iconv knows as UTF-8; a byte that starts no character
// becomes U+FFFD and decoding goes on after it.
std::string decode_with_iconv(std::string_view bytes, const char* iconv_name);

// The bytes of one character in a page iconv knows; empty when the page has none.
std::string encode_with_iconv(char32_t code_point, const char* iconv_name);

// Text stored in a workbook's code page, by the number spreadsheet files give
// it (1252 Windows Latin 1, 10000 Macintosh Roman, 1200 UTF-16, ...). An
// unknown number reads as 1252.
std::string decode_code_page(std::string_view bytes, unsigned code_page);

}  // namespace fv
