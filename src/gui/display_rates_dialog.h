// The "Listing of available discount rates" dialog (DisplayRates): every rate
// set of the rate file and the own-rate file, one line each, with a copy to
// the clipboard.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

#include "rates/rate_collection.h"

class QPlainTextEdit;

namespace fv {

class clipboard_target;

// Copies the whole listing to the clipboard as "Wk1" (template "1.bin"),
// then "Wk3" (template "3.bin"), then plain text unless spreadsheet formats
// only are wanted. A writer failure shows its text and ends the copy, as does
// a clipboard failure. True when the copy reached its end.
bool copy_rate_listing(const rate_collection& rates, const std::string& program_directory, bool spreadsheet_formats_only,
                       clipboard_target& clipboard, const std::function<void(const std::string&)>& message);

// The two fixed header lines above the listing.
extern const char* const rate_listing_header[2];

class display_rates_dialog : public QDialog {
public:
    // `copy` is "&Copy to clipboard"; when empty, the listing goes to the
    // clipboard as plain text unless `text_allowed` is false.
    display_rates_dialog(const rate_collection& rates, std::function<void()> copy, bool text_allowed,
                         QWidget* parent = nullptr);
    QPlainTextEdit* listing() const { return listing_; }
    std::string listing_text() const { return text_; }
    void copy_listing();

private:
    std::string text_;
    std::function<void()> copy_;
    bool text_allowed_;
    QPlainTextEdit* listing_;
};

}  // namespace fv
