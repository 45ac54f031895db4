// Text inside the program is UTF-8. Display lines are laid out in columns of
// characters, and a character is one Unicode code point: widths, padding,
// centring and cutting count code points and never split one. A byte that
// does not begin a valid UTF-8 sequence (a file name in another encoding)
// counts as one character of its own. East Asian wide characters count as
// one column like any other; a fixed-pitch view draws them wider.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fv {

inline constexpr char32_t replacement_character = 0xFFFD;

// Appends the UTF-8 form of a code point; a surrogate or a value beyond
// U+10FFFF is appended as U+FFFD.
void append_utf8(std::string& out, char32_t code_point);

// The code point that starts at `at`, which moves past it. A byte that does
// not start a valid, shortest-form sequence reads as U+FFFD and moves one byte.
char32_t next_code_point(std::string_view text, std::size_t& at);

// Characters in the text.
std::size_t character_count(std::string_view text);

// Bytes taken by the first `characters` characters (the whole text when it is shorter).
std::size_t prefix_bytes(std::string_view text, std::size_t characters);

// The first `characters` characters.
std::string_view first_characters(std::string_view text, std::size_t characters);

// The longest prefix of at most `max_bytes` bytes that ends between two characters.
std::string_view first_bytes(std::string_view text, std::size_t max_bytes);

// Whether the text is valid, shortest-form UTF-8 holding no surrogate.
bool is_valid_utf8(std::string_view text);

// The text with every byte that is not part of valid UTF-8 replaced by U+FFFD.
std::string valid_utf8(std::string_view text);

// UTF-16 code units as UTF-8: surrogate pairs are joined, a lone surrogate becomes U+FFFD.
std::string utf16_to_utf8(std::u16string_view units);

// Bytes whose values are their own code points (ISO 8859-1) as UTF-8.
std::string latin1_to_utf8(std::string_view bytes);

// Control characters (C0, DEL, C1) and the Unicode line and paragraph
// separators: anything that would break or hide a line of text.
bool is_control_character(char32_t code_point);

// The text with every control character replaced by a blank; all other bytes
// are kept as they are, invalid ones included.
std::string with_controls_blanked(std::string_view text);

}  // namespace fv
