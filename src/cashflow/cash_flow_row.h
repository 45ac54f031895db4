// One cash-flow row of a cohort: its line type, amounts (by period, or annual
// totals paid at a finer frequency), when the first amount falls, at what
// frequency the amounts follow and where inside each period they fall. A row
// reads itself from the workbook and offers the small operations the cohort
// checks, the distribution and the discounting need.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cashflow/line_code.h"

namespace fv {

// The signs of a row's amounts that are not negligibly small.
enum class amount_signs { none_significant, all_positive, all_negative, mixed };

class cohort;
class credit_program;
class message_list;
class workbook_file;

class cash_flow_row {
public:
    explicit cash_flow_row(fv::cohort* owner = nullptr);

    // A copy for the row's parts: the same settings, amounts only when asked;
    // parts are never copied.
    std::unique_ptr<cash_flow_row> copy(bool with_amounts) const;

    // Reads the row whose first cell is under the cursor. Afterwards a row
    // without amounts (has_data false) held no nonzero number. Raises E016,
    // E022, E023, E024, E027, E028; adds messages 38.
    void read(workbook_file& book, line_code code);

    bool has_data() const { return !amounts.empty() || !annual_totals.empty(); }
    // What the row is shown and discounted with: its annual totals, yearly,
    // when it is timed as the disbursements; else its amounts at their frequency.
    const std::vector<double>& valued_amounts() const;
    int valued_frequency() const;
    bool is_disbursement() const { return is_disbursement_line(line); }

    // Leading zeros dropped, the start moved on by the periods (years) dropped.
    void drop_leading_zero_amounts();
    void drop_leading_zero_annual_totals();

    // Whole half-months from the cohort's disbursements to this row's first
    // amount; run after any change of start or frequency.
    void compute_start_offset();

    // Sign state, the cohort's disbursement and principal totals, messages
    // 34/35 into `messages` (none for a row without a program).
    void check_signs(message_list& messages);

    // Drops trailing zero amounts (never the last one), also in the parts.
    void trim_trailing_zeros();

    // Adds the periodic amounts into sums by fiscal year, index 0 being the
    // cohort year; years before it and past the end of sums are left out.
    void add_to_fiscal_year_sums(std::vector<double>& sums) const;

    struct time_weight {
        double sum = 0.0;   // sum of absolute amounts
        double mean = 0.0;  // amount-weighted mean time in half-months (0 without amounts)
    };
    time_weight weighted_time() const;
    double last_time() const;  // half-months to the last amount

    // The owning cohort and, through it, the program (either may be absent).
    credit_program* program() const;

    // The row as read.
    fv::cohort* cohort = nullptr;
    line_code line = line_code::unknown;
    std::string cell;   // coordinate text of the row's first cell
    std::string label;  // first cell's text without leading blanks, trailing blanks and periods
    std::vector<double> amounts;        // amounts per period at `frequency`
    std::vector<double> annual_totals;  // annual totals at `annual_total_frequency`
    int frequency = 0;
    int annual_total_frequency = 0;
    bool has_annual_totals = false;  // read with a annual_total_frequency
    int point = 0;                   // point_beginning, point_middle, point_end; 0 not given
    int start_year = 0;
    int start_period = 1;
    bool disbursement_period_flag = false;  // the label began with "("
    int disbursement_period = 0;            // the number after "(", when above 0
    bool same_as_disbursement = false;
    bool continuous = false;
    int start_offset = 0;
    amount_signs signs = amount_signs::none_significant;

    // Distribution to disbursement periods (filled by the allocation pass).
    std::vector<std::unique_ptr<cash_flow_row>> parts;
    bool is_part = false;
    int distribution_method = 0;
    int periods_ratio = 1;
    int combination_count = 0;
    int parent_start_year = 0;

private:
    void reset();
    void apply_label_specification();
};

}  // namespace fv
