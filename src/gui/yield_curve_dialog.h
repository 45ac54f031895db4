// The "Create new yield curve assumptions" dialog: a title and the nine
// quoted rates of a new own rate set, with Interpolate to fill in the rates
// left out. The checks and the filling are the core's; the dialog shows
// their messages and keeps the user's entries.
#pragma once

#include <QDialog>

#include <array>
#include <string>

#include "gui/dialog_services.h"

class QLineEdit;

namespace fv {

struct yield_curve_entry {
    std::string title;
    std::array<std::string, 9> rate_texts;  // the boxes as the user left them
    std::array<double, 9> rates{};          // as read from the boxes
};

class yield_curve_dialog : public QDialog {
public:
    yield_curve_dialog(dialog_services services, const yield_curve_entry& shown, QWidget* parent = nullptr);

    // OK: reads and checks the boxes; false (message shown) keeps it open.
    bool take_values();
    // Interpolate: fills in the missing rates; false when a message was shown.
    bool interpolate();
    void accept() override;

    // The values, valid after take_values() succeeded.
    const yield_curve_entry& entry() const { return entry_; }

    QLineEdit* title() const { return title_; }
    QLineEdit* rate(int n) const { return rates_.at(static_cast<std::size_t>(n)); }

private:
    // The boxes into entry_; false (message shown) when a rate is no number.
    bool read_boxes();

    dialog_services services_;
    yield_curve_entry entry_;
    QLineEdit* title_;
    std::array<QLineEdit*, 9> rates_{};
};

}  // namespace fv
