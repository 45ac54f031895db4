// The real Lotus files of the shared corpus (written by Lotus 1-2-3 and by
// other programs): each loads, and every cell that gnumeric's ssconvert reads
// from them has the same text or number in the dump (what wbdump prints)
// wherever our readers decode that record. The record types the readers leave undecoded are listed in the
// test output, so we know what real files hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "util/text_error.h"
#include "workbook/workbook_file.h"
#include "workbook/lotus123_reader.h"
#include "workbook/wk1_reader.h"
#include "workbook/wk3_reader.h"
#include "workbook/workbook_dump.h"

namespace fv {
namespace {

namespace fs = std::filesystem;

const fs::path corpus = FV_SHARED_DIR "/corpus/lotus";

std::string lower_extension(const fs::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

std::vector<fs::path> corpus_files() {
    std::vector<fs::path> files;
    if (!fs::is_directory(corpus)) return files;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        const std::string extension = lower_extension(entry.path());
        if (extension == ".wk1" || extension == ".wk3" || extension == ".wk4" || extension == ".123")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool have_ssconvert() { return std::system("command -v ssconvert >/dev/null 2>&1") == 0; }

// One CSV file of ssconvert (every field quoted, ';' between fields) as rows of fields.
std::vector<std::vector<std::string>> read_csv(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::vector<std::string>> rows(1);
    std::string field;
    bool quoted = false, any = false;
    for (std::size_t at = 0; at < content.size(); ++at) {
        const char c = content[at];
        if (quoted) {
            if (c == '"' && at + 1 < content.size() && content[at + 1] == '"') {
                field += '"';
                ++at;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = any = true;
        } else if (c == ';') {
            rows.back().push_back(field);
            field.clear();
        } else if (c == '\n') {
            rows.back().push_back(field);
            field.clear();
            rows.emplace_back();
        } else if (c != '\r') {
            field += c;
        }
    }
    if (!field.empty() || !rows.back().empty()) rows.back().push_back(field);
    if (rows.back().empty()) rows.pop_back();
    (void)any;
    return rows;
}

// The cell lines of the dump (what wbdump prints), by coordinate.
struct dumped_cell {
    int text_code = content_no_cell;
    std::string text;  // escaped as dumped
    int number_code = content_no_cell;
    std::string number;
};
std::map<std::string, dumped_cell> dumped_cells(workbook_file& book) {
    std::ostringstream out;
    dump_workbook(book, out);
    std::map<std::string, dumped_cell> cells;
    std::istringstream in(out.str());
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::size_t from = 0;
        for (std::size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
            fields.push_back(line.substr(from, tab - from));
        fields.push_back(line.substr(from));
        if (fields[0] != "cell") continue;
        EXPECT_EQ(fields.size(), 7u) << line;
        if (fields.size() != 7) continue;
        cells[fields[1]] = {std::stoi(fields[3]), fields[4], std::stoi(fields[5]), fields[6]};
    }
    return cells;
}

// Record types a reader decodes; all others are kept and not read.
std::set<unsigned> decoded_types(const std::string& extension) {
    if (extension == ".wk1") return {0, 1, 11, 13, 14, 15, 16, 51, 71};
    if (extension == ".123") return {0, 1, 9, 10, 20, 21, 22, 26, 37, 39, 40};
    return {0, 1, 9, 10, 20, 21, 22, 23, 24, 25, 26};
}

std::unique_ptr<lotus_reader> reader_for(const fs::path& file) {
    const std::string extension = lower_extension(file);
    if (extension == ".wk1") return std::make_unique<wk1_reader>(file.string());
    if (extension == ".123") return std::make_unique<lotus123_reader>(file.string());
    return std::make_unique<wk3_reader>(file.string());
}

// Differences we know of, by file name and coordinate, with the reason.
const std::map<std::pair<std::string, std::string>, std::string>& known_differences() {
    static const std::map<std::pair<std::string, std::string>, std::string> known = {
#include "lotus_corpus_known.inc"
    };
    return known;
}

TEST(LotusCorpus, EveryFileLoads) {
    const auto files = corpus_files();
    if (files.empty()) GTEST_SKIP() << "no Lotus corpus at " << corpus;
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        workbook_file book(file.string());
        EXPECT_NO_THROW(book.load());

        auto reader = reader_for(file);
        ASSERT_NO_THROW(reader->load());
        const std::set<unsigned> decoded = decoded_types(lower_extension(file));
        std::map<unsigned, int> undecoded;
        for (std::size_t at = 0; at < reader->record_count(); ++at)
            if (!decoded.count(reader->record(at).type)) ++undecoded[reader->record(at).type];
        std::ostringstream list;
        for (const auto& [type, count] : undecoded) list << " " << type << "(x" << count << ")";
        std::cout << "[ corpus   ] " << file.filename().string() << ": " << reader->record_count() << " records, "
                  << reader->data_cell_addresses().size() << " data cells; undecoded types:" << list.str() << "\n";
    }
}

TEST(LotusCorpus, CellsMatchWhatSsconvertReads) {
    const auto files = corpus_files();
    if (files.empty()) GTEST_SKIP() << "no Lotus corpus at " << corpus;
    if (!have_ssconvert()) GTEST_SKIP() << "ssconvert (gnumeric) is not installed";
    const fs::path work = fs::temp_directory_path() / ("fv_lotus_corpus_" + std::to_string(::getpid()));
    fs::create_directories(work);

    int compared = 0;
    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        const std::string name = file.filename().string();
        const fs::path out = work / name;
        fs::create_directories(out);
        const std::string command = "ssconvert -I Gnumeric_lotus:lotus -T Gnumeric_stf:stf_assistant "
                                    "-O 'separator=; format=raw quoting-mode=always' -S '" +
                                    file.string() + "' '" + (out / "%n.csv").string() + "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;

        workbook_file book(file.string());
        ASSERT_NO_THROW(book.load());
        const auto cells = dumped_cells(book);
        for (int sheet = 0; sheet < 256; ++sheet) {
            const fs::path csv = out / (std::to_string(sheet) + ".csv");
            if (!fs::exists(csv)) break;
            const auto rows = read_csv(csv);
            for (std::size_t row = 0; row < rows.size(); ++row) {
                for (std::size_t column = 0; column < rows[row].size(); ++column) {
                    const std::string& theirs = rows[row][column];
                    if (theirs.empty()) continue;  // no cell (or an empty text)
                    const std::string address_text = cell_address(static_cast<std::uint8_t>(sheet),
                                                         static_cast<std::uint16_t>(row),
                                                         static_cast<std::uint8_t>(column))
                                                  .to_text();
                    const auto found = cells.find(address_text);
                    const dumped_cell ours = found == cells.end() ? dumped_cell() : found->second;
                    std::string difference;
                    if (ours.text_code == content_delivered) {
                        if (ours.text != dump_escape(theirs))
                            difference = "text '" + ours.text + "' where ssconvert reads '" + dump_escape(theirs) + "'";
                    } else if (ours.number_code == content_delivered) {
                        // Both sides print enough digits to read back their double exactly.
                        if (std::strtod(ours.number.c_str(), nullptr) != std::strtod(theirs.c_str(), nullptr))
                            difference = "number " + ours.number + " where ssconvert reads '" + dump_escape(theirs) + "'";
                    } else {
                        difference = "codes " + std::to_string(ours.text_code) + "/" +
                                     std::to_string(ours.number_code) + " where ssconvert reads '" +
                                     dump_escape(theirs) + "'";
                    }
                    ++compared;
                    if (difference.empty()) continue;
                    const auto known = known_differences().find({name, address_text});
                    if (known != known_differences().end()) {
                        std::cout << "[ known    ] " << name << " " << address_text << ": " << difference << " -- "
                                  << known->second << "\n";
                    } else {
                        ADD_FAILURE() << name << " " << address_text << ": " << difference;
                    }
                }
            }
        }
    }
    fs::remove_all(work);
    std::cout << "[ corpus   ] " << compared << " cells compared with ssconvert\n";
    EXPECT_GT(compared, 0);
}

}  // namespace
}  // namespace fv
