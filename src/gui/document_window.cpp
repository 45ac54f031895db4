// A document window: loads and calculations under a wait cursor, the display
// commands, copy and print of the shown display.
#include "gui/document_window.h"

#include <QFileInfo>
#include <QVBoxLayout>

#include <exception>

#include "app/display_numbers.h"
#include "app/fatal_error.h"
#include "app/settings_keys.h"
#include "gui/clipboard_copy.h"
#include "gui/user_prompts.h"
#include "gui/view_print.h"
#include "util/text_error.h"

namespace fv {

document_window::document_window(settings_store& store, user_prompts& prompts, std::string program_directory,
                         std::function<void(const std::string&)> status, QWidget* parent)
    : QWidget(parent),
      store_(store),
      prompts_(prompts),
      program_directory_(std::move(program_directory)),
      view_(new display_view(this)),
      host_(prompts, store, this, view_, std::move(status)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setFocusProxy(view_);
    document_ = std::make_unique<fv::document>(store_, host_, program_directory_);
    document_->keep_chart_figures(true);
    host_.set_document(document_.get());
    if (document_->rates().failure) host_.show_message(*document_->rates().failure);
}

document_window::~document_window() = default;

bool document_window::open(const std::string& path) {
    wait_cursor waiting;
    return document_->load_spreadsheet(path);
}

bool document_window::reload() {
    wait_cursor waiting;
    view_->clear_display();
    const bool reloaded = document_->reload();
    if (charts_ != nullptr) charts_->follow_document();
    return reloaded;
}

void document_window::calculate() {
    {
        wait_cursor waiting;
        try {
            document_->calculate_subsidy();
        } catch (const text_error& failure) {
            host_.show_message(failure.text());
        } catch (const std::exception&) {
            host_.show_message(fatal_error_text(while_calculating, fatal_error_ending::full_stop));
        }
    }
    show_current_state();
    if (charts_ != nullptr) charts_->follow_document();
}

void document_window::show_current_state() {
    if (document_->calculation_failed()) {
        host_.select_display(messages_display);
        return;
    }
    const int current = view_->current_display();
    if (current == 0 || !document_->has_display(current)) host_.select_display(source_display);
}

bool document_window::display_available(int display) const {
    const std::optional<std::string> text = document_->display_text(display);
    return text && !text->empty();
}

void document_window::show_display(int display) {
    if (display_available(display)) host_.select_display(display);
}

void document_window::next_display() {
    const int next = cycle_display(view_->current_display(), true, [this](int n) { return display_available(n); });
    if (next != 0) host_.select_display(next);
}

void document_window::previous_display() {
    const int previous =
        cycle_display(view_->current_display(), false, [this](int n) { return display_available(n); });
    if (previous != 0) host_.select_display(previous);
}

void document_window::copy() {
    const display_page* page = document_->page_of(view_->current_display());
    if (page == nullptr) return;
    copy_settings settings;
    settings.program_directory = program_directory_;
    settings.spreadsheet_formats_only = store_.read_int(settings::runtime_options, settings::do_wk_only, 0) != 0;
    system_clipboard clipboard;
    copy_display_block(*page, view_->selection_block(), settings, clipboard,
                       [this](const std::string& text) { host_.show_message(text); });
}

void document_window::print() {
    std::string failure;
    if (!print_view_lines(view_->lines(), prompts_, this, failure)) host_.show_message(failure);
}

void document_window::show_chart(chart_kind kind) {
    if (charts_ == nullptr) charts_ = new chart_window(*document_, prompts_, this);
    charts_->show_chart(kind);
}

QString document_window::title() const {
    return QFileInfo(QFile::decodeName(QByteArray::fromStdString(document_->path()))).fileName();
}

}  // namespace fv
