// The main window: a multiple-document frame with the menus, the toolbar and
// the status bar, the recent-file list, and one child window per open
// spreadsheet. Document commands act on the active child window and are
// enabled only while they can do something.
#pragma once

#include <QMainWindow>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gui/recent_file_list.h"

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMimeData;

namespace fv {

class document_window;
class document;
class main_window_dialogs;
class settings_store;
class topics;
class user_prompts;

class main_window : public QMainWindow {
public:
    enum class command {
        open, close, reload, print, exit,
        cut, copy, paste, help_topics,
        display1, display2, display3, display4, display5, display6, display7,
        next_display, previous_display, explain_views,
        calculate, select_rates, general_preferences, output_preferences, zero_subsidy_rate,
        cascade, tile,
        getting_started, whats_new, about,
        charts, chart_yield_curve, chart_cash_flows, chart_subsidy,
    };

    static constexpr const char* title_text = "Ferravane (1999 Version)";

    main_window(settings_store& store, std::string program_directory, const topics* help, user_prompts& prompts,
               main_window_dialogs& dialogs, QWidget* parent = nullptr);
    ~main_window() override;

    // File, Open of these files: each becomes a document, except one already
    // open, whose window comes forward.
    void open_files(const std::vector<std::string>& paths);
    // One file; the window that shows it, or null when it did not open.
    document_window* open_file(const std::string& path);
    // The local files a drag carries (spreadsheets or not: opening one that is
    // not a spreadsheet says why, as File, Open does).
    static std::vector<std::string> dropped_files(const QMimeData* data);

    document_window* active_document_window() const;
    std::vector<document_window*> document_windows() const;
    QMdiArea* mdi_area() const { return area_; }
    QAction* action(command which) const { return actions_.at(which); }
    // The toolbar's actions in their order (separators left out).
    std::vector<QAction*> toolbar_actions() const;
    const recent_file_list& recent_files() const { return recent_; }
    QMenu* recent_menu() const { return file_menu_; }
    QString status_text() const;
    // The status line; with the window shown it is painted at once.
    void set_status(const std::string& text);
    // Enables the commands the active document allows.
    void update_commands();
    // Told when a document's window has gone (its document no longer exists;
    // the pointer serves only as a key).
    void set_document_closed(std::function<void(const document*)> closed) { document_closed_ = std::move(closed); }

protected:
    // Spreadsheet files dropped on the window open as from File, Open.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* make(command which, const QString& text, const QString& icon_text = {});
    void build_menus();
    void build_charts_menu();
    void build_toolbar();
    void rebuild_recent_menu();
    void open_recent(const std::string& path);
    document_window* find_open(const std::string& path) const;
    void close_document_window(document_window* frame);
    template <class Work>
    void on_active(Work work);

    settings_store& store_;
    std::string program_directory_;
    const topics* help_;
    user_prompts& prompts_;
    main_window_dialogs& dialogs_;
    recent_file_list recent_;

    QMdiArea* area_;
    QLabel* status_;
    QMenu* file_menu_ = nullptr;
    QMenu* edit_menu_ = nullptr;
    QMenu* view_menu_ = nullptr;
    QMenu* window_menu_ = nullptr;
    QMenu* charts_menu_ = nullptr;
    QAction* recent_separator_ = nullptr;
    std::vector<QAction*> recent_actions_;
    std::vector<QAction*> window_actions_;
    std::map<command, QAction*> actions_;
    std::function<void(const document*)> document_closed_;
};

}  // namespace fv
