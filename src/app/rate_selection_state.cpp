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

void write_rate_source(settings_store& store, rate_source source) {
    store.write_int(settings::runtime_options, settings::rate_source, static_cast<int>(list_position(source)));
}

document_rates make_document_rates(settings_store& store, const std::string& rate_file, const std::string& own_file) {
    const std::string& section = settings::runtime_options;
    document_rates out;
    // Each file on its own: a damaged own-rate file leaves the actual and
    // budget sets usable, and no setting is changed because a file did not load.
    std::vector<std::string> failures;
    std::array<bool, rate_sources.size()> lists_loaded = {true, true, true};  // by list_position
    try {
        out.rates.load_own_file(own_file);
    } catch (const std::exception& e) {
        failures.push_back("The own-rate file " + own_file + " was not loaded; its rate sets are not available.\n" +
                           failure_text(e));
        out.rates.load_own_file("");  // forgets the path, so nothing is ever saved over that file
        lists_loaded[list_position(rate_source::own)] = false;
    }
    try {
        out.rates.load_rate_file(rate_file, true);
    } catch (const std::exception& e) {
        failures.push_back(failure_text(e));
        lists_loaded[list_position(rate_source::actual)] = false;
        lists_loaded[list_position(rate_source::budget)] = false;
    }
    if (!failures.empty()) {
        std::string text = failures.front();
        for (std::size_t n = 1; n < failures.size(); ++n) text += "\n\n" + failures[n];
        out.failure = text;
    }

    const std::optional<rate_source> remembered_source =
        rate_source_at(store.read_int(section, settings::rate_source, -1));
    out.selection.source = remembered_source.value_or(rate_source::budget);
    if (!remembered_source) write_rate_source(store, out.selection.source);

    const struct {
        const std::string* key;
        rate_source list;
    } remembered[] = {{&settings::rate_item_actual, rate_source::actual},
                      {&settings::rate_item_own, rate_source::own},
                      {&settings::rate_item_forecast, rate_source::budget}};
    for (const auto& entry : remembered) {
        std::string title = store.read_text(section, *entry.key, "");
        // A list that did not load keeps the remembered title for the next run.
        if (lists_loaded[list_position(entry.list)] && out.rates.index_of_title(entry.list, title) == -1) {
            title = out.rates.title_at(entry.list, 0).value_or("");
            store.write_text(section, *entry.key, title);
        }
        out.selection.title_of(entry.list) = title;
    }
    return out;
}

}  // namespace fv
