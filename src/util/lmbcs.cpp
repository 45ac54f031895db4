// LMBCS groups are decoded through the code pages they stand for; the
// single-byte groups become tables once, the double-byte ones go through
// iconv a character at a time.
#include "util/lmbcs.h"

#include <unordered_map>
#include <utility>

#include "util/code_page.h"
#include "util/utf8_text.h"

namespace fv {

namespace {

enum group : unsigned char {
    group_latin1 = 0x01,
    group_greek = 0x02,
    group_hebrew = 0x03,
    group_arabic = 0x04,
    group_cyrillic = 0x05,
    group_latin2 = 0x06,
    group_turkish = 0x08,
    group_thai = 0x0B,
    group_control = 0x0F,
    group_japanese = 0x10,
    group_korean = 0x11,
    group_chinese_traditional = 0x12,
    group_chinese_simplified = 0x13,
    group_unicode = 0x14,
};

constexpr unsigned char tab = 0x09, line_feed = 0x0A, carriage_return = 0x0D;
// Control characters are written after group 0x0F moved up by this much.
constexpr unsigned char control_offset = 0x20;
// In group 0x14 a zero low byte is written as this, before the high byte.
constexpr unsigned char unicode_zero = 0xF6;

// The code page of a single-byte group; nullptr for other groups.
const char* single_byte_page(unsigned g) {
    switch (g) {
        case group_latin1: return "IBM850";
        case group_greek: return "IBM851";
        case group_hebrew: return "CP1255";
        case group_arabic: return "CP1256";
        case group_cyrillic: return "CP1251";
        case group_latin2: return "IBM852";
        case group_turkish: return "CP1254";
        case group_thai: return "CP874";
        default: return nullptr;
    }
}

const char* double_byte_page(unsigned g) {
    switch (g) {
        case group_japanese: return "CP932";
        case group_korean: return "CP949";
        case group_chinese_traditional: return "CP950";
        case group_chinese_simplified: return "CP936";
        default: return nullptr;
    }
}

// Single-byte groups in the order a character is looked for when writing.
constexpr unsigned char writing_order[] = {group_latin1, group_latin2, group_greek, group_cyrillic,
                                           group_turkish, group_hebrew, group_arabic, group_thai};
// Double-byte groups likewise; Han characters go to the first that has them.
constexpr unsigned char double_byte_writing_order[] = {group_chinese_traditional, group_japanese,
                                                       group_chinese_simplified, group_korean};

// For every character of a single-byte group's upper half: its group and byte.
const std::unordered_map<char32_t, std::pair<unsigned char, unsigned char>>& single_byte_characters() {
    static const auto table = [] {
        std::unordered_map<char32_t, std::pair<unsigned char, unsigned char>> t;
        for (const unsigned char g : writing_order) {
            const byte_table& page = single_byte_table(single_byte_page(g));
            for (unsigned b = 0x80; b < 0x100; ++b)
                if (page[b] != replacement_character) t.emplace(page[b], std::make_pair(g, static_cast<unsigned char>(b)));
        }
        return t;
    }();
    return table;
}

bool is_group_byte(unsigned char b) { return b != 0 && b < 0x20 && b != tab && b != line_feed && b != carriage_return; }

// The bytes as one character of a page, in UTF-8; empty when they are not exactly one.
std::string one_character(std::string_view bytes, const char* page) {
    const std::string decoded = decode_with_iconv(bytes, page);
    std::size_t end = 0;
    if (!decoded.empty()) next_code_point(decoded, end);
    return !decoded.empty() && end == decoded.size() && decoded != "\xef\xbf\xbd" ? decoded : std::string();
}

// A character of a double-byte page without a group byte (the file's default
// group): a lead byte with its trail byte, or a byte that is a character alone.
// Returns the bytes used.
std::size_t default_double_byte(std::string_view bytes, const char* page, std::string& out) {
    if (bytes.size() >= 2) {
        const std::string pair = one_character(bytes.substr(0, 2), page);
        if (!pair.empty()) {
            out += pair;
            return 2;
        }
    }
    const std::string single = one_character(bytes.substr(0, 1), page);
    if (single.empty()) append_utf8(out, replacement_character);
    out += single;
    return 1;
}

}  // namespace

std::string lmbcs_to_utf8(std::string_view bytes, unsigned default_group) {
    if (!single_byte_page(default_group) && !double_byte_page(default_group)) default_group = group_latin1;
    const byte_table* default_table =
        single_byte_page(default_group) ? &single_byte_table(single_byte_page(default_group)) : nullptr;
    std::string out;
    out.reserve(bytes.size());
    const auto at_ = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char b = at_(i);
        if (b == 0) break;
        if (b >= 0x80) {
            if (default_table != nullptr) {
                append_utf8(out, (*default_table)[b]);
                ++i;
            } else {
                i += default_double_byte(bytes.substr(i), double_byte_page(default_group), out);
            }
            continue;
        }
        if (!is_group_byte(b)) {
            append_utf8(out, b);
            ++i;
            continue;
        }
        const std::size_t left = bytes.size() - i - 1;  // bytes after the group byte
        const unsigned char d1 = left >= 1 ? at_(i + 1) : 0;
        if (const char* page = single_byte_page(b)) {
            if (d1 >= 0x80) {
                append_utf8(out, single_byte_table(page)[d1]);
                i += 2;
            } else {
                // Lotus's own lower-half additions are not decoded.
                append_utf8(out, replacement_character);
                i += d1 >= 0x20 ? 2 : 1;
            }
        } else if (b == group_control) {
            append_utf8(out, d1 >= control_offset && d1 < control_offset + 0x20 ? d1 - control_offset
                                                                                 : replacement_character);
            i += d1 >= 0x20 ? 2 : 1;
        } else if (const char* page = double_byte_page(b)) {
            // A doubled group byte announces a single byte of the page.
            const bool single = d1 == b && left >= 2;
            if (single || (d1 >= 0x20 && left >= 2)) {
                const std::string character =
                    one_character(single ? bytes.substr(i + 2, 1) : bytes.substr(i + 1, 2), page);
                if (character.empty()) append_utf8(out, replacement_character);
                out += character;
                i += 3;
            } else {
                append_utf8(out, replacement_character);
                i += d1 >= 0x20 ? 2 : 1;  // a lead byte cut short by the end of the text
            }
        } else if (b == group_unicode && left >= 2) {
            const auto unit_at = [&](std::size_t j) {
                return at_(j) == unicode_zero ? static_cast<char16_t>(at_(j + 1) << 8)
                                              : static_cast<char16_t>((at_(j) << 8) | at_(j + 1));
            };
            std::u16string units(1, unit_at(i + 1));
            i += 3;
            // A surrogate pair takes two group 0x14 characters.
            if (units[0] >= 0xD800 && units[0] <= 0xDBFF && bytes.size() - i >= 3 && at_(i) == group_unicode) {
                units.push_back(unit_at(i + 1));
                i += 3;
            }
            out += utf16_to_utf8(units);
        } else {
            append_utf8(out, replacement_character);
            i += d1 >= 0x20 ? 2 : 1;
        }
    }
    return out;
}

std::string utf8_to_lmbcs(std::string_view text, std::size_t max_bytes, bool& cut) {
    std::string out;
    cut = false;
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = next_code_point(text, at);
        if (c == 0) break;
        std::string bytes;
        if (c >= 0x20 && c < 0x80) {
            bytes.push_back(static_cast<char>(c));
        } else if (c == tab || c == line_feed || c == carriage_return) {
            bytes.push_back(static_cast<char>(c));
        } else if (c < 0x20) {
            bytes = {static_cast<char>(group_control), static_cast<char>(c + control_offset)};
        } else if (const auto found = single_byte_characters().find(c); found != single_byte_characters().end()) {
            // Group 1 is the default group: its bytes need no group byte.
            if (found->second.first != group_latin1) bytes.push_back(static_cast<char>(found->second.first));
            bytes.push_back(static_cast<char>(found->second.second));
        } else {
            for (const unsigned char g : double_byte_writing_order) {
                const std::string encoded = encode_with_iconv(c, double_byte_page(g));
                if (encoded.size() == 2 && static_cast<unsigned char>(encoded[1]) >= 0x20) {
                    bytes = std::string(1, static_cast<char>(g)) + encoded;
                    break;
                }
                if (encoded.size() == 1 && static_cast<unsigned char>(encoded[0]) >= 0x80) {
                    bytes = {static_cast<char>(g), static_cast<char>(g), encoded[0]};
                    break;
                }
            }
            if (bytes.empty()) bytes = "?";
        }
        if (out.size() + bytes.size() > max_bytes) {
            cut = true;
            break;
        }
        out += bytes;
    }
    return out;
}

}  // namespace fv
