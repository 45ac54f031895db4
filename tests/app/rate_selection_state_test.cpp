// A document's rate choice made from the settings, with the repairs of stale values.
#include "app/rate_selection_state.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "app/settings_keys.h"
#include "support/scratch_files.h"

namespace fv {
namespace {

const std::string shipped_rates = std::string(FV_BINARY_DIR) + "/rates.txt";

TEST(DocumentRates, RepairsSourceAndStaleTitles) {
    memory_settings_store store;
    const std::string& section = settings::runtime_options;
    store.write_int(section, settings::rate_source, 7);
    store.write_text(section, settings::rate_item_forecast, "Budget 1850");
    store.write_text(section, settings::rate_item_actual, "fy 1999 average");

    const document_rates made = make_document_rates(store, shipped_rates, "");
    ASSERT_FALSE(made.failure.has_value()) << *made.failure;
    EXPECT_EQ(made.selection.source, rate_source::budget);
    EXPECT_EQ(store.read_int(section, settings::rate_source, -1), 1);

    const std::string first_budget = made.rates.budget().front().title;
    EXPECT_EQ(made.selection.title_of(rate_source::budget), first_budget);
    EXPECT_EQ(store.read_text(section, settings::rate_item_forecast, ""), first_budget);
    EXPECT_EQ(made.selection.title_of(rate_source::actual), "fy 1999 average");  // found ignoring case, kept as stored
    EXPECT_EQ(made.selection.title_of(rate_source::own), "");                 // no own sets
}

TEST(DocumentRates, MissingRateFileIsReported) {
    memory_settings_store store;
    const document_rates made = make_document_rates(store, "/nonexistent/rates.txt", "");
    ASSERT_TRUE(made.failure.has_value());
    EXPECT_FALSE(made.failure->empty());
    EXPECT_TRUE(made.rates.budget().empty());
}

// An own-rate file that does not load affects only the own category: the
// actual and budget sets load, nothing is ever saved over the file, and no
// remembered setting is emptied or replaced because of it.
TEST(DocumentRates, AnOwnRateFileThatDoesNotLoadAffectsOnlyTheOwnRates) {
    test::scratch_folder folder("own-rates");
    const std::string own = folder.at("own.txt");
    const struct {
        const char* kind;
        void (*make)(const std::string&);
    } cases[] = {
        {"garbage", [](const std::string& path) { std::ofstream(path) << "\x01\x02 not a rate file\n"; }},
        {"folder", [](const std::string& path) { std::filesystem::create_directory(path); }},
        {"pipe", [](const std::string& path) { ::mkfifo(path.c_str(), 0600); }},
        {"too large", [](const std::string& path) {
             std::ofstream(path) << "#CLIENT-RATE-FILE\n";
             std::filesystem::resize_file(path, largest_rate_file + 1);
         }},
    };
    const std::string& section = settings::runtime_options;
    for (const auto& c : cases) {
        std::filesystem::remove_all(own);
        c.make(own);
        memory_settings_store store;
        store.write_int(section, settings::rate_source, 2);
        store.write_text(section, settings::own_filename, own);
        store.write_text(section, settings::rate_item_own, "My scenario");
        store.write_text(section, settings::rate_item_forecast, "Budget 2001");

        const document_rates made = make_document_rates(store, shipped_rates, own);
        ASSERT_TRUE(made.failure.has_value()) << c.kind;
        EXPECT_FALSE(made.rates.actual().empty()) << c.kind;
        EXPECT_NE(made.rates.find_budget_year(2001), nullptr) << c.kind;
        EXPECT_FALSE(made.rates.own_file_path().has_value()) << c.kind;
        EXPECT_EQ(store.read_text(section, settings::own_filename, ""), own) << c.kind;
        EXPECT_EQ(store.read_text(section, settings::rate_item_own, ""), "My scenario") << c.kind;
        EXPECT_EQ(store.read_text(section, settings::rate_item_forecast, ""), "Budget 2001") << c.kind;
        EXPECT_EQ(store.read_int(section, settings::rate_source, -1), 2) << c.kind;
    }
}

}  // namespace
}  // namespace fv
