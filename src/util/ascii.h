// Character tests and case-insensitive comparison for keywords, range names,
// file extensions and the other plain-ASCII words the program recognises.
// They must behave the same whatever locale the user runs in (the desktop
// runs in the user's locale, and a Turkish one upper-cases "i" to a letter
// outside ASCII), so no <cctype>: only A-Z and a-z fold, every other byte
// compares as it is.
#pragma once

#include <string_view>

namespace fv {

inline char ascii_upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
inline char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
inline bool ascii_digit(char c) { return c >= '0' && c <= '9'; }
inline bool ascii_letter(char c) { return ascii_upper(c) >= 'A' && ascii_upper(c) <= 'Z'; }
// The first character in upper case; '\0' for an empty text.
inline char first_upper(std::string_view text) { return text.empty() ? '\0' : ascii_upper(text.front()); }

// Whether the two texts are equal when case is ignored.
inline bool equal_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ascii_upper(a[i]) != ascii_upper(b[i])) return false;
    return true;
}

// Whether the text begins with the whole prefix when case is ignored.
inline bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equal_ignoring_case(text.substr(0, prefix.size()), prefix);
}

// Whether the text ends with the whole suffix when case is ignored.
inline bool ends_with_ignoring_case(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && equal_ignoring_case(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace fv
