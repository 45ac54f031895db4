// The rate choice every document keeps: its rate sets (the shipped rate file
// and the user's own-rate file) and the category and set chosen in each list,
// made from the remembered settings and repairing what no longer fits.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "app/settings_store.h"
#include "rates/rate_collection.h"

namespace fv {

// The source chosen and the title chosen in each source's list ("" when
// none). Sets are found by title so a list that changed in the meantime cannot
// make a remembered position point at another set.
struct rate_selection_state {
    rate_source source = rate_source::budget;
    std::array<std::string, rate_sources.size()> titles;  // by list_position

    std::string& title_of(rate_source list) { return titles[list_position(list)]; }
    const std::string& title_of(rate_source list) const { return titles[list_position(list)]; }
};

struct document_rates {
    rate_collection rates;
    rate_selection_state selection;
    // A failure to show the user (the own-rate file or the rate file did not load).
    std::optional<std::string> failure;
};

// Remembers the chosen source in the settings (as its list position).
void write_rate_source(settings_store& store, rate_source source);

// Loads the own-rate file `own_file` (may be empty) and the rate file, then
// reads and repairs `rate_source` and the three remembered titles.
document_rates make_document_rates(settings_store& store, const std::string& rate_file, const std::string& own_file);

}  // namespace fv
