// Conflict resolution between the spreadsheet's choices and the dialogs'.
#include "app/conflict_resolution.h"

#include "app/batch_command.h"
#include "app/output_format.h"
#include "app/settings_keys.h"
#include "rates/rate_set.h"
#include "util/text_error.h"

namespace fv {

namespace {

const std::string& section = settings::runtime_options;

[[noreturn]] void no_budget_set(int program_budget_year) {
    throw text_error("Unable to find interest rate assumptions for the " + std::to_string(program_budget_year) +
                     " budget");
}

[[noreturn]] void no_output_name() {
    throw text_error("Options call for spreadsheet output, but no filename provided");
}

void take_dialog_choice(resolved_choices& out, const rate_selection_state& dialog, const rate_collection& rates) {
    out.rate_source = dialog.source;
    const rate_set* set = dialog_rate_set(rates, dialog, dialog.source);
    if (set == nullptr) set = dialog_rate_set(rates, dialog, rate_source::budget);
    if (set == nullptr)
        throw text_error(
            "No interest rate assumptions are available for the calculation.\n\nPlease make a selection from the "
            "\"Actions\" - \"Rates\" menu");
    out.rate_title = set->title;
}

}  // namespace

const char* const budget_rates_forced_message =
    "Rates for most recent budget were used because \"purpose\" set to \"budget\"";

const rate_set* dialog_rate_set(const rate_collection& rates, const rate_selection_state& dialog, rate_source list) {
    const std::string& title = dialog.title_of(list);
    if (!title.empty()) {
        if (const rate_set* set = rates.find_by_title(list, title)) return set;
    }
    return rates.item_at(list, 0);
}

resolved_choices resolve_conflicts(settings_store& store, const spreadsheet_choices& sheet,
                                  const rate_selection_state& dialog, const rate_collection& rates,
                                  rate_source current_rate_source, std::time_t now) {
    const int conflict = store.read_int(section, settings::preference_conflict, 0);
    const int spreadsheet_output = store.read_int(section, settings::online_spreadsheet_options, 0);
    const calculation_purpose preference_purpose =
        purpose_of_preference(store.read_int(section, settings::preference_purpose, -1))
            .value_or(calculation_purpose::budget_formulation);
    const bool computed_by_setting = store.read_int(section, settings::calc_single_effective_rate, 0) == 1;
    const std::string online_name = store.read_text(section, settings::online_filename, "");

    resolved_choices out;
    if (conflict == 1) {
        out.purpose = preference_purpose;
        if (out.purpose == calculation_purpose::budget_formulation) {
            out.budget_rates_forced = dialog.source != rate_source::budget;
            out.rate_source = rate_source::budget;
            const rate_set* set = rates.find_budget_year(settings::read_budget_year(store, now));
            if (set == nullptr) no_budget_set(sheet.budget_year);
            out.rate_title = set->title;
        } else {
            take_dialog_choice(out, dialog, rates);
        }
        out.single_effective_rate = computed_by_setting;
        if (spreadsheet_output != 0) {
            const std::string name = !online_name.empty() ? online_name : sheet.output_file.value_or("");
            if (name.empty()) no_output_name();
            if (!has_wk3_extension(name) && !has_xlsx_extension(name))
                throw text_error("Spreadsheet output filename must have a \"wk3\" extension\n\nfilename provided:  " +
                                 name);
            out.output_file = name;
        }
        return out;
    }

    if (spreadsheet_output != 0) {
        const std::string name = sheet.output_file && !sheet.output_file->empty() ? *sheet.output_file : online_name;
        if (name.empty()) no_output_name();
        out.output_file = name;
    }
    out.purpose = sheet.purpose.value_or(preference_purpose);
    if (out.purpose == calculation_purpose::budget_formulation) {
        out.budget_rates_forced = current_rate_source != rate_source::budget;
        out.rate_source = rate_source::budget;
        const rate_set* set = rates.find_budget_year(sheet.budget_year);
        if (set == nullptr) no_budget_set(sheet.budget_year);
        out.rate_title = set->title;
    } else if (sheet.rate_source) {
        out.rate_source = *sheet.rate_source;
        if (sheet.selection) {
            const rate_set* set = rates.find_by_prefix(out.rate_source, *sheet.selection);
            if (set == nullptr)
                throw text_error(std::string("Spreadsheet calls for a rate selection that does not exist.\n\nIn the ") +
                                 rate_source_name(out.rate_source) + " section, rates named \"" + *sheet.selection +
                                 "\" were not found\n\nPlease update the spreadsheet or make a selection from the "
                                 "\"Actions\" - \"Rates\" menu");
            out.rate_title = set->title;
        } else {
            const rate_set* set = dialog_rate_set(rates, dialog, out.rate_source);
            if (set == nullptr)
                throw text_error(
                    "Spreadsheet calls for the default \"own\" rate selection and there are none.\n\nPlease update the "
                    "spreadsheet or make a selection from the \"Actions\" - \"Rates\" menu");
            out.rate_title = set->title;
        }
    } else {
        take_dialog_choice(out, dialog, rates);
    }
    out.single_effective_rate = sheet.single_effective_rate.value_or(computed_by_setting);
    return out;
}

bool select_rates_needs_alert(settings_store& store, std::optional<calculation_purpose> document_purpose) {
    const int conflict = store.read_int(section, settings::preference_conflict, -1);
    const std::optional<calculation_purpose> preference =
        purpose_of_preference(store.read_int(section, settings::preference_purpose, -1));
    const auto budget = calculation_purpose::budget_formulation;
    return (conflict == 1 && preference == budget) || (conflict == 0 && document_purpose == budget);
}

}  // namespace fv
