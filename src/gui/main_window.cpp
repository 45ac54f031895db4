// The main window's menus, toolbar and status bar, the opening of documents
// (one window per file, a file already open brings its window forward) and
// the routing of document commands to the active window.
#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <tuple>

#include "app/display_numbers.h"
#include "app/output_format.h"
#include "ferravane_version.h"
#include "gui/document_window.h"
#include "gui/main_window_dialogs.h"
#include "gui/user_prompts.h"
#include "util/file_io.h"
#include "workbook/workbook_reader.h"

namespace fv {

namespace {

const char* const idle_status = "Ready";

// Whether an open document's path names the file about to be opened: the
// same text (even when the file has gone since), or the same existing file.
bool is_open_as(const std::string& open_path, const std::string& path) {
    return open_path == path || same_file(open_path, path);
}

QString from_file_name(const std::string& name) { return QFile::decodeName(QByteArray::fromStdString(name)); }

}  // namespace

main_window::main_window(settings_store& store, std::string program_directory, const topics* help,
                       user_prompts& prompts, main_window_dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      store_(store),
      program_directory_(std::move(program_directory)),
      help_(help),
      prompts_(prompts),
      dialogs_(dialogs),
      recent_(store),
      area_(new QMdiArea(this)),
      status_(new QLabel(QString::fromLatin1(idle_status), this)) {
    setWindowTitle(QString::fromLatin1(title_text));
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(area_);
    statusBar()->addWidget(status_, 1);

    build_menus();
    build_toolbar();
    rebuild_recent_menu();
    connect(area_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (sub == nullptr && area_->subWindowList().isEmpty()) set_status(idle_status);
        if (document_window* frame = active_document_window(); frame != nullptr && !frame->document().status().empty())
            set_status(frame->document().status());
        update_commands();
    });
    update_commands();
    resize(1000, 700);
    setAcceptDrops(true);
}

std::vector<std::string> main_window::dropped_files(const QMimeData* data) {
    std::vector<std::string> paths;
    if (data == nullptr || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    return paths;
}

void main_window::dragEnterEvent(QDragEnterEvent* event) {
    if (!dropped_files(event->mimeData()).empty()) event->acceptProposedAction();
}

void main_window::dropEvent(QDropEvent* event) {
    const std::vector<std::string> paths = dropped_files(event->mimeData());
    if (paths.empty()) return;
    event->acceptProposedAction();
    open_files(paths);
}

main_window::~main_window() {
    // The windows go with the base classes, after this frame's own members:
    // nothing they signal on the way may reach this frame any more.
    QObject::disconnect(area_, nullptr, this, nullptr);
    for (document_window* frame : document_windows()) QObject::disconnect(frame, nullptr, this, nullptr);
}

QAction* main_window::make(command which, const QString& text, const QString& icon_text) {
    auto* action = new QAction(text, this);
    if (!icon_text.isEmpty()) action->setIconText(icon_text);
    actions_[which] = action;
    return action;
}

template <class Work>
void main_window::on_active(Work work) {
    if (document_window* frame = active_document_window()) work(*frame);
    update_commands();
}

void main_window::build_menus() {
    // File
    file_menu_ = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* open = make(command::open, QStringLiteral("&Open..."), QStringLiteral("Open"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(open, &QAction::triggered, this, [this] { open_files(prompts_.open_file_names(this)); });
    file_menu_->addAction(open);
    QAction* close = make(command::close, QStringLiteral("&Close"));
    close->setShortcut(QKeySequence::Close);
    connect(close, &QAction::triggered, this, [this] {
        if (document_window* frame = active_document_window()) close_document_window(frame);
    });
    file_menu_->addAction(close);
    QAction* reload = make(command::reload, QStringLiteral("&Reload"), QStringLiteral("Reload"));
    connect(reload, &QAction::triggered, this, [this] {
        document_window* frame = active_document_window();
        if (frame == nullptr) return;
        if (!frame->reload())
            close_document_window(frame);
        else if (auto* sub = qobject_cast<QMdiSubWindow*>(frame->parentWidget()))
            sub->setWindowTitle(frame->title());
        update_commands();
    });
    file_menu_->addAction(reload);
    file_menu_->addSeparator();
    QAction* print = make(command::print, QStringLiteral("&Print..."), QStringLiteral("Print"));
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(print, &QAction::triggered, this, [this] { on_active([](document_window& frame) { frame.print(); }); });
    file_menu_->addAction(print);
    recent_separator_ = file_menu_->addSeparator();
    QAction* exit = make(command::exit, QStringLiteral("E&xit"));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    file_menu_->addSeparator();
    file_menu_->addAction(exit);

    // Edit: the view is read-only, so only Copy does anything.
    edit_menu_ = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit_menu_->addAction(make(command::cut, QStringLiteral("Cu&t"), QStringLiteral("Cut")));
    QAction* copy = make(command::copy, QStringLiteral("&Copy"), QStringLiteral("Copy"));
    copy->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    connect(copy, &QAction::triggered, this, [this] { on_active([](document_window& frame) { frame.copy(); }); });
    edit_menu_->addAction(copy);
    edit_menu_->addAction(make(command::paste, QStringLiteral("&Paste"), QStringLiteral("Paste")));

    // View
    view_menu_ = menuBar()->addMenu(QStringLiteral("&View"));
    for (int n = 1; n <= display_count; ++n) {
        const auto which = static_cast<command>(static_cast<int>(command::display1) + n - 1);
        QAction* show = make(which, QStringLiteral("&%1  %2").arg(n).arg(QString::fromUtf8(display_sheet_name(n))), QString::number(n));
        show->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + n)));
        connect(show, &QAction::triggered, this,
                [this, n] { on_active([n](document_window& frame) { frame.show_display(n); }); });
        view_menu_->addAction(show);
    }
    QAction* next = make(command::next_display, QStringLiteral("&8 View next display window"));
    next->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    connect(next, &QAction::triggered, this, [this] { on_active([](document_window& frame) { frame.next_display(); }); });
    view_menu_->addAction(next);
    QAction* previous = make(command::previous_display, QStringLiteral("&9 View previous display window"));
    previous->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    connect(previous, &QAction::triggered, this,
            [this] { on_active([](document_window& frame) { frame.previous_display(); }); });
    view_menu_->addAction(previous);
    view_menu_->addSeparator();
    QAction* explain = make(command::explain_views, QStringLiteral("&Explain the views..."));
    connect(explain, &QAction::triggered, this, [this] { dialogs_.show_topic(this, "explain-preferences"); });
    view_menu_->addAction(explain);

    build_charts_menu();

    // Actions
    QMenu* actions = menuBar()->addMenu(QStringLiteral("&Actions"));
    QAction* calculate = make(command::calculate, QStringLiteral("&Calculate the subsidy"), QStringLiteral("Calc"));
    connect(calculate, &QAction::triggered, this,
            [this] { on_active([](document_window& frame) { frame.calculate(); }); });
    actions->addAction(calculate);
    QAction* rates = make(command::select_rates, QStringLiteral("&Select rates..."));
    connect(rates, &QAction::triggered, this, [this] {
        document_window* frame = active_document_window();
        dialogs_.select_rates(this, frame != nullptr ? &frame->document() : nullptr);
        update_commands();
    });
    actions->addAction(rates);
    QAction* zero = make(command::zero_subsidy_rate, QStringLiteral("&Zero subsidy rate..."));
    connect(zero, &QAction::triggered, this, [this] {
        document_window* frame = active_document_window();
        dialogs_.zero_subsidy_rate(this, frame != nullptr ? &frame->document() : nullptr);
    });
    actions->addAction(zero);
    QMenu* preferences = actions->addMenu(QStringLiteral("&Preferences..."));
    QAction* general = make(command::general_preferences, QStringLiteral("&General preferences..."));
    connect(general, &QAction::triggered, this, [this] { dialogs_.preferences_general(this); });
    preferences->addAction(general);
    QAction* output = make(command::output_preferences, QStringLiteral("&Output preferences..."));
    connect(output, &QAction::triggered, this, [this] { dialogs_.preferences_output(this); });
    preferences->addAction(output);

    // Window
    window_menu_ = menuBar()->addMenu(QStringLiteral("&Window"));
    QAction* cascade = make(command::cascade, QStringLiteral("&Cascade"));
    connect(cascade, &QAction::triggered, area_, &QMdiArea::cascadeSubWindows);
    window_menu_->addAction(cascade);
    QAction* tile = make(command::tile, QStringLiteral("&Tile"));
    connect(tile, &QAction::triggered, area_, &QMdiArea::tileSubWindows);
    window_menu_->addAction(tile);
    window_menu_->addSeparator();
    // The open windows, listed afresh each time the menu opens.
    connect(window_menu_, &QMenu::aboutToShow, this, [this] {
        for (QAction* item : window_actions_) {
            window_menu_->removeAction(item);
            item->deleteLater();
        }
        window_actions_.clear();
        int n = 0;
        for (QMdiSubWindow* sub : area_->subWindowList()) {
            auto* item = new QAction(QStringLiteral("&%1 %2").arg(++n).arg(sub->windowTitle()), this);
            item->setCheckable(true);
            item->setChecked(sub == area_->currentSubWindow());
            connect(item, &QAction::triggered, this, [this, sub] {
                if (area_->subWindowList().contains(sub)) area_->setActiveSubWindow(sub);
            });
            window_menu_->addAction(item);
            window_actions_.push_back(item);
        }
    });

    // Tips
    auto topic = [this](QMenu* menu, const char* text, const char* name) {
        QAction* item = menu->addAction(QString::fromLatin1(text));
        const std::string topic_name = name;
        connect(item, &QAction::triggered, this, [this, topic_name] { dialogs_.show_topic(this, topic_name); });
    };
    QMenu* tips = menuBar()->addMenu(QStringLiteral("&Tips"));
    QMenu* views = tips->addMenu(QStringLiteral("&Views"));
    topic(views, "&Explain the views", "explain-views");
    topic(views, "&Limitations", "display-limits");
    topic(tips, "&Checklist", "check-list");
    QMenu* explain_menu = tips->addMenu(QStringLiteral("&Explain "));
    topic(explain_menu, "&Process", "process");
    topic(explain_menu, "&Kinds of interest rates", "explain-flat-rate");

    // Getting Started
    QMenu* started = menuBar()->addMenu(QStringLiteral("&Getting Started"));
    QAction* how = make(command::getting_started, QStringLiteral("How to use this program..."));
    connect(how, &QAction::triggered, this, [this] { prompts_.getting_started(this, store_, help_); });
    started->addAction(how);
    QAction* news = make(command::whats_new, QStringLiteral("&What's new"));
    connect(news, &QAction::triggered, this, [this] { dialogs_.show_topic(this, "whats-new"); });
    started->addAction(news);

    // Help
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(make(command::help_topics, QStringLiteral("&Help Topics"), QStringLiteral("Help")));
    QAction* about = make(command::about, QStringLiteral("&About Ferravane..."));
    connect(about, &QAction::triggered, this, [this] {
        QMessageBox::about(this, QStringLiteral("About Ferravane"),
                           QStringLiteral("Ferravane %1\n\nThe budget cost of federal direct loans and loan "
                                          "guarantees, from the cash flows of a spreadsheet.")
                               .arg(QString::fromLatin1(program_version)));
    });
    help->addAction(about);
}

// Charts: views of the active document's calculation in a window of their own.
void main_window::build_charts_menu() {
    charts_menu_ = menuBar()->addMenu(QStringLiteral("&Charts"));
    const std::tuple<command, const char*, chart_kind> entries[] = {
        {command::chart_yield_curve, "&Yield curve", chart_kind::yield_curve},
        {command::chart_cash_flows, "&Cash flows of a cohort", chart_kind::cash_flows},
        {command::chart_subsidy, "&Subsidy by cohort", chart_kind::subsidy_by_cohort},
    };
    for (const auto& [which, text, kind] : entries) {
        QAction* entry = make(which, QString::fromLatin1(text));
        connect(entry, &QAction::triggered, this,
                [this, kind] { on_active([kind](document_window& frame) { frame.show_chart(kind); }); });
        charts_menu_->addAction(entry);
    }
    // The toolbar's entry opens the window at the chart it shows.
    QAction* charts = make(command::charts, QStringLiteral("Charts"), QStringLiteral("Charts"));
    connect(charts, &QAction::triggered, this, [this] {
        on_active([](document_window& frame) {
            frame.show_chart(frame.charts() != nullptr ? frame.charts()->current_kind() : chart_kind::yield_curve);
        });
    });
}

void main_window::build_toolbar() {
    QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("toolbar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addAction(action(command::open));
    bar->addSeparator();
    bar->addAction(action(command::cut));
    bar->addAction(action(command::copy));
    bar->addAction(action(command::paste));
    bar->addSeparator();
    bar->addAction(action(command::print));
    bar->addAction(action(command::help_topics));
    bar->addSeparator();
    for (int n = 0; n < 7; ++n) bar->addAction(action(static_cast<command>(static_cast<int>(command::display1) + n)));
    bar->addSeparator();
    bar->addAction(action(command::calculate));
    bar->addAction(action(command::reload));
    bar->addAction(action(command::charts));

    // Icons from the desktop's icon theme where it has one for the command;
    // the command's short text stays as the tooltip, and is shown instead
    // where the theme has no icon (the seven displays, or no theme at all).
    const std::pair<command, const char*> theme_icons[] = {
        {command::open, "document-open"},   {command::cut, "edit-cut"},
        {command::copy, "edit-copy"},       {command::paste, "edit-paste"},
        {command::print, "document-print"}, {command::help_topics, "help-contents"},
        {command::calculate, "system-run"}, {command::reload, "view-refresh"},
    };
    for (const auto& [which, name] : theme_icons) action(which)->setIcon(QIcon::fromTheme(QString::fromLatin1(name)));
    for (QAction* each : bar->actions()) {
        if (each->isSeparator()) continue;
        each->setToolTip(each->iconText());
        if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(each)))
            button->setToolButtonStyle(each->icon().isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
    }
}

std::vector<QAction*> main_window::toolbar_actions() const {
    std::vector<QAction*> list;
    for (QToolBar* bar : findChildren<QToolBar*>())
        for (QAction* item : bar->actions())
            if (!item->isSeparator()) list.push_back(item);
    return list;
}

void main_window::rebuild_recent_menu() {
    for (QAction* item : recent_actions_) {
        file_menu_->removeAction(item);
        item->deleteLater();
    }
    recent_actions_.clear();
    int n = 0;
    for (const std::string& path : recent_.files()) {
        ++n;
        auto* item = new QAction(QStringLiteral("&%1 %2").arg(n).arg(from_file_name(path)), this);
        connect(item, &QAction::triggered, this, [this, path] { open_recent(path); });
        file_menu_->insertAction(recent_separator_, item);
        recent_actions_.push_back(item);
    }
}

void main_window::open_recent(const std::string& path) {
    if (open_file(path) == nullptr && find_open(path) == nullptr) {
        recent_.remove(path);
        rebuild_recent_menu();
    }
}

document_window* main_window::active_document_window() const {
    QMdiSubWindow* sub = area_->currentSubWindow();
    return sub != nullptr ? dynamic_cast<document_window*>(sub->widget()) : nullptr;
}

std::vector<document_window*> main_window::document_windows() const {
    std::vector<document_window*> list;
    for (QMdiSubWindow* sub : area_->subWindowList())
        if (auto* frame = dynamic_cast<document_window*>(sub->widget())) list.push_back(frame);
    return list;
}

document_window* main_window::find_open(const std::string& path) const {
    for (document_window* frame : document_windows())
        if (is_open_as(frame->document().path(), path)) return frame;
    return nullptr;
}

void main_window::open_files(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) open_file(path);
}

document_window* main_window::open_file(const std::string& path) {
    std::string full = full_path(path);
    if (full.empty()) full = path;
    if (document_window* open = find_open(full)) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(open->parentWidget())) {
            area_->setActiveSubWindow(sub);
            sub->raise();
        }
        update_commands();
        return open;
    }

    // The window is shown only once its document has loaded; a failed load
    // leaves no window behind.
    auto frame = std::make_unique<document_window>(
        store_, prompts_, program_directory_, [this](const std::string& text) { set_status(text); }, this);
    frame->hide();
    if (!frame->open(full)) {
        frame.reset();
        if (document_window* active = active_document_window(); active != nullptr && !active->document().status().empty())
            set_status(active->document().status());
        else
            set_status(idle_status);
        update_commands();
        return nullptr;
    }
    recent_.add(full);
    rebuild_recent_menu();

    document_window* shown = frame.get();
    // The pane's own menu would copy plain text only; it offers the window's commands.
    shown->view()->setContextMenuPolicy(Qt::ActionsContextMenu);
    shown->view()->addActions({action(command::copy), action(command::print)});
    const document* document = &shown->document();
    connect(shown, &QObject::destroyed, this, [this, document] {
        if (document_closed_) document_closed_(document);
    });
    QMdiSubWindow* sub = area_->addSubWindow(frame.release());  // the sub-window owns it from here
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(shown->title());
    sub->resize(900, 560);
    shown->show();
    sub->show();
    area_->setActiveSubWindow(sub);
    update_commands();
    return shown;
}

void main_window::close_document_window(document_window* frame) {
    auto* sub = qobject_cast<QMdiSubWindow*>(frame->parentWidget());
    if (sub == nullptr) return;
    area_->removeSubWindow(sub);
    sub->hide();
    sub->deleteLater();
    if (area_->subWindowList().isEmpty()) set_status(idle_status);
    update_commands();
}

QString main_window::status_text() const { return status_->text(); }

void main_window::set_status(const std::string& text) {
    status_->setText(QString::fromStdString(text));
    if (status_->isVisible()) status_->repaint();
}

void main_window::update_commands() {
    document_window* frame = active_document_window();
    const bool has_document = frame != nullptr;
    const bool has_display = has_document && frame->view()->current_display() != 0;
    for (command which : {command::close, command::reload, command::calculate, command::cascade, command::tile,
                          command::explain_views})
        action(which)->setEnabled(has_document);
    for (command which : {command::print, command::copy, command::next_display, command::previous_display})
        action(which)->setEnabled(has_display);
    for (int n = 1; n <= display_count; ++n)
        action(static_cast<command>(static_cast<int>(command::display1) + n - 1))
            ->setEnabled(has_document && frame->display_available(n));
    const bool has_charts = has_document && frame->charts_available();
    for (command which : {command::charts, command::chart_yield_curve, command::chart_cash_flows, command::chart_subsidy})
        action(which)->setEnabled(has_charts);
    // No handlers: the view is read-only and help is in the Tips menu.
    for (command which : {command::cut, command::paste, command::help_topics}) action(which)->setEnabled(false);
    for (QMenu* menu : {edit_menu_, view_menu_, window_menu_}) menu->menuAction()->setVisible(has_document);
}

}  // namespace fv
