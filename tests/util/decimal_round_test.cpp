#include "util/decimal_round.h"

#include <gtest/gtest.h>

namespace {

struct rounding_case {
    double value;
    int places;
    double expected;
};

TEST(DecimalRound, HalfToEvenWithinTheBandAndPlainRoundingOutsideIt) {
    const rounding_case cases[] = {
        {2.5, 0, 2.0},          {3.5, 0, 4.0},         {-2.5, 0, -2.0},
        {-3.5, 0, -4.0},        {2.4999999, 0, 2.0},   {2.50000009, 0, 2.0},
        {2.5000002, 0, 3.0},    {2.4999998, 0, 2.0},   {1.23456789, 4, 1.2346},
        {0.00125, 4, 0.0012},   {0.00135, 4, 0.0014},  {-1.23455, 4, -1.2346},
        {6.13635, 4, 6.1364},   {1.005, 2, 1.0},       {123.4567, -1, 123.4567},
        {0.0, 3, 0.0},          {-0.0004, 3, 0.0},     {7.2, 0, 7.0},
        // Too large to carry a fraction at that precision: unchanged, never infinite.
        {1e305, 4, 1e305},      {-1e300, 9, -1e300},   {4503599627370497.0, 0, 4503599627370497.0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(fv::round_decimal(c.value, c.places), c.expected)
            << c.value << " to " << c.places << " places";
    }
}

}  // namespace
