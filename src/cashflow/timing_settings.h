// The program's timing settings, set by "Timing" rows and copied into every
// row read after them. A program without a "Timing" row reads continuously.
#pragma once

namespace fv {

struct timing_settings {
    bool simple = false;             // annual, inflows at the end and outflows at the beginning of each year
    bool continuous = true;          // annual totals paid through the year
    bool given = false;              // a "Timing" value was understood
    int frequency = 0;               // 0-4
    int annual_total_frequency = 2;  // 0-3; annual totals of quarterly payments
    int point = 2;                   // 1 beginning, 2 middle, 3 end
    int start_period = 1;
};

}  // namespace fv
