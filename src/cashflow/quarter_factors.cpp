// Quarter factors: storage, the check that each year's four quarters add to
// 100 percent, and the lookup by cohort year.
#include "cashflow/quarter_factors.h"

#include <algorithm>

#include "cashflow/input_text.h"
#include "util/text_error.h"

namespace fv {

namespace {

const char* const kind_check_names[4] = {"initial year inflow", "inflow", "initial year outflow", "outflow"};
const char* const kind_line_names[4] = {"INFLOW-INIT", "INFLOW", "OUTFLOW-INIT", "OUTFLOW"};

}  // namespace

bool quarter_factors::from_line_code(line_code code, factor_kind& kind, int& quarter) {
    if (!is_quarter_factor_line(code)) return false;
    const int position = code_number(code) - code_number(line_code::q1_inflow);
    quarter = position / 4 + 1;
    // Within a quarter the codes run inflow, first-year inflow, outflow, first-year outflow.
    static const factor_kind order[4] = {factor_kind::inflow, factor_kind::initial_inflow, factor_kind::outflow,
                                         factor_kind::initial_outflow};
    kind = order[position % 4];
    return true;
}

std::string quarter_factors::line_name(factor_kind kind, int quarter) {
    std::string name = "Q";
    name += std::to_string(quarter);
    name += '-';
    name += kind_line_names[static_cast<int>(kind)];
    return name;
}

void quarter_factors::clear() {
    sequences_ = {};
    pending_ = false;
}

const factor_sequence& quarter_factors::sequence(factor_kind kind, int quarter) const {
    return sequences_.at(static_cast<std::size_t>(kind)).at(static_cast<std::size_t>(quarter - 1));
}

void quarter_factors::store(factor_kind kind, int quarter, std::string label, bool present,
                            std::vector<double> values) {
    factor_sequence& sequence = sequences_.at(static_cast<std::size_t>(kind)).at(static_cast<std::size_t>(quarter - 1));
    sequence.read = true;
    sequence.label = std::move(label);
    sequence.present = present;
    sequence.values = present ? std::move(values) : std::vector<double>{};
    pending_ = true;
}

std::size_t quarter_factors::longest(factor_kind kind) const {
    std::size_t n = 0;
    for (const auto& sequence : sequences_[static_cast<std::size_t>(kind)])
        if (sequence.present) n = std::max(n, sequence.values.size());
    return n;
}

void quarter_factors::check() {
    for (int k = 0; k < 4; ++k) {
        auto& quarters = sequences_[static_cast<std::size_t>(k)];
        const std::size_t n = longest(static_cast<factor_kind>(k));
        bool all_equal = true;
        for (std::size_t i = 0; i < n; ++i) {
            double value[4];
            for (int q = 0; q < 4; ++q) {
                const auto& sequence = quarters[static_cast<std::size_t>(q)];
                value[q] = sequence.present && i < sequence.values.size() ? sequence.values[i] : 0.0;
            }
            const double sum = value[0] + value[1] + value[2] + value[3];
            if (!(sum >= 99.999 && sum <= 100.001))
                throw text_error(fill("E009:  Quarter %s factors in year %d don't add to 100.0",
                                      {kind_check_names[k], std::to_string(i + 1)}));
            if (value[0] != value[1] || value[1] != value[2] || value[2] != value[3]) all_equal = false;
        }
        for (auto& sequence : quarters) {
            if (n == 0 || all_equal) {
                sequence.present = false;
                sequence.values.clear();
            } else {
                sequence.present = true;
                sequence.values.resize(n, 0.0);
            }
        }
    }
    pending_ = false;
}

bool quarter_factors::lookup(factor_kind kind, int cohort_year, int budget_year,
                             std::array<double, 4>& fractions) const {
    const long long index = static_cast<long long>(cohort_year) - (static_cast<long long>(budget_year) - 1);
    const std::size_t n = longest(kind);
    if (index < 0 || static_cast<unsigned long long>(index) >= n) return false;
    const auto& quarters = sequences_[static_cast<std::size_t>(kind)];
    for (int q = 0; q < 4; ++q) {
        const auto& sequence = quarters[static_cast<std::size_t>(q)];
        const auto at = static_cast<std::size_t>(index);
        fractions[static_cast<std::size_t>(q)] =
            sequence.present && at < sequence.values.size() ? sequence.values[at] * 0.01 : 0.0;
    }
    return true;
}

bool quarter_factors::has_unequal_factors(bool inflow_class, int cohort_year, int budget_year) const {
    const factor_kind kinds[2] = {inflow_class ? factor_kind::initial_inflow : factor_kind::initial_outflow,
                                  inflow_class ? factor_kind::inflow : factor_kind::outflow};
    for (factor_kind kind : kinds) {
        std::array<double, 4> fractions{};
        if (!lookup(kind, cohort_year, budget_year, fractions)) continue;
        for (double fraction : fractions)
            if (fraction != 0.25) return true;
    }
    return false;
}

}  // namespace fv
