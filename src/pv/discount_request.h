// One row to discount: what present_value_factors::discount takes.
#pragma once

#include <span>

namespace fv {

struct discount_request {
    int frequency = 0;
    int point = 0;
    std::span<const double> amounts;
    int start = 0;
};

}  // namespace fv
