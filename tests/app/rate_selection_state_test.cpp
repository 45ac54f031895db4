// A document's rate choice made from the settings, with the repairs of stale values.
#include "app/rate_selection_state.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/settings_keys.h"

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
    EXPECT_EQ(made.selection.category, 1);
    EXPECT_EQ(store.read_int(section, settings::rate_source, -1), 1);

    const std::string first_budget = made.rates.budget().front().title;
    EXPECT_EQ(made.selection.titles[1], first_budget);
    EXPECT_EQ(store.read_text(section, settings::rate_item_forecast, ""), first_budget);
    EXPECT_EQ(made.selection.titles[0], "fy 1999 average");  // found ignoring case, kept as stored
    EXPECT_EQ(made.selection.titles[2], "");                 // no own sets
}

TEST(DocumentRates, MissingRateFileIsReported) {
    memory_settings_store store;
    const document_rates made = make_document_rates(store, "/nonexistent/rates.txt", "");
    ASSERT_TRUE(made.failure.has_value());
    EXPECT_FALSE(made.failure->empty());
    EXPECT_TRUE(made.rates.budget().empty());
}

}  // namespace
}  // namespace fv
