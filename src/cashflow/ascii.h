// Character tests of the input vocabulary. Keywords are plain ASCII and must
// be recognised the same whatever locale the user runs in (a Turkish locale
// upper-cases "i" to a letter outside ASCII), so no <cctype> here.
#pragma once

namespace fv {

inline char ascii_upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
inline bool ascii_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace fv
