// Whole-file reads, safe replacement, same-file detection and the files a
// run reads.
#include "util/file_io.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "util/run_files.h"

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

TEST(FileIo, EveryKindOfFileThatIsNotRegularIsRefusedWithoutWaiting) {
    scratch_folder folder;
    ASSERT_EQ(::mkfifo(folder.at("pipe").c_str(), 0600), 0);  // no writer: a blocking open would wait forever
    fs::create_directory(folder.path / "folder");
    fs::create_symlink("/dev/zero", folder.path / "device");  // reads without end
    fs::create_symlink(folder.at("pipe"), folder.path / "link-to-pipe");
    std::ofstream(folder.at("large")) << std::string(1001, 'x');
    std::ofstream(folder.at("fits")) << std::string(1000, 'x');
    const struct {
        const char* name;
        read_status status;
    } cases[] = {
        {"pipe", read_status::not_regular},   {"folder", read_status::not_regular},
        {"device", read_status::not_regular}, {"link-to-pipe", read_status::not_regular},
        {"large", read_status::too_large},    {"absent", read_status::missing},
        {"fits", read_status::read},
    };
    for (const auto& c : cases) {
        const file_contents read = read_regular_file(folder.at(c.name), 1000);
        EXPECT_EQ(read.status, c.status) << c.name;
        EXPECT_EQ(read.bytes.size(), c.status == read_status::read ? 1000u : 0u) << c.name;
        EXPECT_EQ(open_regular_file(folder.at(c.name), 1000).file.is_open(), c.status == read_status::read) << c.name;
    }
    EXPECT_EQ(read_failure_reason(read_status::not_regular, 0, 1000), "it is not a regular file");
    EXPECT_EQ(read_failure_reason(read_status::too_large, 0, 1000), "it is larger than 1000 bytes");
}

TEST(FileIo, WritesReachWhatLinksNameAndLeaveTheLinks) {
    scratch_folder folder;
    fs::create_directory(folder.path / "real");
    std::ofstream(folder.at("real/existing.txt")) << "old";
    const struct {
        const char* link;
        const char* points_to;  // relative to the folder of the link
        const char* real;
    } cases[] = {
        {"to-existing", "real/existing.txt", "real/existing.txt"},
        {"to-missing", "real/missing.txt", "real/missing.txt"},
        {"to-link", "to-existing", "real/existing.txt"},
    };
    for (const auto& c : cases) {
        fs::create_symlink(c.points_to, folder.path / c.link);
        ASSERT_TRUE(replace_file(folder.at(c.link), c.link)) << c.link;
        EXPECT_TRUE(fs::is_symlink(folder.path / c.link)) << c.link;
        EXPECT_EQ(content(folder.at(c.real)), c.link);
    }
    // No temporary is left anywhere.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path / "real"), fs::directory_iterator()), 2);
}

TEST(FileIo, NamesOfOpenDescriptorsAreWrittenThroughThem) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ASSERT_TRUE(replace_file("/dev/fd/" + std::to_string(ends[1]), "through the pipe"));
    ::close(ends[1]);
    char got[64] = {};
    EXPECT_EQ(::read(ends[0], got, sizeof got), 16);
    EXPECT_STREQ(got, "through the pipe");
    ::close(ends[0]);
}

TEST(FileIo, AFileThisUserMayNotWriteIsNotReplaced) {
    if (::geteuid() == 0) GTEST_SKIP() << "the superuser may write any file";
    scratch_folder folder;
    const std::string target = folder.at("read-only.txt");
    std::ofstream(target) << "kept";
    fs::permissions(target, fs::perms::owner_read);
    const file_write outcome = replace_file(target, "new");
    EXPECT_EQ(outcome.status, write_status::not_permitted);
    EXPECT_EQ(write_failure_reason(outcome), "you may not write to it");
    EXPECT_EQ(content(target), "kept");
}

// A run stopped with INT, TERM or HUP while it replaces a file leaves the old
// or the new file, whole, and no temporary. The stop comes from a timer at
// different moments of a large write.
TEST(FileIo, AStoppedReplacementLeavesNoTemporary) {
    scratch_folder folder;
    const std::string target = folder.at("out.csv");
    const std::string old_content(1000, 'o');
    const std::string new_content(4'000'000, 'n');
    std::ofstream(target) << old_content;
    for (int stop : {SIGINT, SIGTERM, SIGHUP}) {
        for (int microseconds = 0; microseconds < 20'000; microseconds += 2'000) {
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                static int chosen;
                chosen = stop;
                ::signal(SIGALRM, [](int) { ::raise(chosen); });
                itimerval timer{};
                timer.it_value.tv_usec = microseconds + 1;
                ::setitimer(ITIMER_REAL, &timer, nullptr);
                (void)replace_file(target, new_content);
                ::pause();  // the timer ends the child if the write was quicker
                ::_exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == stop) << status;
            const auto now = read_whole_file(target, new_content.size());
            ASSERT_TRUE(now.has_value());
            const std::string text(now->begin(), now->end());
            EXPECT_TRUE(text == old_content || text == new_content) << text.size();
            EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 1)
                << "signal " << stop << " after " << microseconds << " us";
        }
    }
}

TEST(FileIo, OutputsAreRefusedOverEveryFileTheRunReads) {
    scratch_folder folder;
    forget_run_files();
    std::ofstream(folder.at("settings.ini")) << "[x]";
    std::ofstream(folder.at("book.wk1")) << "cells";
    note_run_file(folder.at("settings.ini"), "the settings file");
    fs::create_symlink(folder.at("settings.ini"), folder.path / "link.csv");
    fs::create_hard_link(folder.at("settings.ini"), folder.path / "hard.csv");
    const struct {
        const char* output;
        std::optional<std::string> refused;
    } cases[] = {
        {"settings.ini", "the settings file"},
        {"link.csv", "the settings file"},
        {"hard.csv", "the settings file"},
        {"book.wk1", "the spreadsheet being read"},
        {"other.csv", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(refused_output(folder.at(c.output), folder.at("book.wk1")), c.refused);
    // A log is never appended to one of them, checked on the opened file.
    EXPECT_FALSE(append_to_file(folder.at("hard.csv"), "a line\n"));
    EXPECT_EQ(content(folder.at("settings.ini")), "[x]");
    forget_run_files();
}

}  // namespace
}  // namespace fv
