// A credit program read from one named range of a workbook: the header
// settings, the timing settings, the quarter factors, the cohorts with their
// rows, and the numbered messages raised while reading and calculating.
#pragma once

#include <array>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cashflow/cohort.h"
#include "cashflow/line_code.h"
#include "cashflow/message_list.h"
#include "cashflow/quarter_factors.h"
#include "cashflow/timing_settings.h"

namespace fv {

class workbook_file;

class credit_program {
public:
    // The run time stamp is taken from `created` (now by default).
    explicit credit_program(std::time_t created = std::time(nullptr));

    // Settings the calculation run gives before loading. A default budget year
    // outside 1992-3000 is not accepted and leaves the value unchanged.
    void set_default_budget_year(int year);
    int default_budget_year() const { return default_budget_year_; }
    void set_first_year_is_budget_year(bool flag) { first_year_is_budget_year_ = flag; }
    bool first_year_is_budget_year() const { return first_year_is_budget_year_; }

    // Reads the named range into this program (cleared first) and returns the
    // first cohort. Every failure is thrown as text_error; the program is then
    // not to be used.
    cohort& load(workbook_file& book, std::string_view range_name);

    // Back to the state of a new program (settings, texts, cohorts, factors,
    // messages), keeping the run time stamp and the run's settings.
    void clear();

    // Adds a numbered message (dropped when suppressed or above 99).
    void add(unsigned number, std::string_view text);
    message_list& messages() { return messages_; }
    const message_list& messages() const { return messages_; }

    // Quarter factors of a kind for a cohort year as fractions (Q1-Q4).
    bool quarter_factor(factor_kind kind, int cohort_year, std::array<double, 4>& fractions) const;
    bool has_unequal_factors(line_code line, int cohort_year) const;
    const quarter_factors& factors() const { return factors_; }

    const timing_settings& timing() const { return timing_; }

    // The "Timing" keyword: the cursor stands on the keyword's cell.
    void read_timing(workbook_file& book);

    // Workbook identity and run time stamp.
    std::string workbook_path;
    std::string workbook_date;
    std::string range_name;
    std::string range_coordinates;  // first cell ".." last cell
    std::string run_time;           // 24 characters

    // What the report header and the outputs show beside the range's own values.
    std::string version_text = "Release version (Nov. 26, 1999)";
    std::optional<std::string> rate_assumptions;  // rate source and set title, once a calculation ran
    std::optional<std::string> rate_selection;    // the rate choice of a batch run

    // Header settings.
    std::string name, description;
    bool name_given = false, description_given = false;
    int program_type = 0;  // 0 unknown, 1 direct loan, 2 loan guarantee
    int budget_year = 0;   // 0 until set, else 1992-3000
    int next_cohort_year = 0;
    int amount_units = 0;  // 0 unset, 1 dollars, 2 thousands, 3 millions, 4 billions
    bool amount_given = false;
    int single_effective_rate = -1;  // -1 unset, 0 no, 1 yes
    int method = -1;                 // -1 unset, 0 choose, 1 force pro-rata
    int purpose = 0;                 // 0 unset, 1 budget, 5 analysis
    int loan_type = 1;               // 1 construction, 0 multiple
    int rate_assumption = 0;         // 0 unset, 1 actual, 2 budget, 3 own
    std::string rate_title;
    bool rate_title_given = false;
    std::string csv_file_name, output_file_name, sheet_file_name;
    bool csv_file_given = false, output_file_given = false, sheet_file_given = false;

    std::vector<std::unique_ptr<cohort>> cohorts;

private:
    void reset_settings();
    void read_header(workbook_file& book);
    void read_factor_row(workbook_file& book, line_code code);
    void start_cohort(workbook_file& book, line_code code);

    message_list messages_;
    quarter_factors factors_;
    timing_settings timing_;
    int default_budget_year_ = 0;
    bool first_year_is_budget_year_ = false;
};

}  // namespace fv
