// The window of one document: the document itself, its view and its host.
// The document commands of the main window (displays, cycling, copy, print,
// calculate, reload) act on the active child frame through these operations.
#pragma once

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

#include "app/document.h"
#include "gui/chart_window.h"
#include "gui/display_view.h"
#include "gui/window_host.h"

namespace fv {

class settings_store;
class user_prompts;

class document_window : public QWidget {
public:
    // `status` shows the document's status line in the main window.
    document_window(settings_store& store, user_prompts& prompts, std::string program_directory,
                std::function<void(const std::string&)> status, QWidget* parent = nullptr);
    ~document_window() override;

    // File, Open of one spreadsheet; false when the document is to be discarded.
    bool open(const std::string& path);
    // "&Reload": false when the reload failed and the window is to close.
    bool reload();
    // "&Calculate the subsidy".
    void calculate();

    // View commands.
    void show_display(int display);
    void next_display();
    void previous_display();
    // Whether display n has a non-empty text (its command is enabled).
    bool display_available(int display) const;

    // Edit, Copy: the selected block in "Wk3", "Wk1" and text.
    void copy();
    // File, Print: the shown display through the print dialog.
    void print();

    // Charts: the document's chart window (made on first use) with this chart.
    void show_chart(chart_kind kind);
    // Whether there are charts to draw: the last calculation completed.
    bool charts_available() const { return document_->calculation_completed(); }
    // The chart window, null until a chart was first shown.
    chart_window* charts() const { return charts_; }

    fv::document& document() { return *document_; }
    const fv::document& document() const { return *document_; }
    display_view* view() const { return view_; }
    // The spreadsheet's file name without its folder.
    QString title() const;

private:
    // After a calculation the view shows what exists now, never an old display.
    void show_current_state();

    settings_store& store_;
    user_prompts& prompts_;
    std::string program_directory_;
    display_view* view_;
    window_host host_;
    std::unique_ptr<fv::document> document_;
    chart_window* charts_ = nullptr;  // a window of its own, closed with this one
};

}  // namespace fv
