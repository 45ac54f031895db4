// Printing a display text from a run without a window. The batch run's host
// hands its texts to one of these; what prints them (and the GUI libraries
// that needs) is only brought in when something is printed.
#pragma once

#include <string>

namespace fv {

class display_printer {
public:
    virtual ~display_printer() = default;
    // Prints a text that is not empty, each page but the last with the
    // spreadsheet path and the run time in its footer. Returns false with the
    // reason in `failure` when nothing could be printed.
    virtual bool print(const std::string& text, const std::string& spreadsheet, const std::string& run_time,
                       std::string& failure) = 0;
};

}  // namespace fv
