// iconv converters are opened per call: conversions happen when a cell is
// read, a few at a time, and a converter held open would need a lock.
#include "util/code_page.h"

#include <errno.h>
#include <iconv.h>

#include <map>
#include <mutex>

#include "util/utf8_text.h"

namespace fv {

namespace {

enum : unsigned {
    code_page_ascii = 367,
    code_page_utf16 = 1200,
    code_page_windows_latin1 = 1252,
    code_page_mac_roman = 10000,
    code_page_ascii_windows = 20127,
    code_page_mac_roman_excel = 32768,
    code_page_windows_latin1_excel = 32769,
    code_page_utf8 = 65001,
};

struct converter {
    iconv_t handle;
    converter(const char* to, const char* from) : handle(::iconv_open(to, from)) {}
    ~converter() {
        if (valid()) ::iconv_close(handle);
    }
    converter(const converter&) = delete;
    converter& operator=(const converter&) = delete;
    bool valid() const { return handle != reinterpret_cast<iconv_t>(-1); }
};

// Converts as much as iconv can; stops at the first byte it cannot take.
// Returns the count of input bytes used.
std::size_t convert(converter& c, std::string_view in, std::string& out) {
    char* source = const_cast<char*>(in.data());
    std::size_t source_left = in.size();
    char buffer[256];
    while (source_left > 0) {
        char* target = buffer;
        std::size_t target_left = sizeof buffer;
        const std::size_t done = ::iconv(c.handle, &source, &source_left, &target, &target_left);
        out.append(buffer, static_cast<std::size_t>(target - buffer));
        if (done != static_cast<std::size_t>(-1)) break;
        if (errno != E2BIG) break;
    }
    return in.size() - source_left;
}

const char* iconv_name(unsigned code_page) {
    switch (code_page) {
        case 437: return "CP437";
        case 737: return "CP737";
        case 775: return "CP775";
        case 850: return "CP850";
        case 852: return "CP852";
        case 855: return "CP855";
        case 857: return "CP857";
        case 860: return "CP860";
        case 861: return "CP861";
        case 862: return "CP862";
        case 863: return "CP863";
        case 864: return "CP864";
        case 865: return "CP865";
        case 866: return "CP866";
        case 869: return "CP869";
        case 874: return "CP874";
        case 932: return "CP932";
        case 936: return "CP936";
        case 949: return "CP949";
        case 950: return "CP950";
        case 1250: return "CP1250";
        case 1251: return "CP1251";
        case 1253: return "CP1253";
        case 1254: return "CP1254";
        case 1255: return "CP1255";
        case 1256: return "CP1256";
        case 1257: return "CP1257";
        case 1258: return "CP1258";
        case 1361: return "CP1361";
        case code_page_mac_roman:
        case code_page_mac_roman_excel: return "MACINTOSH";
        default: return "CP1252";
    }
}

bool is_double_byte(unsigned code_page) {
    return code_page == 932 || code_page == 936 || code_page == 949 || code_page == 950 || code_page == 1361;
}

}  // namespace

const byte_table& single_byte_table(const char* name) {
    static std::mutex guard;
    static std::map<std::string, byte_table> tables;
    const std::lock_guard lock(guard);
    const auto found = tables.find(name);
    if (found != tables.end()) return found->second;

    byte_table table;
    converter c("UTF-8", name);
    for (unsigned b = 0; b < 256; ++b) {
        table[b] = b < 0x80 ? b : replacement_character;
        if (b < 0x80 || !c.valid()) continue;
        const char in = static_cast<char>(b);
        std::string out;
        if (convert(c, std::string_view(&in, 1), out) == 1 && !out.empty()) {
            std::size_t at = 0;
            table[b] = next_code_point(out, at);
        }
        ::iconv(c.handle, nullptr, nullptr, nullptr, nullptr);
    }
    return tables.emplace(name, table).first->second;
}

std::string decode_single_byte(std::string_view bytes, const byte_table& table) {
    std::string out;
    out.reserve(bytes.size());
    for (const char b : bytes) append_utf8(out, table[static_cast<unsigned char>(b)]);
    return out;
}

std::string decode_with_iconv(std::string_view bytes, const char* name) {
    converter c("UTF-8", name);
    if (!c.valid()) return decode_single_byte(bytes, single_byte_table("ASCII"));
    std::string out;
    while (!bytes.empty()) {
        const std::size_t used = convert(c, bytes, out);
        bytes.remove_prefix(used);
        if (bytes.empty()) break;
        append_utf8(out, replacement_character);
        bytes.remove_prefix(1);
        ::iconv(c.handle, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

std::string encode_with_iconv(char32_t code_point, const char* name) {
    std::string utf8;
    append_utf8(utf8, code_point);
    converter c(name, "UTF-8");
    if (!c.valid()) return {};
    std::string out;
    if (convert(c, utf8, out) != utf8.size()) return {};
    // Flush a stateful encoding's closing sequence, if it has one.
    char buffer[16];
    char* target = buffer;
    std::size_t left = sizeof buffer;
    ::iconv(c.handle, nullptr, nullptr, &target, &left);
    out.append(buffer, static_cast<std::size_t>(target - buffer));
    return out;
}

std::string decode_code_page(std::string_view bytes, unsigned code_page) {
    switch (code_page) {
        case code_page_ascii:
        case code_page_ascii_windows: return decode_single_byte(bytes, single_byte_table("ASCII"));
        case code_page_utf8: return valid_utf8(bytes);
        case code_page_utf16: {
            std::u16string units;
            for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
                units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                      (static_cast<unsigned char>(bytes[i + 1]) << 8)));
            std::string out = utf16_to_utf8(units);
            if (bytes.size() % 2 != 0) append_utf8(out, replacement_character);
            return out;
        }
        case code_page_windows_latin1_excel: code_page = code_page_windows_latin1; break;
        default: break;
    }
    if (is_double_byte(code_page)) return decode_with_iconv(bytes, iconv_name(code_page));
    return decode_single_byte(bytes, single_byte_table(iconv_name(code_page)));
}

}  // namespace fv
