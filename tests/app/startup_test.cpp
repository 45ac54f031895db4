// The data-file checks of start-up.
#include "app/startup.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fv {
namespace {

namespace fs = std::filesystem;

struct scratch_folder {
    fs::path path = fs::temp_directory_path() / ("fv-startup-" + std::to_string(::getpid()));
    scratch_folder() { fs::create_directories(path); }
    ~scratch_folder() { fs::remove_all(path); }
    std::string dir() const { return path.string() + "/"; }
};

TEST(Startup, RateFileMustExistButMayBeEmpty) {
    scratch_folder folder;
    // Both places are named: beside the program, and ../share/ferravane.
    EXPECT_EQ(check_startup_files(folder.dir()).failure,
              std::string(rate_file_missing_message) + "\n\n(Looked for it as:\n  " + folder.dir() +
                  "rates.txt\n  " + (folder.path.parent_path() / "share/ferravane/rates.txt").string() + ")");

    std::ofstream(folder.path / "rates.txt");  // empty
    fs::copy_file(fs::path(FV_BINARY_DIR) / "topics.txt", folder.path / "topics.txt");
    const startup_result result = check_startup_files(folder.dir());
    EXPECT_EQ(result.failure, "");
    ASSERT_TRUE(result.files.has_value());
    EXPECT_EQ(result.files->rate_file, folder.dir() + "rates.txt");
    EXPECT_EQ(result.files->data_directory, folder.dir());
}

TEST(Startup, AnInstalledProgramReadsItsDataFromShareFerravane) {
    // prefix/bin holds the program, prefix/share/ferravane the data files.
    scratch_folder prefix;
    const fs::path data = prefix.path / "share" / "ferravane";
    fs::create_directories(prefix.path / "bin");
    fs::create_directories(data);
    std::ofstream(data / "rates.txt");
    fs::copy_file(fs::path(FV_BINARY_DIR) / "topics.txt", data / "topics.txt");
    const startup_result result = check_startup_files(prefix.dir() + "bin/");
    ASSERT_TRUE(result.files.has_value()) << result.failure;
    EXPECT_EQ(result.files->data_directory, data.string() + "/");
    EXPECT_EQ(result.files->rate_file, (data / "rates.txt").string());
    EXPECT_EQ(result.files->help.file_name(), (data / "topics.txt").string());

    // A file beside the program comes first.
    std::ofstream(prefix.path / "bin" / "rates.txt");
    EXPECT_EQ(check_startup_files(prefix.dir() + "bin/").files->rate_file, prefix.dir() + "bin/rates.txt");

    // A topics file found nowhere names both places too.
    fs::remove(data / "topics.txt");
    const std::string failure = check_startup_files(prefix.dir() + "bin/").failure;
    EXPECT_EQ(failure.rfind("The file \"topics.txt\" in the root directory of this program is defective.", 0), 0u);
    EXPECT_NE(failure.find("\n  " + prefix.dir() + "bin/topics.txt\n  " + data.string() + "/topics.txt)"),
              std::string::npos)
        << failure;
}

TEST(Startup, DefectiveTopicsFileStopsWithItsReason) {
    scratch_folder folder;
    std::ofstream(folder.path / "rates.txt") << "x";
    std::ofstream(folder.path / "topics.txt") << "not a topics file\r\n";
    const startup_result result = check_startup_files(folder.dir());
    EXPECT_FALSE(result.files.has_value());
    EXPECT_EQ(result.failure.rfind("The file \"topics.txt\" in the root directory of this program is defective.", 0), 0u)
        << result.failure;
}

TEST(Startup, ProgramDirectoryEndsInASlash) {
    const std::string dir = program_directory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(fs::exists(dir + "test_app"));
}

}  // namespace
}  // namespace fv
