// The grid the factors and the discounting work on: one point every
// half-month. A period of frequency 1-4 (annual, semiannual, quarterly,
// monthly) spans a fixed number of grid steps.
#pragma once

#include <array>

namespace fv {

// The grid steps of one period of the frequency (1-4); 0 for any other.
constexpr int grid_step(int frequency) {
    constexpr std::array<int, 4> steps_per_period = {24, 12, 6, 2};
    return frequency >= 1 && frequency <= 4 ? steps_per_period[frequency - 1] : 0;
}

}  // namespace fv
