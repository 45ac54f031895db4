// Choosing the cash-flow range among a workbook's candidates.
#include "app/range_choice.h"

#include <gtest/gtest.h>

namespace fv {
namespace {

TEST(RangeChoice, SettingOrderDecidesIgnoringCase) {
    const struct {
        std::vector<std::string> candidates;
        std::string setting;
        std::optional<std::string> chosen;
    } cases[] = {
        {{"Anything"}, "B", "Anything"},        // a single candidate is taken whatever its name
        {{"Alpha", "trq"}, "", "trq"},          // the default list is TRQ
        {{"A", "B"}, "B;A", "B"},               // the setting's order, not the candidates'
        {{"A", "B"}, "x;a", "A"},               // the candidate's own spelling
        {{"A", "B"}, "C", std::nullopt},        // the user must choose
        {{"A", "B"}, " A", std::nullopt},       // names are not trimmed
        {{}, "A", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(choose_range(c.candidates, c.setting), c.chosen) << c.setting;
}

TEST(RangeChoice, DefaultNamesSplitAtEverySemicolon) {
    EXPECT_EQ(default_range_names(""), std::vector<std::string>{"TRQ"});
    EXPECT_EQ(default_range_names("a;;b;"), (std::vector<std::string>{"a", "", "b", ""}));
}

}  // namespace
}  // namespace fv
