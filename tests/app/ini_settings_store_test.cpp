// The INI settings store: values survive into a new store object on the same
// file, absent and unreadable values give the caller's default, the file is
// chosen by FERRAVANE_SETTINGS, and a damaged or unwritable file is reported
// without losing what it held.
#include "app/ini_settings_store.h"
#include "app/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "app/settings_keys.h"
#include "support/scratch_files.h"

namespace fv {
namespace {

using test::scoped_env;
using test::scratch_folder;
namespace keys = settings;

TEST(IniSettingsStore, ValuesSurviveIntoANewStoreOnTheSameFile) {
    scratch_folder folder("settings");
    const std::string ini = folder.at("profile.ini");
    const std::string odd_bytes = "/home/analyst/\xff\xfe programs.wk1";  // a file name that is not UTF-8
    {
        ini_settings_store store(ini);
        store.write_int(keys::runtime_options, keys::budget_year, 2027);
        store.write_int(keys::runtime_options, keys::preference_conflict, -1);
        store.write_int(keys::runtime_options, keys::online_print_options, INT32_MIN);
        store.write_int(keys::runtime_options, keys::online_view_options, INT32_MAX);
        store.write_text(keys::runtime_options, keys::range_names, "TRQ;DATA, CASH");
        store.write_text(keys::runtime_options, keys::own_filename, "@own rates.txt");
        store.write_text(keys::runtime_options, keys::rate_item_forecast, "Budget 2027 \xc3\xa9t\xc3\xa9 \"q\" = x");
        store.write_text(keys::runtime_options, keys::online_filename, "");
        store.write_text(keys::recent_file_list, keys::recent_file_key(1), odd_bytes);
        EXPECT_EQ(store.problem(), "");
        // The same object reads its own writes.
        EXPECT_EQ(store.read_int(keys::runtime_options, keys::budget_year, 0), 2027);
    }
    ini_settings_store again(ini);
    EXPECT_EQ(again.read_int(keys::runtime_options, keys::budget_year, 0), 2027);
    EXPECT_EQ(again.read_int(keys::runtime_options, keys::preference_conflict, 5), -1);
    EXPECT_EQ(again.read_int(keys::runtime_options, keys::online_print_options, 0), INT32_MIN);
    EXPECT_EQ(again.read_int(keys::runtime_options, keys::online_view_options, 0), INT32_MAX);
    EXPECT_EQ(again.read_text(keys::runtime_options, keys::range_names, ""), "TRQ;DATA, CASH");
    EXPECT_EQ(again.read_text(keys::runtime_options, keys::own_filename, ""), "@own rates.txt");
    EXPECT_EQ(again.read_text(keys::runtime_options, keys::rate_item_forecast, ""),
              "Budget 2027 \xc3\xa9t\xc3\xa9 \"q\" = x");
    EXPECT_EQ(again.read_text(keys::runtime_options, keys::online_filename, "absent"), "");
    EXPECT_EQ(again.read_text(keys::recent_file_list, keys::recent_file_key(1), ""), odd_bytes);
    // Absent keys, and a key of one section looked up in the other, give the default.
    EXPECT_EQ(again.read_int(keys::runtime_options, keys::startup_logo, -1), -1);
    EXPECT_EQ(again.read_text(keys::runtime_options, keys::rate_item_own, "none"), "none");
    EXPECT_EQ(again.read_text(keys::recent_file_list, keys::range_names, "none"), "none");
    // A fresh file gives defaults everywhere and the budget year rule works over it.
    ini_settings_store fresh(folder.at("fresh.ini"));
    EXPECT_EQ(fresh.read_int(keys::runtime_options, keys::budget_year, 0), 0);
    EXPECT_EQ(keys::read_range_names(fresh), "TRQ");
}

TEST(IniSettingsStore, HandWrittenFilesAreRead) {
    scratch_folder folder("settings-hand");
    const std::string ini = folder.at("hand.ini");
    std::ofstream(ini) << "[Runtime options]\n"
                          "budget_year=2031\n"
                          "startup_logo=  0\n"
                          "preference_purpose=two\n"
                          "rate_source=99999999999\n"
                          "range_names=TRQ, DATA\n"
                          "[Recent File List]\n"
                          "File2=/tmp/a.wk1\n";
    ini_settings_store store(ini);
    EXPECT_EQ(store.read_int(keys::runtime_options, keys::budget_year, 0), 2031);
    EXPECT_EQ(store.read_int(keys::runtime_options, keys::startup_logo, -1), 0);
    // Not a number, or beyond 32 bits: as if absent.
    EXPECT_EQ(store.read_int(keys::runtime_options, keys::preference_purpose, -1), -1);
    EXPECT_EQ(store.read_int(keys::runtime_options, keys::rate_source, -1), -1);
    // An unquoted value with a comma is still one text.
    EXPECT_EQ(store.read_text(keys::runtime_options, keys::range_names, ""), "TRQ,DATA");
    EXPECT_EQ(store.read_text(keys::recent_file_list, keys::recent_file_key(2), ""), "/tmp/a.wk1");
    EXPECT_EQ(store.problem(), "");
}

TEST(IniSettingsStore, FileComesFromTheEnvironmentOrTheUserProfile) {
    scratch_folder folder("settings-env");
    {
        const std::string ini = folder.at("from-env.ini");
        scoped_env named(settings_file_variable, ini.c_str());
        ini_settings_store store;
        EXPECT_EQ(store.file_path(), ini);
        store.write_int(keys::runtime_options, keys::do_wk_only, 1);
        EXPECT_NE(test::file_content(ini).find("do_wk_only=1"), std::string::npos);
    }
    // Unset or empty: the per-user file under the configuration home.
    const std::string home = folder.at("config");
    scoped_env config_home("XDG_CONFIG_HOME", home.c_str());
    for (const char* value : {static_cast<const char*>(nullptr), ""}) {
        scoped_env named(settings_file_variable, value);
        ini_settings_store store;
        EXPECT_EQ(store.file_path(), home + "/Ferravane/Ferravane.ini");
    }
}

TEST(IniSettingsStore, ProblemsAreReportedAndNothingIsLost) {
    scratch_folder folder("settings-bad");
    {
        // A folder where the file should be: it can be neither read nor written.
        ini_settings_store store(folder.path.string());
        EXPECT_EQ(store.problem(), "The settings file could not be read:\n" + folder.path.string());
        store.write_int(keys::runtime_options, keys::budget_year, 2027);
        EXPECT_EQ(store.read_int(keys::runtime_options, keys::budget_year, 0), 2027);  // kept for this run
        EXPECT_TRUE(test::fs::is_directory(folder.path));
    }
    {
        // A file in a folder that cannot be created.
        std::ofstream(folder.at("plain")) << "x";
        const std::string unreachable = folder.at("plain") + "/sub/profile.ini";
        ini_settings_store store(unreachable);
        store.write_int(keys::runtime_options, keys::budget_year, 2027);
        EXPECT_EQ(store.problem(), "The settings file could not be written:\n" + unreachable);
    }
    {
        // A damaged file still opens; its old bytes are kept before the first write replaces it.
        const std::string ini = folder.at("damaged.ini");
        const std::string damage = std::string("garbage\0\xff\n[Runtime options]\nx=\x01\x02\"\n[[[\n", 34);
        std::ofstream(ini, std::ios::binary) << damage;
        ini_settings_store store(ini);
        EXPECT_EQ(store.read_int(keys::runtime_options, keys::budget_year, 7), 7);
        store.write_int(keys::runtime_options, keys::budget_year, 2027);
        EXPECT_EQ(store.problem(), "The settings file was damaged and has been started again:\n" + ini +
                                       "\n\nIts old content is kept in:\n" + ini + ".damaged");
        EXPECT_EQ(test::file_content(ini + ".damaged"), damage);
        store.write_int(keys::runtime_options, keys::startup_logo, 0);
        ini_settings_store again(ini);
        EXPECT_EQ(again.read_int(keys::runtime_options, keys::budget_year, 0), 2027);
        EXPECT_EQ(again.read_int(keys::runtime_options, keys::startup_logo, -1), 0);
    }
}

// A settings file that is a pipe, a device, a folder or far too large is
// reported, never waited on nor read without end, and never written: the run
// goes on with the defaults and keeps its changes in memory.
TEST(IniSettingsStore, FilesThatAreNotRegularAreNeitherReadNorWritten) {
    scratch_folder folder("settings-odd");
    const struct {
        const char* name;
        void (*make)(const std::string&);
    } cases[] = {
        {"pipe", [](const std::string& path) { ::mkfifo(path.c_str(), 0600); }},
        {"device", [](const std::string& path) { test::fs::create_symlink("/dev/zero", path); }},
        {"folder", [](const std::string& path) { test::fs::create_directory(path); }},
        {"too large", [](const std::string& path) {
             std::ofstream(path) << "[Runtime%20options]\nbudget_year=2001\n";
             test::fs::resize_file(path, largest_settings_file + 1);
         }},
    };
    for (const auto& c : cases) {
        const std::string ini = folder.at(c.name);
        c.make(ini);
        const auto kind_before = test::fs::symlink_status(ini).type();
        const auto size_before = test::fs::is_regular_file(ini) ? test::fs::file_size(ini) : 0;
        ini_settings_store store(ini);
        EXPECT_EQ(store.problem(), "The settings file could not be read:\n" + ini) << c.name;
        EXPECT_EQ(store.read_int(keys::runtime_options, keys::budget_year, 0), 0) << c.name;
        store.write_int(keys::runtime_options, keys::budget_year, 2027);
        EXPECT_EQ(store.read_int(keys::runtime_options, keys::budget_year, 0), 2027) << c.name;
        EXPECT_EQ(test::fs::symlink_status(ini).type(), kind_before) << c.name;
        if (test::fs::is_regular_file(ini)) {
            EXPECT_EQ(test::fs::file_size(ini), size_before) << c.name;
        }
    }
}

TEST(IniSettingsStore, CommentsAreCommentsAndStayInTheFile) {
    scratch_folder folder("settings-comments");
    const std::string ini = folder.at("commented.ini");
    const std::string before =
        "# written by hand\n; another comment\n[Runtime%20options]\n# the year\nbudget_year=2031\n"
        "range_names=TRQ ; the usual\n";
    std::ofstream(ini) << before;
    ini_settings_store store(ini);
    EXPECT_EQ(store.problem(), "");
    EXPECT_EQ(store.read_int(keys::runtime_options, keys::budget_year, 0), 2031);
    EXPECT_EQ(store.read_text(keys::runtime_options, keys::range_names, ""), "TRQ");
    store.write_int(keys::runtime_options, keys::budget_year, 2032);
    store.write_int(keys::runtime_options, keys::startup_logo, 0);
    EXPECT_EQ(store.problem(), "");
    EXPECT_FALSE(test::fs::exists(ini + ".damaged"));
    // Only the changed line differs; the new key joins its section.
    EXPECT_EQ(test::file_content(ini),
              "# written by hand\n; another comment\n[Runtime%20options]\n# the year\nbudget_year=2032\n"
              "range_names=TRQ ; the usual\nstartup_logo=0\n");
}

TEST(IniSettingsStore, TwoStoresOnOneFileKeepEachOthersWrites) {
    scratch_folder folder("settings-two");
    const std::string ini = folder.at("shared.ini");
    ini_settings_store desktop(ini);
    ini_settings_store batch(ini);
    desktop.write_int(keys::runtime_options, keys::budget_year, 2030);
    batch.write_text(keys::runtime_options, keys::rate_item_forecast, "Budget 2030");
    ini_settings_store later(ini);
    EXPECT_EQ(later.read_int(keys::runtime_options, keys::budget_year, 0), 2030);
    EXPECT_EQ(later.read_text(keys::runtime_options, keys::rate_item_forecast, ""), "Budget 2030");
}

// A value still inside quotes, or carried on by a backslash, at the end of the
// file would swallow a line written after it: such a file counts as damaged.
TEST(IniFile, UnfinishedValuesAtTheEndMakeTheFileDamaged) {
    const struct {
        const char* text;
        bool damaged;
    } cases[] = {
        {"[a]\nk=\"open", true},      {"[a]\nk=carried\\", true}, {"[a]\nk=carried\\\n", true},
        {"[a]\nk=\"closed\"", false}, {"[a]\nk=plain", false},     {"[a]\nk=\"two\nlines\"\n", false},
        {"[a]\nno equals sign\n", true}, {"[a\nk=v\n", true},       {"# only a comment", false},
    };
    for (const auto& c : cases) {
        ini_file file(c.text);
        EXPECT_EQ(file.damaged(), c.damaged) << c.text;
        EXPECT_EQ(file.text(), c.text);
    }
}

// Any key and value written reads back the same, however odd (a key that is
// only a slash once did not: it was written as a lone backslash).
TEST(IniFile, WrittenKeysAndValuesReadBack) {
    const std::string keys_tried[] = {"/", "a/b", "with blank", "caf\xc3\xa9", "[x]", "k=v", "#not a comment", ";"};
    const std::string values_tried[] = {"", "\\", "a\\", "\"", " x ", "a;b", std::string("\0\x01" "7", 3), "\xff"};
    for (const std::string& section : {std::string("Runtime options"), std::string(), std::string("General")}) {
        ini_file file;
        for (std::size_t k = 0; k < std::size(keys_tried); ++k) file.set(section, keys_tried[k], values_tried[k]);
        const ini_file again(file.text());
        EXPECT_FALSE(again.damaged()) << file.text();
        for (std::size_t k = 0; k < std::size(keys_tried); ++k)
            EXPECT_EQ(again.value(section, keys_tried[k]), values_tried[k]) << section << "/" << keys_tried[k];
    }
}

}  // namespace
}  // namespace fv
