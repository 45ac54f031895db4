// The dialogs of the main window, wired to the documents and the settings.
#include "gui/desktop_dialogs.h"

#include <QMessageBox>
#include <QWidget>

#include <algorithm>
#include <filesystem>

#include "app/document.h"
#include "app/fatal_error.h"
#include "app/conflict_resolution.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "app/topics.h"
#include "gui/clipboard_copy.h"
#include "gui/budget_rates_alert.h"
#include "gui/display_rates_dialog.h"
#include "gui/general_preferences_dialog.h"
#include "gui/output_preferences_dialog.h"
#include "gui/tips_window.h"
#include "gui/zero_subsidy_dialog.h"
#include "util/text_error.h"

namespace fv {

namespace {

// The own-rate file a document's sets were last read from.
std::string own_file_of(const document_rates& rates, const rate_dialog_memory& memory) {
    if (memory.initialised) return memory.last_loaded;
    return rates.rates.own_file_path().value_or("");
}

}  // namespace

desktop_dialogs::desktop_dialogs(settings_store& store, const topics* help, std::string rate_file,
                                 std::function<std::vector<document*>()> open_documents,
                                 std::function<void(const std::string&)> message)
    : main_window_dialogs(message, help),
      store_(store),
      rate_file_(std::move(rate_file)),
      open_documents_(std::move(open_documents)),
      message_(std::move(message)),
      clock_([] { return std::time(nullptr); }) {}

void desktop_dialogs::show(QWidget* parent, const std::string& text) {
    if (message_)
        message_(text);
    else
        QMessageBox::information(parent, QStringLiteral("Ferravane"), to_qstring(text));
}

dialog_services desktop_dialogs::services(QWidget* parent) {
    dialog_services out;
    out.message = [this, parent](const std::string& text) { show(parent, text); };
    out.show_topic = [this, parent](const std::string& name) { show_topic(parent, name); };
    return out;
}

void desktop_dialogs::preferences_general(QWidget* parent) {
    general_preferences_dialog dialog(store_, services(parent), clock_(), parent);
    dialog.exec();
}

void desktop_dialogs::preferences_output(QWidget* parent) {
    output_preferences_dialog dialog(store_, services(parent), parent);
    dialog.exec();
}

void desktop_dialogs::select_rates(QWidget* parent, document* document) {
    forget_closed_documents();
    const std::optional<calculation_purpose> purpose =
        document != nullptr && document->program() != nullptr ? document->program()->purpose : std::nullopt;
    if (select_rates_needs_alert(store_, purpose) && !confirm_budget_rates(parent)) return;
    try {
        if (document != nullptr) {
            run_rate_dialog(parent, document, document->rates(), memories_[document]);
            return;
        }
        if (!application_rates_) {
            application_rates_ = std::make_unique<document_rates>(make_document_rates(
                store_, rate_file_, store_.read_text(settings::runtime_options, settings::own_filename, "")));
            if (application_rates_->failure) show(parent, *application_rates_->failure);
        }
        run_rate_dialog(parent, nullptr, *application_rates_, application_memory_);
    } catch (const text_error& failure) {
        show(parent, failure.text());
    } catch (...) {
        show(parent, fatal_error_text("in rate selection dialog", fatal_error_ending::comma));
    }
}

void desktop_dialogs::run_rate_dialog(QWidget* parent, document* document, document_rates& rates,
                                      rate_dialog_memory& memory) {
    rate_dialog_environment environment;
    environment.document_using_title = [this, document, &rates](const std::string& title) -> std::optional<std::string> {
        const std::string file = rates.rates.own_file_path().value_or("");
        for (fv::document* other : open_documents_ ? open_documents_() : std::vector<fv::document*>{}) {
            if (other == nullptr || other == document) continue;
            const document_rates& theirs = other->rates();
            if (theirs.selection.source == rate_source::own && titles_equal(theirs.selection.title_of(rate_source::own), title) &&
                own_file_of(theirs, memories_[other]) == file)
                return other->path();
        }
        return std::nullopt;
    };
    environment.own_rates_changed = [this, &rates, parent](const std::string& file, bool new_default) {
        own_rates_changed(&rates, file, new_default, parent);
    };
    environment.copy_listing = copy_listing_;
    if (!environment.copy_listing) {
        environment.copy_listing = [this, parent](const rate_collection& listed) {
            std::string directory = std::filesystem::path(rate_file_).parent_path().string();
            if (!directory.empty()) directory += '/';
            system_clipboard clipboard;
            copy_rate_listing(listed, directory, store_.read_int(settings::runtime_options, settings::do_wk_only, 0) != 0,
                              clipboard, [this, parent](const std::string& text) { show(parent, text); });
        };
    }
    rate_selection_dialog dialog(store_, rates, memory, environment, services(parent), parent);
    dialog.exec();
}

void desktop_dialogs::own_rates_changed(const document_rates* source, const std::string& own_file, bool new_default,
                                        QWidget* parent) {
    for (fv::document* other : open_documents_ ? open_documents_() : std::vector<fv::document*>{}) {
        if (other == nullptr || &other->rates() == source) continue;
        rate_dialog_memory& memory = memories_[other];
        if (!new_default && own_file_of(other->rates(), memory) != own_file) continue;
        if (const auto failure = reload_own_rates(other->rates(), memory, own_file))
            show(parent, other->path() + ":\n" + *failure);
    }
    if (application_rates_ && application_rates_.get() != source &&
        (new_default || own_file_of(*application_rates_, application_memory_) == own_file))
        reload_own_rates(*application_rates_, application_memory_, own_file);
}

void desktop_dialogs::zero_subsidy_rate(QWidget* parent, document* document) {
    const rate_set* chosen = nullptr;
    if (document != nullptr) {
        const document_rates& rates = document->rates();
        chosen = dialog_rate_set(rates.rates, rates.selection, rates.selection.source);
    }
    zero_subsidy_dialog dialog(chosen, services(parent), parent);
    dialog.exec();
}

void desktop_dialogs::tips(QWidget* parent, const std::string& text) {
    open_tips_window(text, services(parent), parent);
}

void desktop_dialogs::show_topic(QWidget* parent, const std::string& name) {
    tips(parent, topic_text(help(), name));
}

void desktop_dialogs::document_closed(const document* document) { memories_.erase(document); }

void desktop_dialogs::forget_closed_documents() {
    if (!open_documents_) return;
    const std::vector<document*> open = open_documents_();
    std::erase_if(memories_, [&](const auto& entry) {
        return std::find(open.begin(), open.end(), entry.first) == open.end();
    });
}

}  // namespace fv
