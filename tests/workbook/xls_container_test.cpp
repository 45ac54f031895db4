// The XLS reader's container: the compound document around the workbook
// stream. Damaged containers (cut short, a looping directory or sector chain,
// a stream size that lies) and files of the wrong kind end in a message.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "util/text_error.h"
#include "workbook/compound_document.h"
#include "workbook/workbook_file.h"
#include "workbook/xls_reader.h"

namespace {

std::vector<unsigned char> read_fixture(const char* name) {
    std::ifstream in(std::string(FV_SOURCE_DIR) + "/tests/fixtures/xls/" + name, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t get32(const std::vector<unsigned char>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
void put32(std::vector<unsigned char>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
}

// Offsets in a compound document of 512-byte sectors with one FAT sector.
struct layout {
    std::size_t directory;  // the first directory sector
    std::uint32_t directory_sector;
    std::size_t fat;        // the first FAT sector
};
layout layout_of(const std::vector<unsigned char>& image) {
    const std::uint32_t dir = get32(image, 0x30);
    return {512 + 512 * static_cast<std::size_t>(dir), dir, 512 + 512 * static_cast<std::size_t>(get32(image, 0x4C))};
}
// The directory entry whose name (16-bit characters) is `name`.
std::size_t entry_named(const std::vector<unsigned char>& image, const std::string& name) {
    const std::size_t dir = layout_of(image).directory;
    for (std::size_t e = dir; e < dir + 512; e += 128) {
        bool same = image[e + 64] == 2 * (name.size() + 1);
        for (std::size_t i = 0; same && i < name.size(); ++i) same = image[e + 2 * i] == name[i];
        if (same) return e;
    }
    ADD_FAILURE() << "no entry " << name;
    return dir;
}

std::string image_failure(std::vector<unsigned char> image) {
    fv::xls_reader book("");
    try {
        book.load_image(std::move(image));
    } catch (const fv::text_error& e) {
        return e.text();
    }
    return "(loaded)";
}

const std::string unknown = "Spreadsheet file  is in an unknown format.";

// A damaged container either yields the whole, unchanged workbook or the
// unknown-format message; it never hangs and never yields part of a stream.
void expect_whole_or_unknown(std::vector<unsigned char> image) {
    fv::xls_reader book("");
    try {
        book.load_image(std::move(image));
    } catch (const fv::text_error& e) {
        EXPECT_EQ(e.text(), unknown);
        return;
    }
    std::string text;
    EXPECT_EQ(book.read_cell("C:A400", text), fv::content_delivered);
    EXPECT_EQ(text.substr(0, 6), "s0399-");
    EXPECT_EQ(book.range_names().size(), 5u);
}

// A file in the build folder, removed at the end of the test.
struct temporary_file {
    std::string path;
    explicit temporary_file(const std::string& leaf) : path(std::string(FV_BINARY_DIR) + "/" + leaf) {}
    ~temporary_file() { std::remove(path.c_str()); }
};

}  // namespace

TEST(XlsContainer, DamagedContainersEndInTheUnknownFormatMessage) {
    const auto good = read_fixture("gnumeric_v8.xls");
    ASSERT_GT(good.size(), 4096u);
    EXPECT_EQ(image_failure(good), "(loaded)");

    // Cut short: the stream can no longer be read whole.
    for (std::size_t keep : {std::size_t{100}, std::size_t{512}, good.size() / 2, good.size() - 512}) {
        EXPECT_EQ(image_failure(std::vector<unsigned char>(good.begin(), good.begin() + static_cast<long>(keep))),
                  unknown)
            << keep;
    }

    const layout at = layout_of(good);
    const std::size_t workbook = entry_named(good, "Workbook");

    // The directory's sector chain points back at itself: the chain ends at
    // the loop; this directory fits its first sector, so the workbook still reads.
    auto chain_loop = good;
    put32(chain_loop, at.fat + 4 * at.directory_sector, at.directory_sector);
    expect_whole_or_unknown(chain_loop);

    // The stream's sector chain loops.
    auto stream_loop = good;
    const std::uint32_t start = get32(good, workbook + 116);
    put32(stream_loop, at.fat + 4 * start, start);
    EXPECT_EQ(image_failure(stream_loop), unknown);

    // A directory entry that is its own sibling, and the root that is its own child.
    auto sibling_loop = good;
    const std::uint32_t self = static_cast<std::uint32_t>((workbook - at.directory) / 128);
    put32(sibling_loop, workbook + 68, self);
    expect_whole_or_unknown(sibling_loop);
    auto child_loop = good;
    put32(child_loop, at.directory + 76, 0);
    expect_whole_or_unknown(child_loop);

    // Stream sizes that lie: beyond the file, and beyond the stream's chain.
    for (std::uint32_t size : {0x7FFFFFF0u, static_cast<std::uint32_t>(good.size() - 600)}) {
        auto lying = good;
        put32(lying, workbook + 120, size);
        EXPECT_EQ(image_failure(lying), unknown) << size;
    }
}

TEST(XlsContainer, StreamNamesFoundIgnoringCase) {
    const auto good = read_fixture("gnumeric_v8.xls");
    const std::size_t workbook = entry_named(good, "Workbook");
    const auto stream = fv::compound_stream(good, {"Workbook"});
    ASSERT_TRUE(stream.has_value());

    auto upper = good;
    const std::string caps = "WORKBOOK";
    for (std::size_t i = 0; i < caps.size(); ++i) upper[workbook + 2 * i] = static_cast<unsigned char>(caps[i]);
    EXPECT_EQ(fv::compound_stream(upper, {"Workbook", "Book"}), stream);

    // Named "book": found as the second choice.
    auto book = good;
    const std::string lower = "book";
    for (std::size_t i = 0; i < 16; ++i) book[workbook + i] = 0;
    for (std::size_t i = 0; i < lower.size(); ++i) book[workbook + 2 * i] = static_cast<unsigned char>(lower[i]);
    book[workbook + 64] = 10;
    EXPECT_FALSE(fv::compound_stream(book, {"Workbook"}).has_value());
    EXPECT_EQ(fv::compound_stream(book, {"Workbook", "Book"}), stream);
    EXPECT_EQ(image_failure(book), "(loaded)");

    EXPECT_FALSE(fv::compound_stream(good, {"Nothing"}).has_value());
    EXPECT_FALSE(fv::compound_stream({}, {"Workbook"}).has_value());
}

TEST(XlsContainer, FilesThatAreNoWorkbooks) {
    // A text file with the extension of a workbook.
    temporary_file text("xls_container_text.xls");
    {
        std::ofstream out(text.path);
        out << "Name,Loans\nDisbursements,100,200\n";
    }
    fv::workbook_file front(text.path);
    try {
        front.load();
        ADD_FAILURE() << "a text file loaded";
    } catch (const fv::text_error& e) {
        EXPECT_EQ(e.text(), "Spreadsheet file " + fv::full_path(text.path) + " is in an unknown format.");
    }

    // Size limit: 12,000,000 bytes pass the size check, one more does not.
    temporary_file big("xls_container_big.xls");
    for (off_t size : {off_t{12000000}, off_t{12000001}}) {
        {
            std::ofstream out(big.path, std::ios::binary | std::ios::trunc);
        }
        ASSERT_EQ(::truncate(big.path.c_str(), size), 0);
        fv::xls_reader book(big.path);
        try {
            book.load();
            ADD_FAILURE() << "loaded";
        } catch (const fv::text_error& e) {
            const std::string path = fv::full_path(big.path);
            EXPECT_EQ(e.text(), size == 12000000 ? "Spreadsheet file " + path + " is in an unknown format."
                                                 : "Spreadsheet file " + path + " is larger than 12 MB.");
        }
    }

    // Not a regular file (a folder, a FIFO that would block a reader), and no file at all.
    temporary_file fifo("xls_container_fifo.xls");
    std::remove(fifo.path.c_str());
    ASSERT_EQ(::mkfifo(fifo.path.c_str(), 0600), 0);
    for (const std::string& path :
         {std::string(FV_BINARY_DIR), fifo.path, std::string(FV_BINARY_DIR) + "/no_such.xls"}) {
        fv::xls_reader book(path);
        try {
            book.load();
            ADD_FAILURE() << path;
        } catch (const fv::text_error& e) {
            EXPECT_EQ(e.text(), "xls_file::load unable to open " + fv::full_path(path));
        }
    }
}
