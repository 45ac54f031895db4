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
#include "cashflow/calculation_purpose.h"
#include "rates/rate_collection.h"

namespace fv {

// What the parsed program asks for.
struct spreadsheet_choices {
    // A parsed program always has one; the preferences decide when there is none.
    std::optional<calculation_purpose> purpose = calculation_purpose::budget_formulation;
    std::optional<fv::rate_source> rate_source;  // absent when the spreadsheet names none
    std::optional<std::string> selection;
    std::optional<bool> single_effective_rate;  // absent when the spreadsheet does not say
    std::optional<std::string> output_file;
    int budget_year = 0;
};

struct resolved_choices {
    calculation_purpose purpose = calculation_purpose::budget_formulation;
    fv::rate_source rate_source = fv::rate_source::budget;
    std::string rate_title;
    bool single_effective_rate = false;  // whether it is computed
    std::optional<std::string> output_file;  // only when spreadsheet output is on
    bool budget_rates_forced = false;        // the caller adds message 51
};

extern const char* const budget_rates_forced_message;  // message 51

// Throws text_error with the message to show when the choices cannot be settled.
resolved_choices resolve_conflicts(settings_store& store, const spreadsheet_choices& sheet,
                                  const rate_selection_state& dialog, const rate_collection& rates,
                                  rate_source current_rate_source, std::time_t now);

// The set the dialog's choice names in a list: its title, else the first set.
const rate_set* dialog_rate_set(const rate_collection& rates, const rate_selection_state& dialog, rate_source list);

// Whether "&Select rates..." first warns that the purpose overrides the choice.
bool select_rates_needs_alert(settings_store& store, std::optional<calculation_purpose> document_purpose);

}  // namespace fv
