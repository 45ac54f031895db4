// The dialogs the main window opens, wired together: the preference dialogs,
// the rate selection dialog of each document (with the Alert before it when
// the purpose forces the budget rates), the zero-subsidy rate and the Tips
// windows. It keeps what each document's rate dialog remembers between
// openings, and the rate choice of "&Select rates..." with no document open
// (the defaults of future documents).
#pragma once

#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/rate_selection_state.h"
#include "gui/main_window_dialogs.h"
#include "gui/dialog_services.h"
#include "gui/rate_selection_dialog.h"

namespace fv {

class settings_store;

class desktop_dialogs : public main_window_dialogs {
public:
    // `rate_file` is the program directory's "rates.txt"; `open_documents`
    // lists the documents of the open windows.
    desktop_dialogs(settings_store& store, const topics* help, std::string rate_file,
                    std::function<std::vector<document*>()> open_documents,
                    std::function<void(const std::string&)> message = {});

    void preferences_general(QWidget* parent) override;
    void preferences_output(QWidget* parent) override;
    void select_rates(QWidget* parent, document* document) override;
    void zero_subsidy_rate(QWidget* parent, document* document) override;
    void tips(QWidget* parent, const std::string& text) override;
    void show_topic(QWidget* parent, const std::string& name) override;

    // The window of this document closed: what its rate dialog remembered goes.
    void document_closed(const document* document);
    // "&Copy to clipboard" of the rate listing (the clipboard formats are the window's).
    void set_copy_listing(std::function<void(const rate_collection&)> copy) { copy_listing_ = std::move(copy); }
    // The clock of the budget-year default; tests fix it.
    void set_clock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }

    // The own-rates-changed notice: documents other than `source` that read
    // `own_file` (or all of them, when it became the default) reload their
    // own rate sets; a failure is shown once per document.
    void own_rates_changed(const document_rates* source, const std::string& own_file, bool new_default,
                           QWidget* parent);

    rate_dialog_memory& memory_of(const document* document) { return memories_[document]; }

private:
    dialog_services services(QWidget* parent);
    void show(QWidget* parent, const std::string& text);
    void run_rate_dialog(QWidget* parent, document* document, document_rates& rates, rate_dialog_memory& memory);
    void forget_closed_documents();

    settings_store& store_;
    std::string rate_file_;
    std::function<std::vector<document*>()> open_documents_;
    std::function<void(const std::string&)> message_;
    std::function<void(const rate_collection&)> copy_listing_;
    std::function<std::time_t()> clock_;
    std::map<const document*, rate_dialog_memory> memories_;
    // "&Select rates..." with no document open.
    std::unique_ptr<document_rates> application_rates_;
    rate_dialog_memory application_memory_;
};

}  // namespace fv
