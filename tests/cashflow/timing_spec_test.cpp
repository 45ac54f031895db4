// The timing-specification grammar: frequencies, points, annual totals of
// finer payments, starting years and periods, and the texts it refuses.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "cashflow/timing_spec.h"

namespace fv {
namespace {

constexpr int unset = -7;  // the caller's prior value, kept when nothing is given

struct timing_case {
    const char* text;
    bool ok;
    int frequency, annual_total_frequency, point, year, period;
};

const timing_case cases[] = {
    // Nothing given.
    {"", true, unset, unset, unset, unset, unset},
    {"    ", true, unset, unset, unset, unset, unset},
    // One word.
    {"annual", true, 1, unset, unset, unset, unset},
    {"Yearly", true, 1, unset, unset, unset, unset},
    {"semiannual", true, 2, unset, unset, unset, unset},
    {"QUARTERLY", true, 3, unset, unset, unset, unset},
    {"monthly", true, 4, unset, unset, unset, unset},
    {"middle", true, unset, unset, 2, unset, unset},
    {"beginning", true, unset, unset, 1, unset, unset},
    {"end", true, unset, unset, 3, unset, unset},
    {"cont", true, unset, 2, 2, unset, unset},
    {"m", false, 0, 0, 0, 0, 0},
    {"mx", false, 0, 0, 0, 0, 0},
    {"x", false, 0, 0, 0, 0, 0},
    {",annual", false, 0, 0, 0, 0, 0},
    // Frequency and point in either order.
    {"quarterly end", true, 3, unset, 3, unset, unset},
    {"quarterly, end", true, 3, unset, 3, unset, unset},
    {"quarterly,end", true, 3, unset, 3, unset, unset},
    {"quarterly\tend", true, 3, unset, 3, unset, unset},
    {"end quarterly", true, 3, unset, 3, unset, unset},
    {"middle monthly", true, 4, unset, 2, unset, unset},
    {"semi mid", true, 2, unset, 2, unset, unset},
    {"monthly beginning,, ", true, 4, unset, 1, unset, unset},
    {"end, beginning", false, 0, 0, 0, 0, 0},
    {"quarterly annual", false, 0, 0, 0, 0, 0},
    {"quarterly x", false, 0, 0, 0, 0, 0},
    // Annual totals paid at a finer frequency.
    {"annual-of-quarterly middle", true, 1, 2, 2, unset, unset},
    {"annual-quarterly", true, 1, 2, unset, unset, unset},
    {"Annual-Of-Monthly, end", true, 1, 1, 3, unset, unset},
    {"yearly-of-semiannual beginning", true, 1, 3, 1, unset, unset},
    {"annual-of-annual end", true, 1, unset, 3, unset, unset},
    {"annual-of-x", false, 0, 0, 0, 0, 0},
    {"annual-", false, 0, 0, 0, 0, 0},
    {"annual-of-", false, 0, 0, 0, 0, 0},
    // Starting years and periods.
    {"monthly beginning 2001:4", true, 4, unset, 1, 2001, 4},
    {"2001:4, quarterly end", true, 3, unset, 3, 2001, 4},
    {"2001 quarterly", true, 3, unset, unset, 2001, 1},
    {"2001", true, unset, unset, unset, 2001, 1},
    {"  2001:12  ", true, unset, unset, unset, 2001, 12},
    {"quarterly 2001 end", true, 3, unset, 3, 2001, 1},
    {"quarterly, 2001:3, end", true, 3, unset, 3, 2001, 3},
    {"quarterly end, 2001", true, 3, unset, 3, 2001, 1},
    {"annual-of-quarterly 2001 middle", true, 1, 2, 2, 2001, 1},
    {"1992 q", true, 3, unset, unset, 1992, 1},
    {"3000:12 q", true, 3, unset, unset, 3000, 12},
    {"1995:13 annual", false, 0, 0, 0, 0, 0},
    {"1995:0 annual", false, 0, 0, 0, 0, 0},
    {"1995: annual", false, 0, 0, 0, 0, 0},
    {"1991 annual", false, 0, 0, 0, 0, 0},
    {"3001 annual", false, 0, 0, 0, 0, 0},
    {"annual 2001 2002", false, 0, 0, 0, 0, 0},
    {"2001 annual 2002", false, 0, 0, 0, 0, 0},
    {"2001 annual end 2002", false, 0, 0, 0, 0, 0},
    {"annual end 2001 2002", false, 0, 0, 0, 0, 0},
    {"annual end 2001 x", false, 0, 0, 0, 0, 0},
    {"annual end x", false, 0, 0, 0, 0, 0},
    // Long runs of digits are too large, never wrapped into range.
    {"annual end 4294969297", false, 0, 0, 0, 0, 0},
    {"99999999999999999999999999992001 annual", false, 0, 0, 0, 0, 0},
    {"2001:4294967297 annual", false, 0, 0, 0, 0, 0},
    {"2001:99999999999999999999999 annual", false, 0, 0, 0, 0, 0},
    {"000000000000000000000002001:0000000000000004 q", true, 3, unset, unset, 2001, 4},
};

TEST(TimingSpec, Grammar) {
    for (const auto& c : cases) {
        int frequency = unset, annual_total_frequency = unset, point = unset, year = unset, period = unset;
        const bool ok = parse_timing_spec(c.text, &frequency, &annual_total_frequency, &point, &year, &period);
        ASSERT_EQ(ok, c.ok) << '"' << c.text << '"';
        if (!ok) continue;
        EXPECT_EQ(frequency, c.frequency) << c.text;
        EXPECT_EQ(annual_total_frequency, c.annual_total_frequency) << c.text;
        EXPECT_EQ(point, c.point) << c.text;
        EXPECT_EQ(year, c.year) << c.text;
        EXPECT_EQ(period, c.period) << c.text;
    }
}

TEST(TimingSpec, FailureWritesNothing) {
    int frequency = 9, annual_total_frequency = 9, point = 9, year = 9, period = 9;
    EXPECT_FALSE(parse_timing_spec("quarterly end 2001 2002", &frequency, &annual_total_frequency, &point, &year, &period));
    EXPECT_EQ(frequency + annual_total_frequency + point + year + period, 45);
}

TEST(TimingSpec, OutputsMayBeLeftOut) {
    EXPECT_TRUE(parse_timing_spec("monthly beginning 2001:4", nullptr, nullptr, nullptr, nullptr, nullptr));
    int point = 0;
    EXPECT_TRUE(parse_timing_spec("annual-of-quarterly end 2001", nullptr, nullptr, &point, nullptr, nullptr));
    EXPECT_EQ(point, 3);
}

TEST(TimingSpec, ReadsOnlyWithinTheView) {
    // A label's bracketed part is handed over as a view into the cell text.
    const std::string label = "Fees [quarterly end 2001]";
    int frequency = 0, point = 0, year = 0;
    EXPECT_TRUE(parse_timing_spec(std::string_view(label).substr(6, 13), &frequency, nullptr, &point, &year, nullptr));
    EXPECT_EQ(frequency, 3);
    EXPECT_EQ(point, 3);
    EXPECT_EQ(year, 0);
    // "m" cut from "monthly" must not peek at the "o" beyond the view.
    EXPECT_FALSE(parse_timing_spec(std::string_view("monthly").substr(0, 1), &frequency, nullptr, nullptr, nullptr,
                                   nullptr));
}

TEST(TimingSpec, LongTextsAreHandledWhole) {
    std::string text = "quarterly" + std::string(100000, ',') + "end";
    int frequency = 0, point = 0;
    EXPECT_TRUE(parse_timing_spec(text, &frequency, nullptr, &point, nullptr, nullptr));
    EXPECT_EQ(point, 3);
    EXPECT_FALSE(parse_timing_spec("quarterly end " + std::string(100000, '9'), nullptr, nullptr, nullptr, nullptr,
                                   nullptr));
}

TEST(TimingSpec, ArbitraryTextsGiveValuesInRange) {
    std::mt19937 random(2468);
    const std::string alphabet = "AaYySsQqMmOoIiBbEeCc-Ff0123456789:, \t\xff";
    for (int n = 0; n < 20000; ++n) {
        std::string text(random() % 24, ' ');
        for (char& ch : text) ch = alphabet[random() % alphabet.size()];
        int frequency = 0, annual_total_frequency = 0, point = 0, year = 0, period = 0;
        if (!parse_timing_spec(text, &frequency, &annual_total_frequency, &point, &year, &period)) continue;
        ASSERT_TRUE(frequency >= 0 && frequency <= 4) << text;
        ASSERT_TRUE(annual_total_frequency >= 0 && annual_total_frequency <= 3) << text;
        ASSERT_TRUE(point >= 0 && point <= 3) << text;
        ASSERT_TRUE(year == 0 || (year >= 1992 && year <= 3000)) << text;
        ASSERT_TRUE(period == 0 || (period >= 1 && period <= 12)) << text;
        ASSERT_EQ(year == 0, period == 0) << text;
    }
}

}  // namespace
}  // namespace fv
