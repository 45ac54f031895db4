// Creating a document's rate choice from the settings.
#include "app/rate_selection_state.h"

#include "app/settings_keys.h"
#include "util/text_error.h"

namespace fv {

document_rates make_document_rates(settings_store& store, const std::string& rate_file, const std::string& own_file) {
    const std::string& section = settings::runtime_options;
    document_rates out;
    try {
        out.rates.load_custom(own_file);
        out.rates.load_common(rate_file, true);
    } catch (const text_error& e) {
        out.failure = e.text();
        store.write_text(section, settings::own_filename, "");
    } catch (...) {
        out.failure = "Unable to load interest rate files.";
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
    } remembered[] = {{&settings::rate_item_actual, 1}, {&settings::rate_item_client, 3},
                      {&settings::rate_item_forecast, 2}};
    for (const auto& entry : remembered) {
        std::string title = store.read_text(section, *entry.key, "");
        if (out.rates.index_of_title(entry.list, title) == -1) {
            title = out.rates.title_at(entry.list, 0).value_or("");
            store.write_text(section, *entry.key, title);
        }
        out.selection.titles[static_cast<std::size_t>(entry.list - 1)] = title;
    }
    return out;
}

}  // namespace fv
