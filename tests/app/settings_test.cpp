#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "app/settings_keys.h"
#include "app/settings_store.h"

namespace {

using namespace fv::settings;

std::tm date(int year, int month, int day) {
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = 12;
    return parts;
}

TEST(Settings, DefaultBudgetYearTurnsWithTheFiscalYear) {
    EXPECT_EQ(default_budget_year(date(2000, 1, 1)), 2001);
    EXPECT_EQ(default_budget_year(date(2000, 9, 30)), 2001);
    EXPECT_EQ(default_budget_year(date(2000, 10, 1)), 2002);
    EXPECT_EQ(default_budget_year(date(2000, 11, 15)), 2002);
    EXPECT_EQ(default_budget_year(date(2026, 12, 31)), 2028);
}

TEST(Settings, AbsentBudgetYearIsComputedAndStored) {
    setenv("TZ", "UTC", 1);
    tzset();
    fv::memory_settings_store store;
    std::tm november = date(2000, 11, 15);
    const std::time_t when = timegm(&november);
    EXPECT_EQ(read_budget_year(store, when), 2002);
    EXPECT_EQ(store.read_int(runtime_options, budget_year, -5), 2002);

    store.write_int(runtime_options, budget_year, 1999);
    EXPECT_EQ(read_budget_year(store, when), 1999);
}

TEST(Settings, CleanStoreDefaults) {
    fv::memory_settings_store store;
    EXPECT_EQ(read_range_names(store), "TRQ");
    EXPECT_EQ(read_startup_logo(store), 1);
    EXPECT_EQ(store.read_int(runtime_options, startup_logo, -1), 1);
    store.write_int(runtime_options, startup_logo, 0);
    EXPECT_EQ(read_startup_logo(store), 0);

    store.write_text(runtime_options, range_names, "DATA;TRQ");
    EXPECT_EQ(read_range_names(store), "DATA;TRQ");
    EXPECT_EQ(recent_file_key(9), "File9");
    EXPECT_EQ(display_bit(1), 0x01);
    EXPECT_EQ(display_bit(7), 0x40);
}

TEST(Settings, TextThatIsNotAnIntegerReadsAsAbsent) {
    fv::memory_settings_store store;
    store.write_text(runtime_options, rate_source, "seven");
    EXPECT_EQ(store.read_int(runtime_options, rate_source, -1), -1);
    store.write_text(runtime_options, rate_source, "99999999999");
    EXPECT_EQ(store.read_int(runtime_options, rate_source, -1), -1);
    store.write_int(runtime_options, rate_source, -7);
    EXPECT_EQ(store.read_int(runtime_options, rate_source, -1), -7);
}

}  // namespace
