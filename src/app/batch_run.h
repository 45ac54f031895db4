// Batch mode: one calculation run for the spreadsheet and range the command
// words name, delivered as the command word asks (printer, text file, import
// file, WK3 spreadsheet or log lines). The document and the host are
// interfaces so the same logic drives the real document and tests.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/batch_command.h"

namespace fv {

// What batch mode needs of a document.
class batch_document {
public:
    virtual ~batch_document() = default;

    // Loads, edits and calculates. Failures that escape are thrown (text_error
    // for those with a message text); failures the calculation handles itself
    // it reports to the host and returns.
    virtual void run_batch(const std::string& spreadsheet, const std::string& range, const rate_choice& rates,
                          const std::optional<std::string>& wk3_output) = 0;
    // The calculation reached its end.
    virtual bool calculation_completed() const = 0;
    // A display's text; nothing when the display does not exist.
    virtual std::optional<std::string> display_text(int display) const = 0;
    // Prints a display that exists (the reason shown when it could not); true
    // when it printed or there was nothing to print.
    virtual bool print_display(int display) = 0;
    virtual bool has_messages() const = 0;
    virtual std::string messages_text() const = 0;
    // Writes the import file; throws text_error with the reason when it cannot.
    virtual void write_import_file(const std::string& path) = 0;
    // The log lines of the run, one per cohort.
    virtual std::string batch_lines() const = 0;
    // The spreadsheet output the calculation was to write could not be made
    // (its template could not be read); the reason was shown.
    virtual bool spreadsheet_output_failed() const { return false; }
};

// What batch mode needs of its surroundings.
class batch_host {
public:
    virtual ~batch_host() = default;
    // A message the user must see (standard error without a display).
    virtual void show_message(const std::string& text) = 0;
};

// Runs the command words (the program's arguments). Returns the exit status:
// 0 only when the run delivered its result.
int run_batch(const std::vector<std::string>& arguments, batch_document& document, batch_host& host);

}  // namespace fv
