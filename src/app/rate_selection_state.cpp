// Creating a document's rate choice from the settings.
#include "app/rate_selection_state.h"

#include <vector>

#include "app/settings_keys.h"
#include "util/text_error.h"

namespace fv {

namespace {

std::string failure_text(const std::exception& failure) {
    const auto* text = dynamic_cast<const text_error*>(&failure);
    return text != nullptr ? text->text() : std::string("Unable to load interest rate files.");
}

}  // namespace

document_rates make_document_rates(settings_store& store, const std::string& rate_file, const std::string& own_file) {
    const std::string& section = settings::runtime_options;
    document_rates out;
    // Each file on its own: a damaged own-rate file leaves the actual and
    // budget sets usable, and no setting is changed because a file did not load.
    std::vector<std::string> failures;
    bool lists_loaded[3] = {true, true, true};  // actual, budget, own
    try {
        out.rates.load_own_file(own_file);
    } catch (const std::exception& e) {
        failures.push_back("The own-rate file " + own_file + " was not loaded; its rate sets are not available.\n" +
                           failure_text(e));
        out.rates.load_own_file("");  // forgets the path, so nothing is ever saved over that file
        lists_loaded[2] = false;
    }
    try {
        out.rates.load_rate_file(rate_file, true);
    } catch (const std::exception& e) {
        failures.push_back(failure_text(e));
        lists_loaded[0] = lists_loaded[1] = false;
    }
    if (!failures.empty()) {
        std::string text = failures.front();
        for (std::size_t n = 1; n < failures.size(); ++n) text += "\n\n" + failures[n];
        out.failure = text;
    }

    int category = store.read_int(section, settings::rate_source, -1);
    if (category < 0 || category > 2) {
        category = 1;
        store.write_int(section, settings::rate_source, category);
    }
    out.selection.category = category;

    // Lists 1 actual, 2 budget, 3 own; titles are kept by category 0, 1, 2.
    const struct {
        const std::string* key;
        int list;
    } remembered[] = {{&settings::rate_item_actual, 1}, {&settings::rate_item_own, 3},
                      {&settings::rate_item_forecast, 2}};
    for (const auto& entry : remembered) {
        std::string title = store.read_text(section, *entry.key, "");
        // A list that did not load keeps the remembered title for the next run.
        if (lists_loaded[entry.list - 1] && out.rates.index_of_title(entry.list, title) == -1) {
            title = out.rates.title_at(entry.list, 0).value_or("");
            store.write_text(section, *entry.key, title);
        }
        out.selection.titles[static_cast<std::size_t>(entry.list - 1)] = title;
    }
    return out;
}

}  // namespace fv
