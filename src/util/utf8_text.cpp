// UTF-8 decoding and encoding by hand: the few operations the displays need
// (counting and cutting by characters) are simpler than any library's API.
#include "util/utf8_text.h"

#include <algorithm>

namespace fv {

void append_utf8(std::string& out, char32_t c) {
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = replacement_character;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

char32_t next_code_point(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, smallest = 0x10000;
    }
    if (length == 0 || text.size() - at < length) {
        ++at;
        return replacement_character;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned next = byte(at + i);
        if ((next & 0xC0) != 0x80) {
            ++at;
            return replacement_character;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++at;
        return replacement_character;
    }
    at += length;
    return value;
}

std::size_t character_count(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) next_code_point(text, at);
    return count;
}

std::size_t prefix_bytes(std::string_view text, std::size_t characters) {
    std::size_t at = 0;
    for (std::size_t n = 0; n < characters && at < text.size(); ++n) next_code_point(text, at);
    return at;
}

std::string_view first_characters(std::string_view text, std::size_t characters) {
    return text.substr(0, prefix_bytes(text, characters));
}

std::string_view first_bytes(std::string_view text, std::size_t max_bytes) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t next = at;
        next_code_point(text, next);
        if (next > max_bytes) break;
        at = next;
    }
    return text.substr(0, at);
}

bool is_valid_utf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        char32_t code = length == 1 ? c : c & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = code << 6 | (next & 0x3F);
        }
        const char32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < shortest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += length;
    }
    return true;
}

std::string valid_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) append_utf8(out, next_code_point(text, at));
    return out;
}

std::string utf16_to_utf8(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            append_utf8(out, unit);  // a lone surrogate becomes U+FFFD
        }
    }
    return out;
}

std::string latin1_to_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) append_utf8(out, static_cast<unsigned char>(c));
    return out;
}

bool is_control_character(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

std::string with_controls_blanked(std::string_view text) {
    // Most texts are printable ASCII, which stays as it is.
    if (std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t from = at;
        if (is_control_character(next_code_point(text, at)))
            out += ' ';
        else
            out.append(text, from, at - from);
    }
    return out;
}

}  // namespace fv
