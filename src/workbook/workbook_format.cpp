#include "workbook/workbook_format.h"

#include <string_view>

#include "util/file_io.h"
#include "workbook/compound_document.h"
#include "workbook/ods_reader.h"
#include "workbook/opc_package.h"
#include "workbook/workbook_failure.h"
#include "workbook/zip_archive.h"
#include "workbook/zip_workbook.h"

namespace fv {

namespace {

bool starts_with(const std::vector<unsigned char>& bytes, std::string_view magic) {
    if (bytes.size() < magic.size()) return false;
    for (std::size_t i = 0; i < magic.size(); ++i)
        if (bytes[i] != static_cast<unsigned char>(magic[i])) return false;
    return true;
}

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

zip_content by_content_types(const std::vector<std::string>& types) {
    for (const std::string& type : types) {
        if (contains(type, "sheet.binary.macroEnabled.main")) return zip_content::xlsb;
        for (const std::string_view workbook :
             {"spreadsheetml.sheet.main", "spreadsheetml.template.main", "ms-excel.sheet.macroEnabled.main",
              "ms-excel.template.macroEnabled.main", "ms-excel.addin.macroEnabled.main"})
            if (contains(type, workbook)) return zip_content::xlsx;
    }
    return zip_content::other;
}

}  // namespace

container_kind container_of(const std::vector<unsigned char>& start) {
    if (starts_with(start, "PK\x03\x04") || starts_with(start, "PK\x05\x06") || starts_with(start, "PK\x07\x08"))
        return container_kind::zip;
    if (starts_with(start, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) return container_kind::compound_document;
    return container_kind::other;
}

zip_content zip_content_of(const std::vector<unsigned char>& image) {
    try {
        zip_archive archive(image);
        if (archive.contains("mimetype")) {
            const auto mimetype = archive.read_small("mimetype", 256);
            if (mimetype && is_ods_mimetype(*mimetype)) return zip_content::ods;
        }
        if (const zip_content by_type = by_content_types(read_content_types(archive)); by_type != zip_content::other)
            return by_type;
        if (archive.contains("xl/workbook.xml")) return zip_content::xlsx;
        if (archive.contains("xl/workbook.bin")) return zip_content::xlsb;
    } catch (const workbook_failure&) {
        // Not readable as a package: the name decides, and the reader tells what is wrong.
    }
    return zip_content::other;
}

bool is_encrypted_package(const std::string& path) {
    const auto image = read_whole_file(path, largest_zip_workbook_file);
    return image && compound_holds_stream(*image, "EncryptedPackage");
}

}  // namespace fv
