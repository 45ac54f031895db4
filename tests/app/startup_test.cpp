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
    EXPECT_EQ(check_startup_files(folder.dir()).failure, rate_file_missing_message);

    std::ofstream(folder.path / "rates.txt");  // empty
    fs::copy_file(fs::path(FV_BINARY_DIR) / "topics.txt", folder.path / "topics.txt");
    const startup_result result = check_startup_files(folder.dir());
    EXPECT_EQ(result.failure, "");
    ASSERT_TRUE(result.files.has_value());
    EXPECT_EQ(result.files->rate_file, folder.dir() + "rates.txt");
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
