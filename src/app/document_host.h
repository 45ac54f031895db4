// What a calculation run needs from its surroundings: the desktop supplies
// windows and dialogs, batch mode and tests a console or a recorder.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "subsidy/cohort_calculation.h"

namespace fv {

class document_host {
public:
    virtual ~document_host() = default;

    // A message the user must see before the run goes on.
    virtual void show_message(const std::string& text) = 0;
    // The range selection dialog: the chosen name, nothing on Cancel.
    virtual std::optional<std::string> choose_range(const std::string& spreadsheet,
                                                    const std::vector<std::string>& candidates) = 0;
    // The "Very wide lines are being reorganized" notice.
    virtual void wide_lines_notice() = 0;
    // The status line: spreadsheet path and stage.
    virtual void set_status(const std::string& text) = 0;
    // Whether the document has a view, and the display it should show.
    virtual bool has_view() const = 0;
    virtual void select_display(int display) = 0;
    // Watches a calculation's cohorts and may stop it; nothing when no one
    // watches (the calling thread then computes too).
    virtual cohort_progress calculation_progress() { return {}; }
    // Prints a display text; false (with the reason shown) when it could not.
    virtual bool print_text(const std::string& text, const std::string& spreadsheet, const std::string& run_time) = 0;
};

}  // namespace fv
