// The credit program: its settings, messages, quarter factors and timing.
#include "cashflow/credit_program.h"

#include "util/time_text.h"

namespace fv {

credit_program::credit_program(std::time_t created) : run_time(time_text(created)) { messages_.reset(); }

void credit_program::add(unsigned number, std::string_view text) { messages_.add(number, text); }

bool credit_program::quarter_factor(factor_kind kind, int cohort_year, std::array<double, 4>& fractions) const {
    return factors_.lookup(kind, cohort_year, budget_year, fractions);
}

bool credit_program::has_unequal_factors(line_code line, int cohort_year) const {
    return factors_.has_unequal_factors(in_inflow_class(line), cohort_year, budget_year);
}

void credit_program::reset_settings() {
    static_cast<program_settings&>(*this) = {};
    timing_ = timing_settings{};
}

void credit_program::clear() {
    reset_settings();
    cohorts.clear();
    factors_.clear();
    messages_.reset();
}

}  // namespace fv
