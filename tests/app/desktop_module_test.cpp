// Finding and loading the desktop module, and printing through it, with
// stand-in modules built for these tests (no Qt in this process).
#include "app/desktop_module.h"

#include <gtest/gtest.h>

#include "app/module_printer.h"
#include "support/scratch_files.h"
#include "util/run_files.h"

namespace fv {
namespace {

std::string stand_in_program_dir(const char* form) { return std::string(FV_STAND_IN_MODULES) + "/" + form + "/bin/"; }

std::string stand_in_module(const char* form) {
    return std::string(FV_STAND_IN_MODULES) + "/" + form + "/" + installed_library_folder + "/ferravane/ferravane-desktop.so";
}

TEST(DesktopModule, LookedForBesideTheProgramThenInTheInstalledLibraryFolder) {
    const std::string installed = std::string("/") + installed_library_folder + "/ferravane/ferravane-desktop.so";
    EXPECT_EQ(desktop_module_places("/opt/fv/bin/"),
              (std::vector<std::string>{"/opt/fv/bin/ferravane-desktop.so", "/opt/fv" + installed}));
    EXPECT_EQ(desktop_module_places("/usr/bin/"),
              (std::vector<std::string>{"/usr/bin/ferravane-desktop.so", "/usr" + installed}));
}

TEST(DesktopModule, LoadsTheInstalledModuleOfThisVersion) {
    const desktop_module_load loaded = load_desktop_module(stand_in_program_dir("current"));
    ASSERT_NE(loaded.entry, nullptr) << loaded.failure;
    EXPECT_EQ(loaded.entry->version, unsigned(fv_desktop_entry_version));
    const char* files[] = {"a.wk1", "b.wk1"};
    EXPECT_EQ(loaded.entry->run_desktop(0, nullptr, files, 2), 42);  // the stand-in's answer
}

TEST(DesktopModule, AModuleThatCannotServeNamesTheFileAndTheReason) {
    test::scratch_folder scratch("desktop-module");
    test::fs::create_directories(scratch.path / "damaged");
    {
        std::ofstream damaged(scratch.at("damaged/ferravane-desktop.so"));
        for (int line = 0; line < 20; ++line) damaged << "not a shared object\n";
    }
    test::fs::create_directories(scratch.path / "empty");
    struct case_ {
        std::string program_dir;
        std::string file;    // the file the message names
        std::string reason;  // a part of the reason
    } cases[] = {
        {stand_in_program_dir("old"), stand_in_module("old"), ": it is of version 0, this program needs version 1."},
        {stand_in_program_dir("no-table"), stand_in_module("no-table"), ": it has no entry table ("},
        {scratch.at("damaged") + "/", scratch.at("damaged/ferravane-desktop.so"), "invalid ELF header"},  // dlerror's words
        {scratch.at("empty") + "/", scratch.at("empty/ferravane-desktop.so"), "No such file or directory"},
    };
    for (const case_& c : cases) {
        const desktop_module_load loaded = load_desktop_module(c.program_dir);
        EXPECT_EQ(loaded.entry, nullptr) << c.program_dir;
        EXPECT_EQ(loaded.failure.rfind("The desktop part of this program, " + c.file + ", cannot be loaded: ", 0), 0u)
            << loaded.failure;
        EXPECT_NE(loaded.failure.find(c.reason), std::string::npos) << loaded.failure;
    }
    // Found nowhere: both places are named.
    const std::string missing = load_desktop_module(scratch.at("empty") + "/").failure;
    EXPECT_NE(missing.find("(Looked for it as:\n  " + scratch.at("empty/ferravane-desktop.so") + "\n  " +
                           scratch.at(std::string(installed_library_folder) + "/ferravane/ferravane-desktop.so") + ")"),
              std::string::npos)
        << missing;
}

TEST(ModulePrinter, HandsTheTextAndTheFilesTheRunReadsToTheModule) {
    forget_run_files();
    note_run_file("/data/rates.txt", "the data file rates.txt of this program");
    module_printer printer(stand_in_program_dir("current"));
    std::string failure;
    EXPECT_FALSE(printer.print("subsidy\r\n", "book.wk1", "Thu 10 Dec 2026 07:39:59", failure));
    EXPECT_EQ(failure, "printed subsidy\r\n of book.wk1 at Thu 10 Dec 2026 07:39:59; "
                       "the data file rates.txt of this program /data/rates.txt");
    forget_run_files();
}

TEST(ModulePrinter, AModuleThatCannotBeLoadedFailsEveryPrintWithTheReason) {
    test::scratch_folder scratch("module-printer");
    module_printer printer(scratch.at("bin") + "/");
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::string failure;
        EXPECT_FALSE(printer.print("subsidy\r\n", "book.wk1", "", failure));
        EXPECT_EQ(failure.rfind("The desktop part of this program, " + scratch.at("bin/ferravane-desktop.so"), 0), 0u)
            << failure;
    }
}

}  // namespace
}  // namespace fv
