// Reading and writing the settings file's lines. Keys and section names are
// escaped with %XX (a blank is %20; a "\" that QSettings wrote reads as
// "/"); values with C-style backslash escapes, in double quotes when they hold
// ";", "," or "=" or begin or end with a blank; a value that is not UTF-8 text is written as
// @ByteArray(...), one beginning with "@" gets a second "@"; unquoted commas
// make a list, read back joined with ",". A double quote may carry a value
// over a line end, and ";" after a value starts a comment.
#include "app/ini_file.h"

#include "util/utf8_text.h"

#include <algorithm>
#include <cstdint>

namespace fv {

namespace {

bool is_hex(unsigned char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int hex_value(unsigned char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }
bool is_blank(unsigned char c) { return c == ' ' || c == '\t'; }
bool is_line_end(unsigned char c) { return c == '\n' || c == '\r'; }


// The UTF-16 code units of a text, as QSettings escapes them; bytes that are
// not UTF-8 count as one unit each.
std::vector<std::uint16_t> code_units(std::string_view text) {
    std::vector<std::uint16_t> units;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (length > 1 && i + length <= text.size() && is_valid_utf8(text.substr(i, length))) {
            char32_t code = c & (0x7F >> length);
            for (std::size_t k = 1; k < length; ++k) code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
            if (code >= 0x10000) {
                code -= 0x10000;
                units.push_back(static_cast<std::uint16_t>(0xD800 + (code >> 10)));
                units.push_back(static_cast<std::uint16_t>(0xDC00 + (code & 0x3FF)));
            } else {
                units.push_back(static_cast<std::uint16_t>(code));
            }
            i += length;
        } else {
            units.push_back(c);
            ++i;
        }
    }
    return units;
}

std::string hex_upper(unsigned value, int digits) {
    static const char numerals[] = "0123456789ABCDEF";
    std::string out(static_cast<std::size_t>(digits), '0');
    for (int k = digits - 1; k >= 0; --k, value >>= 4) out[static_cast<std::size_t>(k)] = numerals[value & 0xF];
    return out;
}

std::string hex_lower(unsigned value) {
    static const char numerals[] = "0123456789abcdef";
    std::string out;
    do out.insert(out.begin(), numerals[value & 0xF]);
    while ((value >>= 4) != 0);
    return out;
}

std::string escaped_key(const std::string& key) {
    std::string out;
    // QSettings writes "/" as a backslash, which reads back as an escape when
    // it ends the key; as %2F it reads back as "/" everywhere.
    for (const std::uint16_t unit : code_units(key)) {
        if ((unit >= 'a' && unit <= 'z') || (unit >= 'A' && unit <= 'Z') || (unit >= '0' && unit <= '9') ||
            unit == '_' || unit == '-' || unit == '.')
            out += static_cast<char>(unit);
        else if (unit <= 0xFF)
            out += "%" + hex_upper(unit, 2);
        else
            out += "%U" + hex_upper(unit, 4);
    }
    return out;
}

std::string unescaped_key(std::string_view raw) {
    std::string out;
    for (std::size_t i = 0; i < raw.size();) {
        const char c = raw[i];
        if (c == '\\') {
            out += '/';
            ++i;
            continue;
        }
        const bool wide = c == '%' && i + 1 < raw.size() && raw[i + 1] == 'U';
        const std::size_t first = i + (wide ? 2 : 1);
        const std::size_t digits = wide ? 4 : 2;
        bool escape = c == '%' && first + digits <= raw.size();
        for (std::size_t k = 0; escape && k < digits; ++k) escape = is_hex(static_cast<unsigned char>(raw[first + k]));
        if (!escape) {
            out += c;
            ++i;
            continue;
        }
        char32_t code = 0;
        for (std::size_t k = 0; k < digits; ++k) code = code << 4 | hex_value(static_cast<unsigned char>(raw[first + k]));
        append_utf8(out, code);
        i = first + digits;
    }
    return out;
}

std::string trimmed(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

std::string escaped_value(const std::string& value) {
    const bool text = is_valid_utf8(value) && value.find('\0') == std::string::npos;
    const std::string whole = !text ? "@ByteArray(" + value + ")" : !value.empty() && value[0] == '@' ? "@" + value
                                                                                                      : value;
    std::string out;
    bool needs_quotes = false;
    bool escape_next_if_hex = false;
    for (const char c : whole) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ';' || c == ',' || c == '=') needs_quotes = true;
        if (escape_next_if_hex && is_hex(byte)) {
            out += "\\x" + hex_lower(byte);
            continue;
        }
        escape_next_if_hex = false;
        switch (c) {
            case '\0': out += "\\0"; escape_next_if_hex = true; break;
            case '\a': out += "\\a"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '\v': out += "\\v"; break;
            case '"':
            case '\\': out += '\\'; out += c; break;
            default:
                // Text keeps its UTF-8 bytes; the bytes of a byte array are escaped.
                if (byte <= 0x1F || (byte >= 0x7F && !text)) {
                    out += "\\x" + hex_lower(byte);
                    escape_next_if_hex = true;
                } else {
                    out += c;
                }
        }
    }
    if (needs_quotes || (!out.empty() && (out.front() == ' ' || out.back() == ' '))) out = '"' + out + '"';
    return out;
}

// A value's text after its "=": escapes undone, quotes removed, blanks around
// unquoted parts dropped; unquoted commas make it a list.
class value_reader {
public:
    value_reader(std::string_view raw, bool bytes) : raw_(raw), bytes_(bytes) {}

    std::vector<std::string> read() {
        skip_blanks();
        std::size_t chop_limit = 0;
        bool chop_at_end = true;
        while (at_ < raw_.size()) {
            const char c = raw_[at_];
            if (c == '\\') {
                ++at_;
                if (at_ >= raw_.size()) {
                    chop_at_end = false;
                    break;
                }
                if (!escape(raw_[at_++])) {
                    chop_at_end = false;
                    break;
                }
                chop_limit = current_.size();
            } else if (c == '"') {
                ++at_;
                quoted_ = true;
                in_quotes_ = !in_quotes_;
                if (!in_quotes_) skip_blanks();
                chop_limit = current_.size();
            } else if (c == ',' && !in_quotes_) {
                if (!quoted_) chop_blanks(chop_limit);
                elements_.push_back(std::move(current_));
                current_.clear();
                quoted_ = false;
                ++at_;
                skip_blanks();
                chop_limit = 0;
            } else {
                std::size_t end = at_ + 1;
                while (end < raw_.size() && raw_[end] != '\\' && raw_[end] != '"' && raw_[end] != ',') ++end;
                current_.append(raw_.substr(at_, end - at_));
                at_ = end;
            }
        }
        if (chop_at_end && !quoted_) chop_blanks(chop_limit);
        elements_.push_back(std::move(current_));
        return std::move(elements_);
    }

private:
    void skip_blanks() {
        while (at_ < raw_.size() && is_blank(static_cast<unsigned char>(raw_[at_]))) ++at_;
    }
    void chop_blanks(std::size_t limit) {
        while (current_.size() > limit && is_blank(static_cast<unsigned char>(current_.back()))) current_.pop_back();
    }
    void add_unit(std::uint16_t unit) {
        if (bytes_)
            current_ += static_cast<char>(unit <= 0xFF ? unit : '?');
        else
            append_utf8(current_, unit);
    }

    // One escape after its backslash; false when the value ends inside it.
    bool escape(char c) {
        static const char codes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'},  {'t', '\t'},
                                        {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
        for (const auto& code : codes)
            if (c == code[0]) {
                current_ += code[1];
                return true;
            }
        if (c == 'x') {
            if (at_ >= raw_.size()) return false;
            if (!is_hex(static_cast<unsigned char>(raw_[at_]))) return true;
            std::uint16_t unit = 0;
            while (at_ < raw_.size() && is_hex(static_cast<unsigned char>(raw_[at_])))
                unit = static_cast<std::uint16_t>(unit << 4 | hex_value(static_cast<unsigned char>(raw_[at_++])));
            add_unit(unit);
            return at_ < raw_.size();
        }
        if (c >= '0' && c <= '7') {
            std::uint16_t unit = static_cast<std::uint16_t>(c - '0');
            while (at_ < raw_.size() && raw_[at_] >= '0' && raw_[at_] <= '7')
                unit = static_cast<std::uint16_t>(unit << 3 | (raw_[at_++] - '0'));
            add_unit(unit);
            return at_ < raw_.size();
        }
        if (is_line_end(static_cast<unsigned char>(c)) && at_ < raw_.size()) {
            const char next = raw_[at_];
            if (is_line_end(static_cast<unsigned char>(next)) && next != c) ++at_;  // a line carried on
        }
        return true;  // any other escaped character is dropped
    }

    std::string_view raw_;
    bool bytes_;
    std::size_t at_ = 0;
    std::string current_;
    std::vector<std::string> elements_;
    bool in_quotes_ = false;
    bool quoted_ = false;
};

bool starts_with(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }

std::optional<std::string> unescaped_value(std::string_view raw) {
    std::string_view head = raw;
    while (!head.empty() && is_blank(static_cast<unsigned char>(head.front()))) head.remove_prefix(1);
    if (!head.empty() && head.front() == '"') head.remove_prefix(1);
    std::vector<std::string> elements = value_reader(raw, starts_with(head, "@ByteArray(")).read();
    if (elements.size() > 1) {
        std::string joined;
        for (std::size_t k = 0; k < elements.size(); ++k) {
            if (k > 0) joined += ',';
            joined += starts_with(elements[k], "@@") ? elements[k].substr(1) : elements[k];
        }
        return joined;
    }
    std::string& value = elements.front();
    if (!value.empty() && value.front() == '@' && value.back() == ')') {
        if (starts_with(value, "@ByteArray(")) return value.substr(11, value.size() - 12);
        if (starts_with(value, "@String(")) return value.substr(8, value.size() - 9);
        if (value == "@Invalid()") return std::nullopt;
    }
    if (starts_with(value, "@@")) return value.substr(1);
    return value;
}

std::string line_end_of(const std::string& raw) {
    if (raw.size() >= 2 && raw.compare(raw.size() - 2, 2, "\r\n") == 0) return "\r\n";
    if (!raw.empty() && is_line_end(static_cast<unsigned char>(raw.back()))) return std::string(1, raw.back());
    return "";
}

std::string section_heading(const std::string& section) {
    if (section.empty()) return "[General]";
    const std::string name = escaped_key(section);
    if (name.size() == 7 && std::equal(name.begin(), name.end(), "general", [](char a, char b) {
            return (a | 0x20) == b;
        }))
        return "[%" + name + "]";
    return "[" + name + "]";
}

}  // namespace

std::string ini_entry_text(const std::string& key, const std::string& value) {
    return escaped_key(key) + "=" + escaped_value(value);
}

ini_file::ini_file(std::string_view text) { read(text); }

void ini_file::read(std::string_view text) {
    std::string section;
    std::size_t at = 0;
    // Where the physical line that `from` is on ends, its line end included.
    auto line_end_after = [&](std::size_t from) {
        while (from < text.size() && !is_line_end(static_cast<unsigned char>(text[from]))) ++from;
        if (from < text.size() && text[from] == '\r') {
            ++from;
            if (from < text.size() && text[from] == '\n') ++from;
        } else if (from < text.size()) {
            ++from;
        }
        return from;
    };
    if (starts_with(text, "\xef\xbb\xbf")) {
        lines_.push_back({line_kind::other, "\xef\xbb\xbf", section, {}, {}});
        at = 3;
    }
    while (at < text.size()) {
        line current;
        std::size_t first = at;
        while (first < text.size() && is_blank(static_cast<unsigned char>(text[first]))) ++first;
        const char c = first < text.size() ? text[first] : '\n';
        std::size_t end;
        if (is_line_end(static_cast<unsigned char>(c)) || c == '#' || c == ';') {
            end = line_end_after(first);  // blank line or comment
        } else if (c == '[') {
            end = line_end_after(first);
            const std::string_view whole = text.substr(first, end - first);
            const std::size_t closing = whole.find(']');
            if (closing == std::string_view::npos) damaged_ = true;
            const std::string name = trimmed(whole.substr(1, closing == std::string_view::npos ? whole.size() - 1
                                                                                                 : closing - 1));
            if (name.size() == 7 && std::equal(name.begin(), name.end(), "general", [](char a, char b) {
                    return (a | 0x20) == b;
                }))
                section.clear();
            else if (name.size() == 8 && name[0] == '%' &&
                     std::equal(name.begin() + 1, name.end(), "general", [](char a, char b) { return (a | 0x20) == b; }))
                section = name.substr(1);
            else
                section = unescaped_key(name);
            current.kind = line_kind::section;
        } else {
            // key=value; quotes may carry the value over line ends, ";" ends it.
            std::size_t equals = std::string_view::npos;
            std::size_t value_end = std::string_view::npos;
            bool in_quotes = false;
            bool after_escape = false;
            std::size_t k = first;
            while (k < text.size() && value_end == std::string_view::npos) {
                const char ch = text[k];
                // A backslash that ends the file or carries the value over a line end.
                after_escape = ch == '\\' && (k + 1 >= text.size() || is_line_end(static_cast<unsigned char>(text[k + 1])));
                if (ch == '=' && !in_quotes && equals == std::string_view::npos) {
                    equals = k++;
                } else if (ch == '\\') {
                    k += 2;
                    if (k < text.size() && is_line_end(static_cast<unsigned char>(text[k - 1])) &&
                        is_line_end(static_cast<unsigned char>(text[k])) && text[k] != text[k - 1])
                        ++k;
                } else if (ch == '"') {
                    in_quotes = !in_quotes;
                    ++k;
                } else if (!in_quotes && (is_line_end(static_cast<unsigned char>(ch)) || ch == ';')) {
                    value_end = k;
                } else {
                    ++k;
                }
            }
            k = std::min(k, text.size());
            // Still inside quotes or an escape at the end of the file: a line
            // added after it would be read as part of its value.
            const bool unfinished = value_end == std::string_view::npos && (in_quotes || after_escape);
            if (value_end == std::string_view::npos) value_end = k;
            end = line_end_after(value_end);
            if (equals == std::string_view::npos || unfinished) {
                damaged_ = true;
            } else {
                current.kind = line_kind::entry;
                current.key = unescaped_key(trimmed(text.substr(first, equals - first)));
                current.value = unescaped_value(text.substr(equals + 1, value_end - equals - 1));
            }
        }
        current.raw = std::string(text.substr(at, end - at));
        current.section = section;
        lines_.push_back(std::move(current));
        at = end;
    }
}

std::optional<std::string> ini_file::value(const std::string& section, const std::string& key) const {
    for (auto it = lines_.rbegin(); it != lines_.rend(); ++it)
        if (it->kind == line_kind::entry && it->section == section && it->key == key) return it->value;
    return std::nullopt;
}

void ini_file::set(const std::string& section, const std::string& key, const std::string& value) {
    const std::string entry = ini_entry_text(key, value);
    for (auto it = lines_.rbegin(); it != lines_.rend(); ++it) {
        if (it->kind == line_kind::entry && it->section == section && it->key == key) {
            it->raw = entry + line_end_of(it->raw);
            it->value = value;
            return;
        }
    }
    line added{line_kind::entry, entry + "\n", section, key, value};
    // After the section's last value, or its heading.
    std::size_t after = lines_.size();
    for (std::size_t n = 0; n < lines_.size(); ++n)
        if (lines_[n].section == section && lines_[n].kind != line_kind::other) after = n;
    if (after == lines_.size()) {
        if (!lines_.empty()) {
            if (line_end_of(lines_.back().raw).empty()) lines_.back().raw += "\n";
            lines_.push_back({line_kind::other, "\n", lines_.back().section, {}, {}});
        }
        lines_.push_back({line_kind::section, section_heading(section) + "\n", section, {}, {}});
        lines_.push_back(std::move(added));
        return;
    }
    if (line_end_of(lines_[after].raw).empty()) lines_[after].raw += "\n";
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(after + 1), std::move(added));
}

std::string ini_file::text() const {
    std::string out;
    for (const line& each : lines_) out += each.raw;
    return out;
}

ini_file ini_file::readable_values() const {
    ini_file clean;
    for (const line& each : lines_)
        if (each.kind == line_kind::entry && each.value) clean.set(each.section, each.key, *each.value);
    return clean;
}

}  // namespace fv
