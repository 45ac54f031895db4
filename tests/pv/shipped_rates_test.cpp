// The shipped rate file: it passes its checksums, carries every fiscal year
// and budget year, agrees with the monthly yields it was made from, and each
// of its sets builds a factor table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "pv/present_value_factors.h"
#include "rates/rate_collection.h"
#include "util/text_error.h"

namespace {

const std::string rate_file = std::string(FV_SOURCE_DIR) + "/data/rates.txt";

fv::rate_collection load_shipped() {
    fv::rate_collection rates;
    rates.load_rate_file(rate_file, true);
    return rates;
}

TEST(ShippedRates, LoadsWithEveryFiscalAndBudgetYear) {
    const fv::rate_collection rates = load_shipped();
    EXPECT_EQ(rates.actual().size(), 43u);  // FY 1982 to FY 2024
    EXPECT_EQ(rates.budget().size(), 39u);  // Budget 1992 to Budget 2030
    for (int fy = 1982; fy <= 2024; ++fy)
        EXPECT_NE(rates.find_by_title(fv::rate_source::actual, "FY " + std::to_string(fy) + " average"), nullptr) << fy;
    for (int year = 1992; year <= 2030; ++year) EXPECT_NE(rates.find_budget_year(year), nullptr) << year;
    EXPECT_EQ(rates.find_by_prefix(fv::rate_source::actual, "FY 1999")->title, "FY 1999 average");
    // Budget 2001 is the FY 1999 average, Budget 2026 the FY 2024 average;
    // from Budget 2027 on, the last twelve months (July 2024 to June 2025).
    EXPECT_EQ(rates.find_budget_year(2001)->rates, rates.find_by_title(fv::rate_source::actual, "FY 1999 average")->rates);
    EXPECT_EQ(rates.find_budget_year(2026)->rates, rates.find_by_title(fv::rate_source::actual, "FY 2024 average")->rates);
    EXPECT_EQ(rates.find_budget_year(2030)->rates, rates.find_budget_year(2027)->rates);
    EXPECT_NE(rates.find_budget_year(2027)->rates, rates.find_by_title(fv::rate_source::actual, "FY 2024 average")->rates);
    // Worked out by hand from the monthly table: the 30-year average of July
    // 2024 to June 2025 is 4.565, which rounds half to even to 4.56.
    EXPECT_DOUBLE_EQ(rates.find_budget_year(2027)->rates[8], 4.56);
}

TEST(ShippedRates, FiscalYearsAreAveragesOfTheMonthlyYields) {
    const std::string csv = std::string(FV_SHARED_DIR) + "/data/treasury_cmt_monthly.csv";
    std::ifstream in(csv);
    if (!in) GTEST_SKIP() << "no monthly yields at " << csv;
    std::string line;
    std::getline(in, line);
    // date,GS3M,GS6M,GS1,GS2,GS3,GS5,GS7,GS10,GS20,GS30: skip GS20.
    std::map<int, std::array<double, 9>> sums;
    std::map<int, int> counts;
    while (std::getline(in, line)) {
        std::stringstream fields(line);
        std::string field;
        std::getline(fields, field, ',');
        const int year = std::stoi(field.substr(0, 4));
        const int month = std::stoi(field.substr(5, 2));
        const int fy = month >= 10 ? year + 1 : year;
        std::array<double, 10> values{};
        for (double& v : values) {
            std::getline(fields, field, ',');
            v = std::strtod(field.c_str(), nullptr);  // the unused GS20 has gaps
        }
        const std::array<double, 9> nine = {values[0], values[1], values[2], values[3], values[4],
                                            values[5], values[6], values[7], values[9]};
        for (int j = 0; j < 9; ++j) sums[fy][j] += nine[j];
        ++counts[fy];
    }
    const fv::rate_collection rates = load_shipped();
    int compared = 0;
    for (const auto& [fy, count] : counts) {
        const fv::rate_set* set = rates.find_by_title(fv::rate_source::actual, "FY " + std::to_string(fy) + " average");
        if (count != 12) {
            EXPECT_EQ(set, nullptr) << fy;
            continue;
        }
        ASSERT_NE(set, nullptr) << fy;
        for (int j = 0; j < 9; ++j) EXPECT_NEAR(set->rates[j], sums[fy][j] / 12, 0.005 + 1e-9) << fy << " " << j;
        ++compared;
    }
    EXPECT_EQ(compared, 43);
}

TEST(ShippedRates, EverySetBuildsItsFactorTable) {
    const fv::rate_collection rates = load_shipped();
    std::vector<std::string> failures;
    for (const auto* list : {&rates.actual(), &rates.budget()}) {
        for (const fv::rate_set& set : *list) {
            fv::present_value_factors pv;
            pv.set(&set);
            try {
                pv.make();
            } catch (const fv::text_error& e) {
                failures.push_back(set.title + ": " + e.text());
                continue;
            }
            // A sane table: falling, positive, and one at the start.
            EXPECT_EQ(pv.factor(0), 1.0) << set.title;
            EXPECT_GT(pv.factor(2400), 0.0) << set.title;
            EXPECT_LE(pv.factor(720), pv.factor(240)) << set.title;
            EXPECT_GE(pv.lowest_zero_rate(), 0.01) << set.title;
        }
    }
    for (const std::string& failure : failures) ADD_FAILURE() << failure;
}

TEST(ShippedRates, TheBuildCopiesTheFileBesideTheExecutables) {
    const std::string copy = std::string(FV_BINARY_DIR) + "/rates.txt";
    if (!std::filesystem::exists(copy)) GTEST_SKIP() << "no rates.txt in " << FV_BINARY_DIR << " (re-run cmake)";
    fv::rate_collection rates;
    rates.load_rate_file(copy, true);
    EXPECT_EQ(rates.actual().size(), 43u);
}

}  // namespace
