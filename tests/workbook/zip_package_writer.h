// Builds ZIP packages byte by byte for the tests, with zlib for the deflated
// data: well-made XLSX and ODS packages from a few lines of XML, and damaged
// ones (lying sizes, wrong checksums, truncations, parts that inflate to
// gigabytes from a megabyte).
#pragma once

#include <zlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fv::test {

using zip_bytes = std::vector<unsigned char>;

struct zip_entry {
    zip_entry(std::string entry_name, std::string entry_content, bool deflated = true)
        : name(std::move(entry_name)), content(std::move(entry_content)), deflate(deflated) {}

    std::string name;
    std::string content;
    bool deflate = true;
    // Deflated data made elsewhere (a bomb), with the size and checksum of what it inflates to.
    std::optional<std::string> raw_deflated;
    std::uint64_t raw_size = 0;
    std::uint32_t raw_crc = 0;
    // What the headers say, when they are to lie.
    std::optional<std::uint32_t> declared_size;
    std::optional<std::uint32_t> declared_crc;
    bool encrypted_flag = false;
};

inline std::string raw_deflate(const std::string& data) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, data.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// A deflate stream of head, `copies` times `block`, then tail, made without
// deflating the copies one by one: after a full flush the compressor starts
// afresh, so every copy of the block compresses to the same bytes.
inline zip_entry repeated_entry(const std::string& name, const std::string& head, const std::string& block,
                                std::uint64_t copies, const std::string& tail) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    auto squeeze = [&](const std::string& data, int flush) {
        std::string out(deflateBound(&z, data.size()) + 64, '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
        z.avail_in = static_cast<uInt>(data.size());
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(out.size());
        deflate(&z, flush);
        out.resize(out.size() - z.avail_out);
        return out;
    };
    std::string stream = squeeze(head, Z_FULL_FLUSH);
    const std::string copy = squeeze(block, Z_FULL_FLUSH);
    for (std::uint64_t i = 0; i < copies; ++i) stream += copy;
    stream += squeeze(tail, Z_FINISH);
    deflateEnd(&z);

    auto crc_of = [](const std::string& data) {
        return crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size()));
    };
    uLong crc = crc_of(head);
    const uLong block_crc = crc_of(block);
    for (std::uint64_t i = 0; i < copies; ++i) crc = crc32_combine(crc, block_crc, static_cast<z_off_t>(block.size()));
    crc = crc32_combine(crc, crc_of(tail), static_cast<z_off_t>(tail.size()));

    zip_entry entry{name, ""};
    entry.raw_deflated = std::move(stream);
    entry.raw_size = head.size() + copies * block.size() + tail.size();
    entry.raw_crc = static_cast<std::uint32_t>(crc);
    return entry;
}

inline zip_bytes zip_package(const std::vector<zip_entry>& entries) {
    zip_bytes out;
    auto put16 = [&](unsigned v) {
        out.push_back(static_cast<unsigned char>(v & 0xFF));
        out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    auto put_text = [&](const std::string& text) { out.insert(out.end(), text.begin(), text.end()); };

    struct written {
        std::uint32_t offset, crc, compressed, size;
        unsigned method, flags;
    };
    std::vector<written> places;
    for (const zip_entry& e : entries) {
        const bool raw = e.raw_deflated.has_value();
        const std::string data = raw ? *e.raw_deflated : (e.deflate ? raw_deflate(e.content) : e.content);
        const std::uint32_t crc = raw ? e.raw_crc
                                      : static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(e.content.data()),
                                                                          static_cast<uInt>(e.content.size())));
        const auto size = static_cast<std::uint32_t>(raw ? e.raw_size : e.content.size());
        written w{static_cast<std::uint32_t>(out.size()), e.declared_crc.value_or(crc),
                  static_cast<std::uint32_t>(data.size()), e.declared_size.value_or(size),
                  (raw || e.deflate) ? 8u : 0u, e.encrypted_flag ? 1u : 0u};
        places.push_back(w);
        put32(0x04034b50);
        put16(20);
        put16(w.flags);
        put16(w.method);
        put16(0);
        put16(0x21);  // 1980-01-01
        put32(w.crc);
        put32(w.compressed);
        put32(w.size);
        put16(static_cast<unsigned>(e.name.size()));
        put16(0);
        put_text(e.name);
        put_text(data);
    }
    const auto directory = static_cast<std::uint32_t>(out.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const written& w = places[i];
        put32(0x02014b50);
        put16(20);
        put16(20);
        put16(w.flags);
        put16(w.method);
        put16(0);
        put16(0x21);
        put32(w.crc);
        put32(w.compressed);
        put32(w.size);
        put16(static_cast<unsigned>(entries[i].name.size()));
        put16(0);
        put16(0);
        put16(0);
        put16(0);
        put32(0);
        put32(w.offset);
        put_text(entries[i].name);
    }
    const auto directory_size = static_cast<std::uint32_t>(out.size()) - directory;
    put32(0x06054b50);
    put16(0);
    put16(0);
    put16(static_cast<unsigned>(entries.size()));
    put16(static_cast<unsigned>(entries.size()));
    put32(directory_size);
    put32(directory);
    put16(0);
    return out;
}

// --- XLSX ---

inline const char* const transitional_main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline const char* const transitional_relationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline const char* const strict_main = "http://purl.oclc.org/ooxml/spreadsheetml/main";
inline const char* const strict_relationships = "http://purl.oclc.org/ooxml/officeDocument/relationships";

struct xlsx_sheet {
    std::string name;
    std::string sheet_data;          // the inside of <sheetData>
    std::string kind = "worksheet";  // or "chartsheet"
};

struct xlsx_parts {
    std::vector<xlsx_sheet> sheets;
    std::string defined_names;            // the inside of <definedNames>
    std::vector<std::string> shared;      // the inside of each <si>
    bool strict = false;
    std::string workbook_properties;      // attributes of <workbookPr>
};

// The entries of a package, for tests that add to them or spoil them.
inline std::vector<zip_entry> xlsx_entries(const xlsx_parts& parts) {
    const std::string main = parts.strict ? strict_main : transitional_main;
    const std::string rel = parts.strict ? strict_relationships : transitional_relationships;
    const std::string package_rel = "http://schemas.openxmlformats.org/package/2006/relationships";
    std::string sheets, workbook_rels, overrides;
    for (std::size_t i = 0; i < parts.sheets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        const std::string folder = parts.sheets[i].kind == "worksheet" ? "worksheets" : "chartsheets";
        sheets += "<sheet name=\"" + parts.sheets[i].name + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        workbook_rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + rel + "/" + parts.sheets[i].kind +
                         "\" Target=\"" + folder + "/sheet" + n + ".xml\"/>";
    }
    workbook_rels += "<Relationship Id=\"rIdS\" Type=\"" + rel + "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
    std::vector<zip_entry> entries;
    entries.push_back({"[Content_Types].xml",
                       "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types xmlns=\"http://schemas.openxmlformats.org/"
                       "package/2006/content-types\"><Default Extension=\"xml\" ContentType=\"application/xml\"/>"
                       "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
                       "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/></Types>"});
    entries.push_back({"_rels/.rels", "<?xml version=\"1.0\"?><Relationships xmlns=\"" + package_rel +
                                          "\"><Relationship Id=\"rId1\" Type=\"" + rel +
                                          "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"});
    entries.push_back({"xl/workbook.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook xmlns=\"" + main +
                                              "\" xmlns:r=\"" + rel + "\"><workbookPr " + parts.workbook_properties +
                                              "/><sheets>" + sheets + "</sheets><definedNames>" +
                                              parts.defined_names + "</definedNames></workbook>"});
    entries.push_back({"xl/_rels/workbook.xml.rels",
                       "<?xml version=\"1.0\"?><Relationships xmlns=\"" + package_rel + "\">" + workbook_rels +
                           "</Relationships>"});
    std::string shared;
    for (const std::string& item : parts.shared) shared += "<si>" + item + "</si>";
    entries.push_back({"xl/sharedStrings.xml", "<?xml version=\"1.0\"?><sst xmlns=\"" + main + "\">" + shared + "</sst>"});
    for (std::size_t i = 0; i < parts.sheets.size(); ++i) {
        const bool work = parts.sheets[i].kind == "worksheet";
        const std::string folder = work ? "worksheets" : "chartsheets";
        entries.push_back({"xl/" + folder + "/sheet" + std::to_string(i + 1) + ".xml",
                           work ? "<?xml version=\"1.0\"?><worksheet xmlns=\"" + main + "\" xmlns:r=\"" + rel +
                                      "\"><sheetData>" + parts.sheets[i].sheet_data + "</sheetData></worksheet>"
                                : "<?xml version=\"1.0\"?><chartsheet xmlns=\"" + main + "\"/>"});
    }
    return entries;
}

inline zip_bytes xlsx_package(const xlsx_parts& parts) { return zip_package(xlsx_entries(parts)); }

// --- ODS ---

inline const char* const ods_mimetype = "application/vnd.oasis.opendocument.spreadsheet";

inline std::string ods_content(const std::string& spreadsheet) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content "
           "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
           "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
           "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
           "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
           "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
           "xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\" "
           "office:version=\"1.2\"><office:body><office:spreadsheet>" +
           spreadsheet + "</office:spreadsheet></office:body></office:document-content>";
}

inline std::vector<zip_entry> ods_entries(const std::string& spreadsheet, const std::string& mimetype = ods_mimetype) {
    return {{"mimetype", mimetype, false},
            {"content.xml", ods_content(spreadsheet)},
            {"META-INF/manifest.xml",
             "<?xml version=\"1.0\"?><manifest:manifest "
             "xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\"><manifest:file-entry "
             "manifest:full-path=\"/\" manifest:media-type=\"" + mimetype + "\"/></manifest:manifest>"}};
}

inline zip_bytes ods_package(const std::string& spreadsheet) { return zip_package(ods_entries(spreadsheet)); }

}  // namespace fv::test
