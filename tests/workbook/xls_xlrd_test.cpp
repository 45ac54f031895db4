// A second reader on the same bytes: python3-xlrd reads every XLS file of the
// shared corpus and of our fixtures, and this reader must agree with it on
// every name and cell it decodes (numbers exactly, texts byte for byte).
// Where the two differ by design the difference is counted and printed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "util/text_error.h"
#include "util/ascii.h"
#include "workbook/xls_reader.h"
#include "second_reader.h"

namespace {

namespace fs = std::filesystem;

const char* python = "/usr/bin/python3";

std::string script() { return std::string(FV_SOURCE_DIR) + "/tests/fixtures/xls/xlrd_dump.py"; }

using fv::test::from_hex;

// Runs the dump; false when xlrd is missing.
bool xlrd_dump(const std::string& file, std::vector<std::string>& lines, int& status) {
    lines = fv::test::output_lines(std::string(python) + " '" + script() + "' '" + file + "' 2>/dev/null", status);
    return status != -1 && !(WIFEXITED(status) && WEXITSTATUS(status) == 3);
}

std::string address_text(int sheet, int row, int column) {
    return fv::index_letters(static_cast<unsigned>(sheet)) + ":" + fv::index_letters(static_cast<unsigned>(column)) +
           std::to_string(row + 1);
}

struct tally {
    int names = 0, cells = 0, differences = 0;
};

// Compares one file; differences by design are printed and counted.
void compare(const std::string& file, tally& total) {
    SCOPED_TRACE(file);
    std::vector<std::string> lines;
    int status = 0;
    ASSERT_TRUE(xlrd_dump(file, lines, status));
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "xlrd could not read the file";

    fv::xls_reader book(file);
    ASSERT_NO_THROW(book.load());
    const std::string leaf = fs::path(file).filename().string();
    auto note = [&](const std::string& what) {
        ++total.differences;
        std::printf("  [xlrd difference] %s: %s\n", leaf.c_str(), what.c_str());
    };

    // Names first: a lookup ignores case and takes the first match, where
    // xlrd keeps names that differ only in case apart.
    std::vector<std::pair<std::string, std::string>> xlrd_names;
    for (const auto& line : lines) {
        const auto f = fv::test::tab_fields(line);
        if (f.size() == 3 && f[0] == "name") xlrd_names.emplace_back(from_hex(f[1]), f[2]);
    }
    for (const auto& [name, corners] : xlrd_names) {
        ++total.names;
        std::string expected = corners;
        for (const auto& [other, other_corners] : xlrd_names) {
            if (!fv::equal_ignoring_case(other, name)) continue;
            if (other != name) note("name " + name + " is found as " + other + ", its first match ignoring case");
            expected = other_corners;
            break;
        }
        fv::range_bounds r;
        const bool found = book.find_range(name, r);
        if (expected == "-") {
            if (found) note("name " + name + " is no single 3-D area for xlrd but has corners here");
            continue;
        }
        ASSERT_TRUE(found) << name;
        std::ostringstream ours;
        ours << r.sheet1 << ' ' << r.row1 << ' ' << r.column1 << ' ' << r.sheet2 << ' ' << r.row2 << ' ' << r.column2;
        EXPECT_EQ(ours.str(), expected) << name;
    }

    std::set<std::tuple<int, int, int>> xlrd_cells;
    for (const auto& line : lines) {
        const auto f = fv::test::tab_fields(line);
        if (f.empty()) continue;
        if (f[0] == "version") {
            EXPECT_EQ(book.version(), std::stoi(f[1]) >= 80 ? 8 : 5);
        } else if (f[0] == "cell" && f.size() >= 5) {
            ++total.cells;
            const int sheet = std::stoi(f[1]), row = std::stoi(f[2]), column = std::stoi(f[3]);
            xlrd_cells.insert({sheet, row, column});
            const std::string where = address_text(sheet, row, column);
            std::string text;
            double number = 0;
            if (f[4] == "N") {
                ASSERT_EQ(book.read_cell(where, number), fv::content_delivered) << where;
                EXPECT_EQ(number, std::strtod(f[5].c_str(), nullptr)) << where;
            } else if (f[4] == "T") {
                const std::string expected = from_hex(f.size() > 5 ? f[5] : "");
                const int code = book.read_cell(where, text);
                if (expected.empty() && code == fv::content_is_number &&
                    book.read_cell(where, number) == fv::content_empty_result) {
                    note(where + " formula with an empty text result reads as an empty result, not as \"\"");
                    continue;
                }
                ASSERT_EQ(code, fv::content_delivered) << where;
                EXPECT_EQ(text, expected) << where;
            } else if (f[4] == "B" || f[4] == "E") {
                const int as_number = book.read_cell(where, number);
                if (as_number == fv::content_delivered) {
                    EXPECT_EQ(number, 0.0) << where;
                    note(where + " boolean or error cell reads as the number 0");
                } else {
                    EXPECT_EQ(as_number, fv::content_error_value) << where;
                    note(where + " boolean or error formula result reads as an error value");
                }
            }
        }
    }
    std::vector<std::string> listed;
    for (const auto& entry : xlrd_names) listed.push_back(entry.first);
    EXPECT_EQ(book.range_names(), listed);
    for (const auto& address : book.data_cell_addresses())
        EXPECT_TRUE(xlrd_cells.count({address.sheet, address.row, address.column}))
            << address.to_text() << " is a cell here but not for xlrd";
}

}  // namespace

TEST(XlsXlrd, ReadersAgreeOnCorpusAndFixtures) {
    if (!fs::exists(python)) GTEST_SKIP() << python << " is not installed";
    std::vector<std::string> probe;
    int status = 0;
    if (!xlrd_dump(std::string(FV_SOURCE_DIR) + "/tests/fixtures/xls/xlwt_v8.xls", probe, status))
        GTEST_SKIP() << "python3-xlrd is not installed";

    std::vector<std::string> files;
    const fs::path corpus = fs::path(FV_SHARED_DIR) / "corpus" / "xls";
    if (fs::is_directory(corpus)) {
        for (const auto& entry : fs::directory_iterator(corpus))
            if (entry.is_regular_file()) files.push_back(entry.path().string());
    } else {
        std::printf("  [skipped] no corpus at %s\n", corpus.string().c_str());
    }
    for (const char* fixture : {"gnumeric_v5.xls", "gnumeric_v8.xls", "xlwt_v8.xls"})
        files.push_back(std::string(FV_SOURCE_DIR) + "/tests/fixtures/xls/" + fixture);
    std::sort(files.begin(), files.end());

    tally total;
    for (const auto& file : files) compare(file, total);
    std::printf("  %zu files, %d names, %d cells compared with xlrd, %d differences by design\n", files.size(),
                total.names, total.cells, total.differences);
    EXPECT_GT(total.cells, 0);
}
