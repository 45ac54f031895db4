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

#include "cashflow/calculation_purpose.h"
#include "cashflow/cohort.h"
#include "cashflow/line_code.h"
#include "cashflow/message_list.h"
#include "cashflow/quarter_factors.h"
#include "cashflow/timing_settings.h"
#include "cashflow/value_names.h"
#include "rates/rate_set.h"

namespace fv {

class workbook_file;

// How loans of a cohort are disbursed when amounts are distributed to
// disbursement periods ("Loan type"); the numbers are the keyword's stored
// values.
enum class loan_model : int { multiple = 0, construction = 1 };

// "Method": let the calculation choose the distribution, or force pro-rata.
enum class pro_rata_method : int { choose = 0, force = 1 };

// The settings a range states in its header, in their "not given" states; a
// program read again starts from these.
struct program_settings {
    // Workbook identity.
    std::string workbook_path;
    std::string workbook_date;
    std::string range_name;
    std::string range_coordinates;  // first cell ".." last cell

    std::string name, description;  // empty when not given
    int program_type = program_unknown;
    int budget_year = 0;  // 0 until set, else 1992-3000
    int next_cohort_year = 0;
    std::optional<int> amount_units;  // units_dollars ... units_billions
    std::optional<bool> single_effective_rate;
    std::optional<pro_rata_method> method;
    std::optional<calculation_purpose> purpose;  // budget formulation when not given
    loan_model loan_type = loan_model::construction;
    std::optional<rate_source> rate_assumption;
    std::string rate_title;   // empty when not given
    std::string csv_file_name, output_file_name, sheet_file_name;  // empty when not given
};

class credit_program : public program_settings {
public:
    // The run time stamp is taken from `created` (now by default).
    explicit credit_program(std::time_t created = std::time(nullptr));

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
    quarter_factors& factors() { return factors_; }

    const timing_settings& timing() const { return timing_; }
    timing_settings& timing() { return timing_; }

    // The units amounts are in: as given, else millions.
    int units() const { return amount_units.value_or(units_millions); }

    std::string run_time;  // 24 characters

    // What the report header and the outputs show beside the range's own values.
    std::string version_text = "Release version (Nov. 26, 1999)";
    std::optional<std::string> rate_assumptions;  // rate source and set title, once a calculation ran
    std::optional<std::string> rate_selection;    // the rate choice of a batch run

    std::vector<std::unique_ptr<cohort>> cohorts;

private:
    void reset_settings();

    message_list messages_;
    quarter_factors factors_;
    timing_settings timing_;
};

}  // namespace fv
