// Settles, before every calculation, the choices that both the spreadsheet and
// the program's dialogs can make: the purpose, the rate set, whether the single
// effective rate is computed, and the output spreadsheet's name. The setting
// `preference_conflict` decides which side wins.
#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "app/rate_selection_state.h"
#include "app/settings_store.h"
#include "rates/rate_collection.h"

namespace fv {

// What the parsed program asks for.
struct spreadsheet_choices {
    int purpose = 1;      // 1 budget formulation (also when absent), 5 analysis
    int rate_source = 0;  // 0 absent, else 1 actual, 2 budget, 3 own
    std::optional<std::string> selection;
    int single_effective_rate = -1;  // -1 absent, else 0 or 1
    std::optional<std::string> output_file;
    int budget_year = 0;
};

struct resolved_choices {
    int purpose = 1;      // 1 budget formulation ... 5 analysis
    int rate_source = 2;  // 1 actual, 2 budget forecast, 3 own
    std::string rate_title;
    int single_effective_rate = 0;
    std::optional<std::string> output_file;  // only when spreadsheet output is on
    bool budget_rates_forced = false;        // the caller adds message 51
};

extern const char* const budget_rates_forced_message;  // message 51

// Throws text_error with the message to show when the choices cannot be settled.
resolved_choices resolve_conflicts(settings_store& store, const spreadsheet_choices& sheet,
                                  const rate_selection_state& dialog, const rate_collection& rates,
                                  int current_rate_source, std::time_t now);

// The set the dialog's choice names in a list: its title, else the first set.
const rate_set* dialog_rate_set(const rate_collection& rates, const rate_selection_state& dialog, int category);

// Whether "&Select rates..." first warns that the purpose overrides the choice.
bool select_rates_needs_alert(settings_store& store, int document_purpose);

}  // namespace fv
