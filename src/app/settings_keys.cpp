#include "app/settings_keys.h"

namespace fv::settings {

int default_budget_year(const std::tm& local_date) {
    const int year = 1900 + local_date.tm_year;
    return local_date.tm_mon >= 9 ? year + 2 : year + 1;  // tm_mon 9 is October
}

int read_budget_year(settings_store& store, std::time_t now) {
    int year = store.read_int(runtime_options, budget_year, 0);
    if (year == 0) {
        std::tm local{};
        localtime_r(&now, &local);
        year = default_budget_year(local);
        store.write_int(runtime_options, budget_year, year);
    }
    return year;
}

std::string read_range_names(settings_store& store) {
    const std::string names = store.read_text(runtime_options, range_names, "");
    return names.empty() ? "TRQ" : names;
}

int read_startup_logo(settings_store& store) {
    int value = store.read_int(runtime_options, startup_logo, -1);
    if (value == -1) {
        value = 1;
        store.write_int(runtime_options, startup_logo, value);
    }
    return value;
}

std::string recent_file_key(int n) { return "File" + std::to_string(n); }

}  // namespace fv::settings
