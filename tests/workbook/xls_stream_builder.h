// Builds workbook record streams byte by byte for the XLS reader's tests:
// the cases no writer at hand produces (a chart sheet between worksheets,
// strings that change width at a continuation, damaged records).
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace fv_test {

// Little-endian bytes, appended in order.
struct bytes {
    std::vector<unsigned char> b;

    bytes& u8(unsigned v) {
        b.push_back(static_cast<unsigned char>(v));
        return *this;
    }
    bytes& u16(unsigned v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    bytes& f64(double v) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return u32(static_cast<std::uint32_t>(bits)).u32(static_cast<std::uint32_t>(bits >> 32));
    }
    bytes& raw(const std::string& s) {
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    // 16-bit characters, each code given as a number.
    bytes& wide(const std::vector<unsigned>& codes) {
        for (unsigned c : codes) u16(c);
        return *this;
    }
    bytes& fill(std::size_t n, unsigned v = 0) {
        b.insert(b.end(), n, static_cast<unsigned char>(v));
        return *this;
    }
    std::size_t size() const { return b.size(); }
};

// A workbook stream of version 5 or 8.
struct biff_stream {
    int version = 8;
    std::vector<unsigned char> out;

    explicit biff_stream(int v = 8) : version(v) {}

    biff_stream& record(unsigned type, const bytes& data) {
        bytes head;
        head.u16(type).u16(static_cast<unsigned>(data.size()));
        out.insert(out.end(), head.b.begin(), head.b.end());
        out.insert(out.end(), data.b.begin(), data.b.end());
        return *this;
    }
    // Substream kinds: 0x0005 globals, 0x0010 worksheet, 0x0020 chart, 0x0040 macro sheet.
    biff_stream& bof(unsigned kind) {
        bytes d;
        d.u16(version == 8 ? 0x0600 : 0x0500).u16(kind);
        if (version == 8) d.u16(0x0DBB).u16(0x07CC).u32(0).u32(0x06);
        else d.u16(0x096C).u16(0x07C9);
        return record(0x0809, d);
    }
    biff_stream& eof() { return record(0x000A, bytes{}); }
    // Sheet types: 0 worksheet, 1 macro sheet, 2 chart.
    biff_stream& bound_sheet(unsigned type, const std::string& name) {
        bytes d;
        d.u32(0).u8(0).u8(type).u8(static_cast<unsigned>(name.size()));
        if (version == 8) d.u8(0);
        d.raw(name);
        return record(0x0085, d);
    }
    biff_stream& number(unsigned row, unsigned col, double v) {
        return record(0x0203, bytes{}.u16(row).u16(col).u16(15).f64(v));
    }
    biff_stream& rk(unsigned row, unsigned col, std::uint32_t raw) {
        return record(0x027E, bytes{}.u16(row).u16(col).u16(15).u32(raw));
    }
    biff_stream& label(unsigned row, unsigned col, const std::string& text) {
        bytes d;
        d.u16(row).u16(col).u16(15).u16(static_cast<unsigned>(text.size()));
        if (version == 8) d.u8(0);
        return record(0x0204, d.raw(text));
    }
    biff_stream& shared_label(unsigned row, unsigned col, std::uint32_t index) {
        return record(0x00FD, bytes{}.u16(row).u16(col).u16(15).u32(index));
    }
    // A formula with the 8 result bytes given.
    biff_stream& formula(unsigned row, unsigned col, const bytes& result) {
        bytes d;
        d.u16(row).u16(col).u16(15);
        d.b.insert(d.b.end(), result.b.begin(), result.b.end());
        d.u16(0).u32(0).u16(3).u8(0x1E).u16(1);  // flags, chain, tokens: the integer 1
        return record(0x0006, d);
    }
    // Result bytes of a string (0), boolean (1), error (2) or empty (3) formula result.
    static bytes special(unsigned kind, unsigned value = 0) {
        return bytes{}.u8(kind).u8(0).u8(value).u8(0).u16(0).u16(0xFFFF);
    }
    biff_stream& string_result(const std::string& text) {
        bytes d;
        d.u16(static_cast<unsigned>(text.size()));
        if (version == 8) d.u8(0);
        return record(0x0207, d.raw(text));
    }
    // The workbook's own sheets (version 8), as the first supporting book.
    biff_stream& own_book(unsigned sheets) { return record(0x01AE, bytes{}.u16(sheets).u16(0x0401)); }
    // External sheet table (version 8): entries of book, first sheet, last sheet.
    biff_stream& extern_sheets(const std::vector<std::array<unsigned, 3>>& entries);
    // A name whose definition is the token bytes given.
    biff_stream& name(const std::string& text, const bytes& definition, unsigned options = 0) {
        bytes d;
        d.u16(options).u8(0).u8(static_cast<unsigned>(text.size())).u16(static_cast<unsigned>(definition.size()));
        d.u16(0).u16(0).u8(0).u8(0).u8(0).u8(0);
        if (version == 8) d.u8(0);
        d.raw(text);
        d.b.insert(d.b.end(), definition.b.begin(), definition.b.end());
        return record(0x0018, d);
    }
    // 3-D area tokens. Version 8: an external-sheet index; version 5: sheet positions.
    static bytes area8(unsigned index, unsigned row1, unsigned row2, unsigned col1, unsigned col2) {
        return bytes{}.u8(0x3B).u16(index).u16(row1).u16(row2).u16(col1 | 0xC000).u16(col2 | 0xC000);
    }
    static bytes cell8(unsigned index, unsigned row, unsigned col) {
        return bytes{}.u8(0x3A).u16(index).u16(row).u16(col | 0xC000);
    }
    static bytes area5(unsigned sheet1, unsigned sheet2, unsigned row1, unsigned row2, unsigned col1,
                       unsigned col2) {
        return bytes{}.u8(0x3B).u16(0xFFFF).fill(8).u16(sheet1).u16(sheet2).u16(row1 | 0xC000).u16(row2 | 0xC000)
            .u8(col1).u8(col2);
    }
    static bytes cell5(unsigned sheet1, unsigned sheet2, unsigned row, unsigned col) {
        return bytes{}.u8(0x3A).u16(0xFFFF).fill(8).u16(sheet1).u16(sheet2).u16(row | 0xC000).u8(col);
    }
};

inline biff_stream& biff_stream::extern_sheets(const std::vector<std::array<unsigned, 3>>& entries) {
    bytes d;
    d.u16(static_cast<unsigned>(entries.size()));
    for (const auto& e : entries) d.u16(e[0]).u16(e[1]).u16(e[2]);
    return record(0x0017, d);
}

}  // namespace fv_test
