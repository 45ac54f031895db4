// The upper half of LICS as published in the Lotus 1-2-3 Release 2 manuals.
// Positions whose character is not certain are left undefined rather than
// guessed: they read as U+FFFD.
#include "util/lics.h"

#include <array>
#include <unordered_map>

#include "util/utf8_text.h"

namespace fv {

namespace {

constexpr char32_t none = replacement_character;

// Code points of bytes 0x80 to 0xFF.
constexpr std::array<char32_t, 128> upper_half = {
    // 0x80: the accents of capital letters, standing alone
    0x0060, 0x00B4, 0x005E, 0x00A8, 0x007E, none, none, none, none, none, none, none, none, none, none, none,
    // 0x90: the accents of small letters, and the dotless i
    0x0060, 0x00B4, 0x005E, 0x00A8, 0x007E, 0x0131, none, none, none, none, none, none, none, none, none, none,
    // 0xA0
    0x0192, 0x00A1, 0x00A2, 0x00A3, 0x201C, 0x00A5, 0x20A7, 0x00A7,
    0x00A4, 0x00A9, 0x00AA, 0x00AB, 0x0394, 0x03C0, none, 0x00F7,
    // 0xB0
    0x00B0, 0x00B1, 0x00B2, 0x00B3, none, 0x00B5, none, 0x00B7,
    none, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, none, 0x00BF,
    // 0xC0: as ISO 8859-1
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    // 0xD0: as ISO 8859-1 but for the ligature OE and Y with diaeresis
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x0152,
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x0178, 0x00DE, 0x00DF,
    // 0xE0: as ISO 8859-1
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    // 0xF0: as ISO 8859-1 but for the ligature oe and y with diaeresis
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x0153,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FF, 0x00FE, none,
};

const std::unordered_map<char32_t, unsigned char>& encoding_table() {
    static const std::unordered_map<char32_t, unsigned char> table = [] {
        std::unordered_map<char32_t, unsigned char> t;
        // The small letters' accents (0x90-) are taken over the capitals' ones.
        for (unsigned b = 0xFF; b >= 0x80; --b)
            if (upper_half[b - 0x80] != none) t[upper_half[b - 0x80]] = static_cast<unsigned char>(b);
        return t;
    }();
    return table;
}

}  // namespace

std::string lics_to_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        append_utf8(out, b < 0x80 ? b : upper_half[b - 0x80]);
    }
    return out;
}

std::string utf8_to_lics(std::string_view text, std::size_t max_bytes, bool& cut) {
    std::string out;
    cut = false;
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = next_code_point(text, at);
        if (c == 0) break;
        if (out.size() >= max_bytes) {
            cut = true;
            break;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        const auto found = encoding_table().find(c);
        out.push_back(found != encoding_table().end() ? static_cast<char>(found->second) : '?');
    }
    return out;
}

}  // namespace fv
