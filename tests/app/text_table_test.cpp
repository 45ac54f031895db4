// One program, named in accented Latin and in other scripts, stored in every
// old spreadsheet format with the format's own character set: its name and
// description reach the displays and the import file as the same UTF-8, and
// the display columns stay where they are. Each file is made byte by byte
// here, with the text bytes worked out by hand from the character set's chart,
// and where another program reads the format (gnumeric's ssconvert, python3-
// xlrd) it must read the same name from the same bytes.
//
// Add a format by adding a row to `formats()`.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <variant>

#include "app/document.h"
#include "app/settings_keys.h"
#include "display/program/import_file.h"
#include "display/program/report_header.h"
#include "util/utf8_text.h"
#include "workbook/compound_file_writer.h"
#include "workbook/lotus_writer.h"
#include "workbook/xls_stream_builder.h"

namespace fv {
namespace {

namespace fs = std::filesystem;
using bytes = std::vector<unsigned char>;

// A label's bytes in the file's character set; `utf16le` for version 8 XLS text.
struct label {
    std::string bytes;
    bool utf16le = false;
};
using value = std::variant<double, label>;
struct cell {
    unsigned row, column;
    value content;
};

// The program: its name and description are given in the file's character
// set; everything else is ASCII.
std::vector<cell> program_cells(const label& name, const label& description) {
    const auto ascii = [](const char* text) { return value(label{text}); };
    return {
        {0, 0, ascii("Name")},          {0, 1, name},
        {1, 0, ascii("Program type")},  {1, 1, ascii("direct")},
        {2, 0, ascii("Budget year")},   {2, 1, 2001.0},
        {3, 0, ascii("Description")},   {3, 1, description},
        {4, 0, ascii("Obligations")},
        {5, 0, ascii("Disbursements")}, {5, 1, 100.0},
        {6, 0, ascii("Principal pmts, scheduled")}, {6, 1, 60.0}, {6, 2, 40.0},
        {7, 0, ascii("Interest pmts, scheduled")},  {7, 1, 5.0},  {7, 2, 2.0},
    };
}
constexpr unsigned last_row = 7, last_column = 7;

std::string utf16le(std::u16string_view text) {
    std::string out;
    for (char16_t unit : text) {
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>(unit >> 8));
    }
    return out;
}

// ---- the formats, byte by byte ----

bytes wk1_reader(const std::vector<cell>& cells) {
    test::record_writer w = test::wk1::start();
    w.record(test::wk1::range, test::wk1::range_record("TRQ", 0, 0, last_column, last_row));
    for (const cell& c : cells) {
        const cell_address at(0, static_cast<std::uint16_t>(c.row), static_cast<std::uint8_t>(c.column));
        if (const double* number = std::get_if<double>(&c.content))
            w.record(test::wk1::number, test::wk1::number_cell(at, *number));
        else
            w.record(test::wk1::label, test::wk1::label_cell(at, std::get<label>(c.content).bytes));
    }
    w.record(test::wk1::eof, {});
    return w.data();
}

// A WK4 worksheet (the WK3 record layout; gnumeric reads WK4 files, not WK3 ones).
bytes wk4_file(const std::vector<cell>& cells) {
    test::record_writer w;
    bytes start(26, 0);
    start[0] = 0x02;  // version word 0x1002: 1-2-3 release 4
    start[1] = 0x10;
    start[16] = 1;    // text without a group byte is in LMBCS group 1
    w.record(test::wk3::bof, start);
    w.record(test::wk3::range, test::wk3::range_record("TRQ", cell_address(0, 0, 0),
                                                       cell_address(0, last_row, static_cast<std::uint8_t>(last_column))));
    for (const cell& c : cells) {
        const cell_address at(0, static_cast<std::uint16_t>(c.row), static_cast<std::uint8_t>(c.column));
        if (const double* number = std::get_if<double>(&c.content))
            w.record(test::wk3::number, test::wk3::with(test::wk3::cell(at), test::wk3::extended(*number)));
        else
            w.record(test::wk3::label, test::wk3::label_cell(at, std::get<label>(c.content).bytes));
    }
    w.record(test::wk3::eof, {});
    return w.data();
}

// An XLS workbook stream of version 5 (text in `code_page`) or 8.
bytes xls_stream(int version, std::optional<unsigned> code_page, const std::vector<cell>& cells) {
    using fv_test::bytes;
    fv_test::biff_stream s(version);
    s.bof(0x0005);
    if (code_page) s.record(0x0042, bytes{}.u16(*code_page));
    // One font and one cell format, which every cell uses (format index 0).
    // The font's character set matches the code page, as Excel writes it.
    unsigned charset = 0;  // ANSI
    if (code_page == 1251u) charset = 204;  // Russian
    if (code_page == 1253u) charset = 161;  // Greek
    if (code_page == 932u) charset = 128;   // Shift-JIS
    bytes font;
    font.u16(200).u16(0).u16(0x7FFF).u16(400).u16(0).u8(0).u8(0).u8(charset).u8(0).u8(5);
    if (version == 8) font.u8(0);
    s.record(0x0031, font.raw("Arial"));
    s.record(0x00E0, bytes{}.fill(version == 8 ? 20 : 16));
    const std::size_t sheet_offset_at = s.out.size() + 4;  // the sheet record's first data byte
    s.bound_sheet(0, "Sheet1");
    if (version == 8) {
        s.own_book(1);
        s.extern_sheets({{0, 0, 0}});
        s.name("TRQ", fv_test::biff_stream::area8(0, 0, last_row, 0, last_column));
    } else {
        s.name("TRQ", fv_test::biff_stream::area5(0, 0, 0, last_row, 0, last_column));
    }
    s.eof();
    // The sheet list points at the sheet's beginning-of-file record, as readers that seek need.
    const std::size_t sheet_at = s.out.size();
    for (int i = 0; i < 4; ++i) s.out[sheet_offset_at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(sheet_at >> (8 * i));
    s.bof(0x0010);
    for (const cell& c : cells) {
        if (const double* number = std::get_if<double>(&c.content)) {
            s.record(0x0203, bytes{}.u16(c.row).u16(c.column).u16(0).f64(*number));
            continue;
        }
        const label& l = std::get<label>(c.content);
        bytes d;
        d.u16(c.row).u16(c.column).u16(0);
        if (version == 8) {
            const bool wide = l.utf16le;
            d.u16(static_cast<unsigned>(wide ? l.bytes.size() / 2 : l.bytes.size())).u8(wide ? 1 : 0);
        } else {
            d.u16(static_cast<unsigned>(l.bytes.size()));
        }
        s.record(0x0204, d.raw(l.bytes));
    }
    s.eof();
    return s.out;
}

// An XLSX workbook written by openpyxl (texts in UTF-8), or, with `as_ods`,
// that workbook converted by gnumeric; empty when the program is missing.
bytes written_by_other_program(const std::vector<cell>& cells, bool as_ods) {
    const fs::path folder = fs::temp_directory_path() / ("fv_text_table_made_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path listing = folder / "cells.tsv", xlsx = folder / "program.xlsx", ods = folder / "program.ods";
    {
        std::ofstream out(listing, std::ios::binary);
        for (const cell& c : cells) {
            out << c.row + 1 << '\t' << c.column + 1 << '\t';
            if (const double* number = std::get_if<double>(&c.content))
                out << "n\t" << *number << '\n';
            else
                out << "s\t" << std::get<label>(c.content).bytes << '\n';
        }
    }
    const std::string script =
        "import sys, openpyxl\n"
        "from openpyxl.workbook.defined_name import DefinedName\n"
        "book = openpyxl.Workbook(); sheet = book.active; sheet.title = 'Sheet1'\n"
        "for line in open(sys.argv[1], encoding='utf-8'):\n"
        "    row, column, kind, value = line.rstrip('\\n').split('\\t')\n"
        "    sheet.cell(int(row), int(column), float(value) if kind == 'n' else value)\n"
        "name = DefinedName('TRQ', attr_text=\"Sheet1!$A$1:$H$8\")\n"
        "try:\n"
        "    book.defined_names['TRQ'] = name\n"
        "except (TypeError, AttributeError):\n"
        "    book.defined_names.append(name)\n"
        "book.save(sys.argv[2])\n";
    bytes made;
    if (::setenv("FV_SCRIPT", script.c_str(), 1) == 0 &&
        std::system(("/usr/bin/python3 -c \"$FV_SCRIPT\" '" + listing.string() + "' '" + xlsx.string() +
                     "' >/dev/null 2>&1").c_str()) == 0 &&
        (!as_ods || std::system(("ssconvert '" + xlsx.string() + "' '" + ods.string() + "' >/dev/null 2>&1").c_str()) == 0)) {
        std::ifstream in(as_ods ? ods : xlsx, std::ios::binary);
        made.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    fs::remove_all(folder);
    return made;
}

// ---- second readers ----

std::optional<std::string> command_output(const std::string& command) {
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    std::string out;
    for (int c; (c = std::fgetc(pipe)) != EOF;) out.push_back(static_cast<char>(c));
    if (::pclose(pipe) != 0) return std::nullopt;
    return out;
}

// Cell B1 of the first sheet as gnumeric reads it; nothing when ssconvert is missing.
std::optional<std::string> gnumeric_name(const std::string& path) {
    if (std::system("command -v ssconvert >/dev/null 2>&1") != 0) return std::nullopt;
    const std::string csv = path + ".csv";
    const auto done = command_output("ssconvert -T Gnumeric_stf:stf_assistant -O 'format=raw separator=; "
                                     "quoting-mode=never' '" + path + "' '" + csv + "' >/dev/null 2>&1 && cat '" +
                                     csv + "'");
    fs::remove(csv);
    if (!done) return std::nullopt;
    const std::string first = done->substr(0, done->find('\n'));
    const std::size_t field = first.find(';');
    return field == std::string::npos ? std::string() : first.substr(field + 1, first.find(';', field + 1) - field - 1);
}

std::optional<std::string> xlrd_name(const std::string& path) {
    return command_output("PYTHONIOENCODING=utf-8 /usr/bin/python3 -c 'import sys, xlrd; "
                          "sys.stdout.write(xlrd.open_workbook(sys.argv[1]).sheet_by_index(0).cell_value(0, 1))' '" +
                          path + "' 2>/dev/null");
}

std::optional<std::string> openpyxl_name(const std::string& path) {
    return command_output("PYTHONIOENCODING=utf-8 /usr/bin/python3 -c 'import sys, openpyxl; "
                          "sys.stdout.write(openpyxl.load_workbook(sys.argv[1]).worksheets[0].cell(1, 2).value)' '" +
                          path + "' 2>/dev/null");
}

// ---- the table ----

struct format_case {
    const char* format;
    const char* extension;
    std::string name;     // as the displays must show it
    std::string description;
    std::function<bytes()> make;
    // Other programs that read the same bytes: what each calls itself, and how it reads cell B1.
    std::vector<std::pair<const char*, std::function<std::optional<std::string>(const std::string&)>>> others;
    const char* no_other_reader = nullptr;  // why there is none
};

std::vector<format_case> formats() {
    const std::string latin = "Pr\u00e9stamos f\u00fcr \u00d1and\u00fa";
    const std::string dis = "Loans (";
    std::vector<format_case> table;
    // LICS: Latin-1 positions for the letters; the Greek capital delta and small pi sit at 0xAC and 0xAD.
    table.push_back({"WK1 (LICS)", "wk1", latin + " \u0394\u03c0", dis + "\u00e9t\u00e9)",
                     [] {
                         return wk1_reader(program_cells({"Pr\xe9stamos f\xfcr \xd1" "and\xfa \xac\xad"},
                                                       {"Loans (\xe9t\xe9)"}));
                     },
                     {},
                     "gnumeric reads WK1 text as code page 850, not LICS"});
    // LMBCS: code page 850 without a group byte (é 82, ü 81, Ñ A5, ú A3); group 2 Greek (Δ A7, ά 9B),
    // group 5 Cyrillic (К CA, р F0), group 0x12 Big5 (水 A4F4, 道 B944).
    table.push_back({"WK4 (LMBCS)", "wk4", latin + " \u0394\u03ac \u041a\u0440 \u6c34\u9053",
                     dis + "\u6c34\u9053)",
                     [] {
                         return wk4_file(program_cells(
                             {"Pr\x82stamos f\x81r \xa5" "and\xa3 \x02\xa7\x02\x9b \x05\xca\x05\xf0 \x12\xa4\xf4\x12\xb9\x44"},
                             {"Loans (\x12\xa4\xf4\x12\xb9\x44)"}));
                     },
                     {{"gnumeric", gnumeric_name}}});
    const auto xls5 = [](unsigned code_page, std::string name, std::string description) {
        return [=] { return xls_stream(5, code_page, program_cells({name}, {description})); };
    };
    table.push_back({"XLS 5, code page 1252", "xls", latin, dis + "\u00e9t\u00e9)",
                     xls5(1252, "Pr\xe9stamos f\xfcr \xd1" "and\xfa", "Loans (\xe9t\xe9)"),
                     {{"xlrd", xlrd_name}, {"gnumeric", gnumeric_name}}});
    table.push_back({"XLS 5, code page 1251", "xls", "\u041a\u0440\u0435\u0434\u0438\u0442\u044b",
                     dis + "\u0437\u0430\u0439\u043c)",
                     xls5(1251, "\xca\xf0\xe5\xe4\xe8\xf2\xfb", "Loans (\xe7\xe0\xe9\xec)"),
                     {{"xlrd", xlrd_name}, {"gnumeric", gnumeric_name}}});
    table.push_back({"XLS 5, code page 1253", "xls", "\u0394\u03ac\u03bd\u03b5\u03b9\u03b1", dis + "\u03b1\u03b2)",
                     xls5(1253, "\xc4\xdc\xed\xe5\xe9\xe1", "Loans (\xe1\xe2)"),
                     {{"xlrd", xlrd_name}, {"gnumeric", gnumeric_name}}});
    table.push_back({"XLS 5, code page 932", "xls", "\u6c34\u9053\u8cb8\u4ed8", dis + "\u6c34)",
                     xls5(932, "\x90\x85\x93\xb9\x91\xdd\x95\x74", "Loans (\x90\x85)"),
                     {{"xlrd", xlrd_name}, {"gnumeric", gnumeric_name}}});
    table.push_back({"XLS 8 (UTF-16)", "xls",
                     latin + " \u0394\u03ac\u03bd\u03b5\u03b9\u03b1 \u041a\u0440\u0435\u0434\u0438\u0442 \u6c34\u9053 \U0001F4A7",
                     dis + "\u00e9t\u00e9 \u6c34)",
                     [] {
                         return xls_stream(8, 1200, program_cells(
                             {utf16le(u"Pr\u00e9stamos f\u00fcr \u00d1and\u00fa \u0394\u03ac\u03bd\u03b5\u03b9\u03b1 "
                                      u"\u041a\u0440\u0435\u0434\u0438\u0442 \u6c34\u9053 \U0001F4A7"), true},
                             {utf16le(u"Loans (\u00e9t\u00e9 \u6c34)"), true}));
                     },
                     {{"xlrd", xlrd_name}, {"gnumeric", gnumeric_name}}});
    // Written by other programs: openpyxl, and gnumeric converting openpyxl's workbook.
    const std::string every_script = latin + " \u0394\u03ac\u03bd\u03b5\u03b9\u03b1 \u041a\u0440\u0435\u0434\u0438\u0442 \u6c34\u9053";
    const auto zip_package = [=](bool as_ods) {
        return [=] { return written_by_other_program(program_cells({every_script}, {"Loans (\u00e9t\u00e9 \u6c34)"}), as_ods); };
    };
    table.push_back({"XLSX (openpyxl)", "xlsx", every_script, dis + "\u00e9t\u00e9 \u6c34)", zip_package(false),
                     {{"openpyxl", openpyxl_name}, {"gnumeric", gnumeric_name}}});
    table.push_back({"ODS (gnumeric)", "ods", every_script, dis + "\u00e9t\u00e9 \u6c34)", zip_package(true),
                     {{"gnumeric", gnumeric_name}}});
    return table;
}

struct recording_host : document_host {
    std::vector<std::string> messages;
    void show_message(const std::string& text) override { messages.push_back(text); }
    std::optional<std::string> choose_range(const std::string&, const std::vector<std::string>&) override {
        return std::nullopt;
    }
    void wide_lines_notice() override {}
    void set_status(const std::string&) override {}
    bool has_view() const override { return false; }
    void select_display(int) override {}
    bool print_text(const std::string&, const std::string&, const std::string&) override { return true; }
};

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) break;
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

std::string line_starting(const std::string& text, const std::string& start) {
    for (const auto& line : lines_of(text))
        if (line.compare(0, start.size(), start) == 0) return line;
    return {};
}

TEST(TextTable, EveryFormatsTextReachesTheDisplaysAndTheImportFileAsUtf8) {
    const fs::path folder = fs::temp_directory_path() / ("fv_text_table_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::vector<format_case> table = formats();
    for (std::size_t n = 0; n < table.size(); ++n) {
        const format_case& c = table[n];
        SCOPED_TRACE(c.format);
        const std::string path = (folder / ("program_" + std::to_string(n) + "." + c.extension)).string();
        const bytes content = c.make();
        if (content.empty()) {
            std::printf("  [skipped] %s: the program that writes it is not installed\n", c.format);
            continue;
        }
        if (std::string(c.extension) == "xls") {
            ASSERT_TRUE(test::write_compound_file(path, "Book", content));
        } else {
            std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(content.data()),
                                                        static_cast<std::streamsize>(content.size()));
        }

        for (const auto& [reader, read] : c.others) {
            const auto theirs = read(path);
            if (!theirs) {
                std::printf("  [skipped] %s: %s is not installed\n", c.format, reader);
                continue;
            }
            EXPECT_EQ(*theirs, c.name) << reader << " reads the name otherwise";
        }
        if (c.no_other_reader) std::printf("  [no second reader] %s: %s\n", c.format, c.no_other_reader);

        memory_settings_store store;
        store.write_int(settings::runtime_options, settings::budget_year, 2001);
        recording_host host;
        document doc(store, host, std::string(FV_BINARY_DIR) + "/", [] { return std::time_t{1000000000}; });
        ASSERT_TRUE(doc.load_spreadsheet(path)) << (host.messages.empty() ? "" : host.messages.front());
        doc.calculate_subsidy();
        ASSERT_TRUE(doc.calculation_completed()) << (host.messages.empty() ? "" : host.messages.back());

        // A header value starts after its 54-character label and a blank, whatever the script.
        for (int display : {1, 2}) {
            const std::string text = doc.display_text(display).value_or("");
            EXPECT_EQ(line_starting(text, "Program name"), report_label("Program name") + " " + c.name);
            EXPECT_EQ(line_starting(text, "Description"), report_label("Description") + " " + c.description);
        }
        // The amounts of the source display stay in their columns: 100.000 ends at column 67.
        const std::string row = line_starting(doc.display_text(1).value_or(""), "Disbursements");
        EXPECT_EQ(character_count(row), 67u) << row;

        const std::string import = import_file_text(*doc.program());
        EXPECT_EQ(line_starting(import, "\"Program name"),
                  "\"" + report_label("Program name") + "\"  \"" + c.name + "\"");
        EXPECT_EQ(line_starting(import, "\"Description"),
                  "\"" + report_label("Description") + "\"  \"" + c.description + "\"");
    }
    if (!::testing::Test::HasFailure()) fs::remove_all(folder);
}

}  // namespace
}  // namespace fv
