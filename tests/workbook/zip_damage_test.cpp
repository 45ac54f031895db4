// Damaged and hostile workbooks of today's formats, each loaded through the
// front as a file and answered with its own clear message: truncated and
// corrupt containers, a part that inflates to gigabytes, sizes that lie,
// missing parts, XML built to exhaust a reader, password-protected and binary
// workbooks, more cells than are read, files of another kind.
#include <gtest/gtest.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "zip_workbook_support.h"

namespace fv::test {
namespace {

zip_bytes example(const char* name) {
    std::ifstream in(std::string(FV_SOURCE_DIR) + "/examples/" + name, std::ios::binary);
    return zip_bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A compound document holding one stream of that name.
zip_bytes compound_document_with(const char* stream) {
    gsf_init();
    GsfOutput* memory = gsf_output_memory_new();
    GsfOutfile* document = gsf_outfile_msole_new(memory);
    GsfOutput* child = gsf_outfile_new_child(document, stream, FALSE);
    const std::string data(4096, 'e');
    gsf_output_write(child, data.size(), reinterpret_cast<const guint8*>(data.data()));
    gsf_output_close(child);
    g_object_unref(child);
    gsf_output_close(GSF_OUTPUT(document));
    g_object_unref(document);
    const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory));
    zip_bytes image(bytes, bytes + gsf_output_size(memory));
    g_object_unref(memory);
    return image;
}

xlsx_parts one_sheet(const std::string& sheet_data) {
    xlsx_parts parts;
    parts.sheets = {{"Sheet1", sheet_data}};
    return parts;
}

// The XLSX entries with one of them replaced (or removed when `content` is empty).
zip_bytes xlsx_with(const xlsx_parts& parts, const std::string& name, const std::optional<zip_entry>& replacement) {
    std::vector<zip_entry> entries;
    for (zip_entry& entry : xlsx_entries(parts)) {
        if (entry.name != name) entries.push_back(std::move(entry));
        else if (replacement) entries.push_back(*replacement);
    }
    return zip_package(entries);
}

struct damage_case {
    const char* what;
    zip_bytes image;
    const char* extension;
    std::string message;  // after "Spreadsheet file <path> "
};

TEST(ZipWorkbookDamage, EveryDamagedFileGetsItsClearMessage) {
    zip_bytes truncated = example("direct_loan.xlsx");
    truncated.resize(truncated.size() / 2);
    const std::string sheet = "xl/worksheets/sheet1.xml";
    const std::string worksheet_open = std::string("<worksheet xmlns=\"") + transitional_main + "\"><sheetData>";

    zip_entry bomb = repeated_entry(sheet, worksheet_open, "<row/>" + std::string(1018, ' '), 1'000'000,
                                    "</sheetData></worksheet>");
    zip_entry lying(sheet, worksheet_open + "<row><c><v>1</v></c></row></sheetData></worksheet>");
    lying.declared_size = 20;
    zip_entry corrupt(sheet, worksheet_open + "</sheetData></worksheet>");
    corrupt.declared_crc = 7;
    zip_entry locked(sheet, worksheet_open + "</sheetData></worksheet>");
    locked.encrypted_flag = true;

    std::string deep;
    for (int i = 0; i < 300; ++i) deep += "<c>";
    const std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE sst [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
                               "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><sst><si><t>&b;</t></si></sst>";
    xlsx_parts no_relationship = one_sheet("");
    std::vector<zip_entry> missing_workbook;
    for (zip_entry& entry : xlsx_entries(one_sheet("")))
        if (entry.name != "xl/workbook.xml") missing_workbook.push_back(entry);

    std::vector<zip_entry> xlsb = {
        {"[Content_Types].xml",
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Override "
         "PartName=\"/xl/workbook.bin\" ContentType=\"application/vnd.ms-excel.sheet.binary.macroEnabled.main\"/>"
         "</Types>"},
        {"xl/workbook.bin", std::string(64, '\x83')}};

    std::string many_cells;
    for (int i = 0; i < 256; ++i) many_cells += "<table:table-cell office:value-type=\"float\" office:value=\"1\"/>";
    std::vector<zip_entry> text_document = ods_entries("", "application/vnd.oasis.opendocument.text");
    std::vector<zip_entry> encrypted_ods = ods_entries("<table:table table:name=\"S\"/>");
    encrypted_ods.back().content =
        "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\">"
        "<manifest:file-entry manifest:full-path=\"content.xml\"><manifest:encryption-data/></manifest:file-entry>"
        "</manifest:manifest>";
    std::vector<zip_entry> no_content = ods_entries("");
    no_content.erase(no_content.begin() + 1);

    const std::string password = "is password-protected. Save a copy without the password and open that copy.";
    const std::string binary = "is an Excel binary workbook (.xlsb), a format that is not supported. Save it as an "
                               "Excel workbook (.xlsx) and open that copy.";
    const std::string no_zip = "is damaged: its ZIP container is truncated or is no ZIP archive.";
    const damage_case cases[] = {
        {"truncated", truncated, "xlsx", no_zip},
        {"no ZIP at all", {'h', 'e', 'l', 'l', 'o'}, "ods", no_zip},
        {"bomb", xlsx_with(one_sheet(""), sheet, bomb), "xlsx",
         "is damaged: part xl/worksheets/sheet1.xml inflates to more than 1000 MB."},
        {"lying size", xlsx_with(one_sheet(""), sheet, lying), "xlsx",
         "is damaged: part xl/worksheets/sheet1.xml is not of the size its ZIP container declares."},
        {"corrupt", xlsx_with(one_sheet(""), sheet, corrupt), "xlsx",
         "is damaged: part xl/worksheets/sheet1.xml does not match its checksum."},
        {"missing sheet", xlsx_with(one_sheet(""), sheet, std::nullopt), "xlsx",
         "is damaged: part xl/worksheets/sheet1.xml is missing."},
        {"missing relationship", xlsx_with(one_sheet(""), "xl/_rels/workbook.xml.rels", std::nullopt), "xlsx",
         "is damaged: sheet Sheet1 has no part (relationship rId1)."},
        {"missing workbook", zip_package(missing_workbook), "xlsx",
         "is not an Excel workbook: it holds no workbook part xl/workbook.xml."},
        {"missing content", zip_package(no_content), "ods", "is damaged: part content.xml is missing."},
        {"deep nesting", xlsx_package(one_sheet(deep)), "xlsx",
         "is damaged: part xl/worksheets/sheet1.xml nests its elements deeper than 256."},
        {"entity expansion", xlsx_with(one_sheet(""), "xl/sharedStrings.xml", zip_entry("xl/sharedStrings.xml", laughs)),
         "xlsx", "is damaged: part xl/sharedStrings.xml declares a document type, which no workbook holds."},
        {"external entity", zip_package({{"mimetype", ods_mimetype, false},
                                         {"content.xml", "<!DOCTYPE x SYSTEM \"file:///etc/passwd\"><x/>"}}),
         "ods", "is damaged: part content.xml declares a document type, which no workbook holds."},
        {"long tag", xlsx_package(one_sheet("<row x=\"" + std::string(2 << 20, 'x') + "\"/>")), "xlsx",
         "is damaged: part xl/worksheets/sheet1.xml holds more than 1 MB of markup or text without a break."},
        {"not well-formed", xlsx_package(one_sheet("<row><c></row>")), "xlsx",
         "is damaged: part xl/worksheets/sheet1.xml is not well-formed XML (mismatched tag at line 1)."},
        {"encrypted package as xlsx", compound_document_with("EncryptedPackage"), "xlsx", password},
        {"encrypted package as xls", compound_document_with("EncryptedPackage"), "xls", password},
        {"encrypted entry", xlsx_with(one_sheet(""), sheet, locked), "xlsx", password},
        {"encrypted ods", zip_package(encrypted_ods), "ods", password},
        {"binary workbook in a package", zip_package(xlsb), "xlsx", binary},
        {"binary workbook by name", {'x', 'l', 's', 'b'}, "xlsb", binary},
        {"too many cells", ods_package("<table:table table:name=\"S\"><table:table-row table:number-rows-repeated=\"65536\">" +
                                       many_cells + "</table:table-row></table:table>"),
         "ods", "is too large to read: it holds more than 5 million cells."},
        {"text document", zip_package(text_document), "ods",
         "is not an OpenDocument spreadsheet: its mimetype names another kind of document."},
        {"no spreadsheet", zip_package({{"mimetype", ods_mimetype, false}, {"content.xml", "<x/>"}}), "ods",
         "is not an OpenDocument spreadsheet: its content holds no spreadsheet."},
    };
    for (const damage_case& c : cases) {
        loaded_package package(c.image, c.extension);
        EXPECT_EQ(package.failure, "Spreadsheet file " + package.book.file_name() + " " + c.message) << c.what;
    }
}

TEST(ZipWorkbookDamage, AFileLargerThan100MBIsRefusedBeforeItIsRead) {
    temp_file file({'P', 'K', 3, 4}, "xlsx");
    std::filesystem::resize_file(file.path(), 100'000'001);
    workbook_file book(file.path());
    try {
        book.load();
        ADD_FAILURE() << "loaded";
    } catch (const text_error& failure) {
        EXPECT_EQ(failure.text(), "Spreadsheet file " + book.file_name() + " is larger than 100 MB.");
    }
}

}  // namespace
}  // namespace fv::test
