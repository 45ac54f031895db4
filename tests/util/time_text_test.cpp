#include "util/time_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

class TimeText : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
    }
};

TEST_F(TimeText, ReordersTheLocalTimeTextIntoDayMonthYear) {
    // 1999-12-08 14:05:09 UTC was a Wednesday; 2024-02-29 00:00:00 a Thursday.
    EXPECT_EQ(fv::time_text(944661909), "Wed  8 Dec 1999 14:05:09");
    EXPECT_EQ(fv::time_text(1709164800), "Thu 29 Feb 2024 00:00:00");
}

TEST_F(TimeText, KeepsTwentyFourCharactersPastYear9999) {
    const std::time_t far_future = 253402300800LL + 86400LL * 400;  // into year 10001
    const std::string text = fv::time_text(far_future);
    EXPECT_EQ(text.size(), 24u);
    EXPECT_EQ(text.substr(11, 4), "9999");
}

TEST_F(TimeText, FileDateIsEmptyForAMissingFile) {
    EXPECT_EQ(fv::file_date_text("/nonexistent/ferravane/file.wk1"), "");
    EXPECT_EQ(fv::file_date_text(""), "");
    EXPECT_EQ(fv::file_date_text(FV_SOURCE_DIR "/CMakeLists.txt").size(), 24u);
}

}  // namespace
