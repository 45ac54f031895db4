// Whole-file reads, safe replacement and same-file detection.
#include "util/file_io.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fv {
namespace {

namespace fs = std::filesystem;

struct scratch_folder {
    fs::path path = fs::temp_directory_path() / ("fv-file-io-" + std::to_string(::getpid()));
    scratch_folder() { fs::create_directories(path); }
    ~scratch_folder() { fs::remove_all(path); }
    std::string at(const char* name) const { return (path / name).string(); }
};

std::string content(const std::string& path) {
    const auto bytes = read_whole_file(path, 1000);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "(unreadable)";
}

TEST(FileIo, ReplacesWholeAndLeavesNoTemporaryBehind) {
    scratch_folder folder;
    const std::string target = folder.at("out.txt");
    ASSERT_TRUE(write_file_replacing(target, "first"));
    ASSERT_TRUE(write_file_replacing(target, "second\r\n"));
    EXPECT_EQ(content(target), "second\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 1);
}

TEST(FileIo, FailuresLeaveTheOldStateAndSayFalse) {
    scratch_folder folder;
    EXPECT_FALSE(write_file_replacing(folder.at("missing/out.txt"), "x"));
    fs::create_directory(folder.path / "dir");
    EXPECT_FALSE(write_file_replacing(folder.at("dir"), "x"));
    EXPECT_TRUE(fs::is_directory(folder.path / "dir"));
}

TEST(FileIo, ReadsOnlyRegularFilesWithinTheLimit) {
    scratch_folder folder;
    std::ofstream(folder.at("big")) << std::string(2000, 'x');
    EXPECT_FALSE(read_whole_file(folder.at("big"), 1000).has_value());
    EXPECT_FALSE(read_whole_file(folder.path.string(), 1000).has_value());
    EXPECT_FALSE(read_whole_file(folder.at("absent"), 1000).has_value());
}

TEST(FileIo, SameFileSeesThroughLinksAndOtherSpellings) {
    scratch_folder folder;
    const std::string book = folder.at("book.wk1");
    std::ofstream(book) << "data";
    fs::create_symlink(book, folder.path / "link.wk1");
    EXPECT_TRUE(same_file(book, folder.at("link.wk1")));
    EXPECT_TRUE(same_file(book, (folder.path / "." / "book.wk1").string()));
    EXPECT_FALSE(same_file(book, folder.at("other.wk1")));
    // Writing through the link replaces the file it names and keeps the link.
    ASSERT_TRUE(write_file_replacing(folder.at("link.wk1"), "new"));
    EXPECT_TRUE(fs::is_symlink(folder.path / "link.wk1"));
    EXPECT_EQ(content(book), "new");
}

}  // namespace
}  // namespace fv
