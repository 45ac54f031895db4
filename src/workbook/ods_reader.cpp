#include "workbook/ods_reader.h"

#include "workbook/ods_content.h"
#include "workbook/workbook_failure.h"
#include "workbook/xml_stream.h"
#include "workbook/zip_archive.h"

namespace fv {

namespace {

constexpr std::string_view manifest_ns = "urn:oasis:names:tc:opendocument:xmlns:manifest:1.0";

// Finds whether any entry of the manifest carries encryption data.
class manifest_handler : public xml_handler {
public:
    bool encrypted = false;

    void start_element(const xml_name& name, const xml_attributes&) override {
        if (name.ns == manifest_ns && name.local == "encryption-data") encrypted = true;
    }
    void end_element(const xml_name&) override {}
    void text(std::string_view) override {}
};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    return text;
}

}  // namespace

bool is_ods_mimetype(std::string_view text) {
    text = trimmed(text);
    return text == "application/vnd.oasis.opendocument.spreadsheet" ||
           text == "application/vnd.oasis.opendocument.spreadsheet-template";
}

ods_reader::ods_reader(const std::string& file_name)
    : zip_workbook(file_name, format_kind::ods, "ods_file", "OpenDocument spreadsheet") {}

void ods_reader::read(zip_archive& archive) {
    if (archive.contains("mimetype")) {
        const auto mimetype = archive.read_small("mimetype", 256);
        if (!mimetype || !is_ods_mimetype(*mimetype))
            throw workbook_failure(workbook_problem::not_a_workbook, "its mimetype names another kind of document");
    }
    const std::string manifest = "META-INF/manifest.xml";
    if (archive.contains(manifest)) {
        manifest_handler handler;
        parse_part(archive, manifest, handler);
        if (handler.encrypted) throw workbook_failure(workbook_problem::encrypted, "");
    }

    ods_content_sink sink{values(),
                          [this](std::string name) { add_sheet(std::move(name)); },
                          [this](std::uint64_t sheet, std::uint64_t row, std::uint64_t column, std::size_t value,
                                 std::uint64_t repeat) { put(sheet, row, column, value, repeat); },
                          [this](std::uint64_t cells) { note_beyond_last_row(cells); },
                          [this](std::uint64_t cells) { note_beyond_last_column(cells); },
                          [this](std::string name, std::optional<sheet_range> range) {
                              add_name(std::move(name), std::move(range));
                          }};
    read_ods_content(archive, sink);
    note_texts_cut(sink.texts_cut);
    if (!sink.spreadsheet_seen)
        throw workbook_failure(workbook_problem::not_a_workbook, "its content holds no spreadsheet");
}

}  // namespace fv
