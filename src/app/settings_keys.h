// The names of the program's settings, the display-mask bits they share, and
// the few reads that repair or default a value as they read it.
#pragma once

#include <ctime>
#include <string>

#include "app/settings_store.h"

namespace fv::settings {

inline const std::string runtime_options = "Runtime options";
inline const std::string recent_file_list = "Recent File List";

inline const std::string startup_logo = "startup_logo";
inline const std::string preference_purpose = "preference_purpose";
inline const std::string preference_conflict = "preference_conflict";
inline const std::string budget_year = "budget_year";
inline const std::string first_year_is_by = "first_year_is_by";
inline const std::string range_names = "range_names";
inline const std::string auto_subsidy_calc = "auto_subsidy_calc";
inline const std::string input_too_wide_option = "input_too_wide_option";
inline const std::string calc_single_effective_rate = "calc_single_effective_rate";
inline const std::string do_wk_only = "do_wk_only";
inline const std::string online_filename = "online_filename";
inline const std::string online_spreadsheet_options = "online_spreadsheet_options";
inline const std::string online_view_options = "online_view_options";
inline const std::string online_print_options = "online_print_options";
inline const std::string own_filename = "own_filename";
inline const std::string rate_source = "rate_source";
inline const std::string rate_item_actual = "rate_item_actual";
inline const std::string rate_item_forecast = "rate_item_forecast";
inline const std::string rate_item_own = "rate_item_client";
inline const std::string flat_rate_type = "flat_rate_type";
inline const std::string conversion_alert = "conversion_alert";

// Display N (1 source data ... 7 messages) has bit 2^(N-1) in every display mask.
constexpr int display_bit(int display) { return 1 << (display - 1); }

// The budget year a clean store starts from: next calendar year from January to
// September, the year after that from October to December.
int default_budget_year(const std::tm& local_date);

// `budget_year`, with an absent or 0 value replaced by the default and written.
int read_budget_year(settings_store& store, std::time_t now);

// The range names to try, in order; "TRQ" when the setting is empty.
std::string read_range_names(settings_store& store);

// `startup_logo`, written as 1 when absent.
int read_startup_logo(settings_store& store);

// The key of recent file n (1 to 9).
std::string recent_file_key(int n);

}  // namespace fv::settings
