// The quarter factors of a program: for each kind (first-year and later-year
// inflows and outflows) four sequences of percentages, one per fiscal quarter,
// whose n-th value belongs to the cohort of budget year - 1 + n. They split
// annual totals into quarters for the old-style quarterly conversion.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "cashflow/line_code.h"

namespace fv {

// In the order the factors are checked.
enum class factor_kind : int { initial_inflow = 0, inflow = 1, initial_outflow = 2, outflow = 3 };

struct factor_sequence {
    bool read = false;     // a row of this quarter and kind was read
    bool present = false;  // the row gave values (absent sequences count as 0)
    std::string label;     // the row's label text
    std::vector<double> values;  // percentages
};

class quarter_factors {
public:
    // The kind and quarter (1-4) of a quarter-factor line; false for any other line.
    static bool from_line_code(line_code code, factor_kind& kind, int& quarter);
    // "Q1-INFLOW", "Q3-OUTFLOW-INIT", ... as the duplicate message names a line.
    static std::string line_name(factor_kind kind, int quarter);

    void clear();

    // inspectors
    const factor_sequence& sequence(factor_kind kind, int quarter) const;
    bool pending() const { return pending_; }

    // Stores a row just read; the values are absent when the row gave none.
    void store(factor_kind kind, int quarter, std::string label, bool present, std::vector<double> values);

    // Checks every kind's yearly sums (E009), pads the sequences to a common
    // length and drops a kind whose quarters are equal in every year.
    void check();

    // Fractions (percent x 0.01) for the cohort year; false when the kind has
    // no values for that year.
    bool lookup(factor_kind kind, int cohort_year, int budget_year, std::array<double, 4>& fractions) const;

    // Whether the factors for the year split a year other than evenly: the
    // inflow kinds for inflow-class lines, the outflow kinds for all others.
    bool has_unequal_factors(bool inflow_class, int cohort_year, int budget_year) const;

private:
    std::size_t longest(factor_kind kind) const;

    std::array<std::array<factor_sequence, 4>, 4> sequences_{};  // [kind][quarter - 1]
    bool pending_ = false;
};

}  // namespace fv
