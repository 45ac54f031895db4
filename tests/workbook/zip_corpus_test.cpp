// Second readers on the same bytes: every XLSX fixture and example is read by
// python3-openpyxl (data_only=True), every ODS one by gnumeric, and this
// reader must agree with them on every sheet, cell and named range: numbers
// exactly, texts byte for byte, booleans and errors as the XLS reader reads
// such cells. Where the two differ by design the difference is printed and
// counted.
#include <gtest/gtest.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <tuple>

#include "util/text_error.h"
#include "workbook/workbook_file.h"
#include "second_reader.h"

namespace fv {
namespace {

namespace fs = std::filesystem;

const char* python = "/usr/bin/python3";
const std::string fixtures = std::string(FV_SOURCE_DIR) + "/tests/fixtures/zip/";

// The second reader's lines; nothing when it is not installed (exit status 3).
std::optional<std::vector<std::string>> second_reader(const std::string& script, const std::string& file) {
    int status = 0;
    auto lines = test::output_lines(std::string(python) + " '" + fixtures + script + "' '" + file + "' 2>/dev/null",
                                    status);
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) == 3) return std::nullopt;
    EXPECT_EQ(WEXITSTATUS(status), 0) << script << " failed on " << file;
    return lines;
}

using test::from_hex;

struct tally {
    int files = 0, cells = 0, names = 0, differences = 0;
};

// Compares `file` with what the second reader read in `read_by_second` (the
// same file, or its twin in the transitional namespace).
void compare(const std::string& file, const std::string& script, const std::string& read_by_second, tally& total) {
    SCOPED_TRACE(file);
    const auto lines = second_reader(script, read_by_second);
    ASSERT_TRUE(lines.has_value());
    workbook_file book(file);
    ASSERT_NO_THROW(book.load());
    ++total.files;
    const std::string leaf = fs::path(file).filename().string();
    auto note = [&](const std::string& what) {
        ++total.differences;
        std::printf("  [difference by design] %s: %s\n", leaf.c_str(), what.c_str());
    };

    std::vector<std::string> sheets;
    std::set<std::string> theirs;
    std::vector<std::pair<std::string, std::string>> names;
    book.use_cursor_addressing();
    for (const std::string& line : *lines) {
        const auto f = test::tab_fields(line);
        if (f.size() == 3 && f[0] == "sheet") sheets.push_back(from_hex(f[2]));
        if (f.size() == 3 && f[0] == "name") names.emplace_back(from_hex(f[1]), f[2]);
        if (f.size() != 7 || f[0] != "cell") continue;
        ++total.cells;
        const cell_address address(static_cast<std::uint8_t>(std::stoi(f[1])), static_cast<std::uint16_t>(std::stoi(f[2])),
                                 static_cast<std::uint8_t>(std::stoi(f[3])));
        const std::string where = address.to_text();
        theirs.insert(where);
        const std::string& type = f[4];
        const bool formula = f[6] == "1";
        const int kind = book.move_cursor(where);
        std::string text;
        double number = 0;
        const int text_code = book.read_cell(where, text);
        const int number_code = book.read_cell(where, number);
        if (type == "N" || type == "D") {
            ASSERT_EQ(kind, kind_number) << where;
            ASSERT_EQ(number_code, content_delivered) << where;
            const double expected = std::strtod(f[5].c_str(), nullptr);
            // A date goes through the other reader's calendar and back: a tenth of a second is close enough.
            if (type == "N") EXPECT_EQ(number, expected) << where;
            else EXPECT_NEAR(number, expected, 1e-6) << where;
        } else if (type == "T") {
            ASSERT_EQ(kind, kind_text) << where;
            ASSERT_EQ(text_code, content_delivered) << where;
            EXPECT_EQ(text, from_hex(f[5])) << where;
        } else if (type == "B" && !formula) {
            EXPECT_EQ(kind, kind_number) << where;
            EXPECT_EQ(number_code, content_delivered) << where;
            EXPECT_EQ(number, f[5] == "1" ? 1.0 : 0.0) << where;
        } else if (type == "B") {
            EXPECT_EQ(kind, kind_other) << where;
            EXPECT_EQ(number_code, content_error_value) << where;
            note(where + " a formula's boolean reads as an error value, as in an XLS file");
        } else if (type == "E") {
            EXPECT_EQ(kind, kind_other) << where;
            const int code = f[5] == "#N/A" ? content_not_available : content_error_value;
            EXPECT_EQ(text_code, code) << where;
            EXPECT_EQ(number_code, code) << where;
        } else {
            ADD_FAILURE() << "unknown type " << type;
        }
    }
    // Cells here that the other reader does not have: only formulas without a result.
    for (const cell_address& address : book.data_cell_addresses()) {
        const std::string where = address.to_text();
        if (theirs.count(where)) continue;
        double number = 0;
        EXPECT_EQ(book.read_cell(where, number), content_empty_result) << where << " is a cell here only";
        note(where + " a formula without a cached result is an empty result here, no cell there");
    }
    EXPECT_EQ(book.sheet_names(), sheets);

    // gnumeric makes these two names for every sheet it reads, whatever the file holds.
    auto gnumeric_builtin = [&](const std::string& name) {
        return script == "gnumeric_dump.py" && (name == "Print_Area" || name == "Sheet_Title");
    };
    std::multiset<std::string> listed;
    for (const std::string& name : book.range_names())
        if (!gnumeric_builtin(name)) listed.insert(name);
    std::multiset<std::string> their_names;
    for (const auto& [name, corners] : names) {
        if (gnumeric_builtin(name)) continue;
        ++total.names;
        their_names.insert(name);
        range_bounds b;
        std::string ours = "-";
        if (book.find_range(name, b))
            ours = std::to_string(b.sheet1) + " " + std::to_string(b.row1) + " " + std::to_string(b.column1) + " " +
                   std::to_string(b.sheet2) + " " + std::to_string(b.row2) + " " + std::to_string(b.column2);
        if (corners == "-" && ours != "-" && leaf.find("gnumeric") != std::string::npos) {
            note("name " + name + " with a quote in its sheet written \\' (gnumeric's way) is a range here");
            continue;
        }
        EXPECT_EQ(ours, corners) << name;
    }
    EXPECT_EQ(listed, their_names);
}

TEST(ZipCorpus, OpenpyxlAndGnumericReadWhatThisReaderReads) {
    if (!fs::exists(python)) GTEST_SKIP() << python << " is not installed";
    if (!second_reader("openpyxl_dump.py", fixtures + "openpyxl.xlsx")) GTEST_SKIP() << "python3-openpyxl is not installed";
    const bool gnumeric = second_reader("gnumeric_dump.py", fixtures + "gnumeric.ods").has_value();
    if (!gnumeric) std::printf("  [skipped] gnumeric's ssconvert is not installed: the ODS files are not compared\n");

    tally total;
    for (const char* file : {"openpyxl.xlsx", "gnumeric.xlsx", "handmade.xlsx"})
        compare(fixtures + file, "openpyxl_dump.py", fixtures + file, total);
    // openpyxl reads no strict package: its transitional twin stands in.
    compare(fixtures + "handmade_strict.xlsx", "openpyxl_dump.py", fixtures + "handmade.xlsx", total);
    if (gnumeric)
        for (const char* file : {"gnumeric.ods", "handmade.ods"})
            compare(fixtures + file, "gnumeric_dump.py", fixtures + file, total);
    for (const auto& entry : fs::directory_iterator(std::string(FV_SOURCE_DIR) + "/examples")) {
        const std::string path = entry.path().string();
        if (entry.path().extension() == ".xlsx") compare(path, "openpyxl_dump.py", path, total);
        if (entry.path().extension() == ".ods" && gnumeric) compare(path, "gnumeric_dump.py", path, total);
    }
    std::printf("  %d files, %d cells, %d names compared, %d differences by design\n", total.files, total.cells,
                total.names, total.differences);
    EXPECT_GT(total.cells, 0);
}

}  // namespace
}  // namespace fv
