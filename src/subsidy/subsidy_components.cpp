// Component membership of each line type and the subsidy arithmetic.
#include "subsidy/subsidy_components.h"

namespace fv {

namespace {

enum class component { none, financing, defaults, fees, other };

struct membership {
    component part = component::none;
    int sign = 0;
    bool disbursement = false;
};

struct line_membership {
    line_code line;
    membership member;
};

constexpr line_membership direct_loan_members[] = {
    {line_code::dl_disbursements, {component::financing, +1, true}},
    {line_code::dl_principal, {component::financing, -1}},
    {line_code::dl_interest, {component::financing, -1}},
    {line_code::dl_defaults, {component::defaults, -1}},
    {line_code::dl_recoveries, {component::defaults, -1}},
    {line_code::dl_fees, {component::fees, -1}},
    {line_code::dl_outflows_other, {component::other, +1}},
    {line_code::dl_inflows_other, {component::other, -1}},
    {line_code::dl_losses, {component::other, -1}},
    {line_code::dl_prepayments, {component::other, -1}},
};

constexpr line_membership guarantee_members[] = {
    {line_code::lg_disbursements, {component::none, 0, true}},
    {line_code::lg_interest_subsidy, {component::financing, +1}},
    {line_code::lg_default_payments, {component::defaults, +1}},
    {line_code::lg_recoveries, {component::defaults, +1}},
    {line_code::lg_saved_interest, {component::defaults, +1}},
    {line_code::lg_lost_fees, {component::defaults, -1}},
    {line_code::lg_upfront_fees, {component::fees, -1}},
    {line_code::lg_annual_fees, {component::fees, -1}},
    {line_code::lg_premiums, {component::fees, -1}},
    {line_code::lg_outflows_other, {component::other, +1}},
    {line_code::lg_misc_recoveries, {component::other, +1}},
    {line_code::lg_inflows_other, {component::other, -1}},
};

// A line's component and sign; lines of the other program type enter nothing.
template <std::size_t size>
membership member_of(const line_membership (&members)[size], line_code line) {
    for (const line_membership& entry : members)
        if (entry.line == line) return entry.member;
    return {};
}

}  // namespace

subsidy_accumulator::subsidy_accumulator(cohort_results& results, int program_type)
    : results_(results), program_type_(program_type == program_loan_guarantee ? program_loan_guarantee : program_direct_loan) {
    results_.subsidy_amount = results_.subsidy_percentage = 0.0;
    results_.financing_amount = results_.financing_percentage = 0.0;
    results_.default_amount = results_.default_percentage = 0.0;
    results_.fee_amount = results_.fee_percentage = 0.0;
    results_.other_amount = results_.other_percentage = 0.0;
    results_.disbursements = 0.0;
    results_.line_values.fill(0.0);
    results_.default_value = 0.0;
    results_.recovery_value = 0.0;
}

void subsidy_accumulator::add(line_code line, double value) {
    if (const std::optional<std::size_t> position = line_value_position(program_type_, line))
        results_.line_values[*position] += value;

    const bool guarantee = program_type_ == program_loan_guarantee;
    const membership member = guarantee ? member_of(guarantee_members, line) : member_of(direct_loan_members, line);
    const double signed_value = member.sign * value;
    switch (member.part) {
        case component::financing: results_.financing_amount += signed_value; break;
        case component::defaults: results_.default_amount += signed_value; break;
        case component::fees: results_.fee_amount += signed_value; break;
        case component::other: results_.other_amount += signed_value; break;
        case component::none: break;
    }
    if (member.disbursement) results_.disbursements += value;

    if (guarantee) {
        if (line == line_code::lg_recoveries) results_.recovery_value += value;
        if (line == line_code::lg_default_payments || line == line_code::lg_lost_fees || line == line_code::lg_saved_interest)
            results_.default_value += value;
    } else {
        if (line == line_code::dl_defaults) results_.default_value += value;
        if (line == line_code::dl_recoveries) results_.recovery_value += value;
    }
}

void subsidy_accumulator::finish() {
    cohort_results& r = results_;
    if (r.disbursements == 0) {
        r.subsidy_amount = r.subsidy_percentage = 0.0;
        r.financing_amount = r.financing_percentage = 0.0;
        r.default_amount = r.default_percentage = 0.0;
        r.fee_amount = r.fee_percentage = 0.0;
        r.other_amount = r.other_percentage = 0.0;
        return;
    }
    r.subsidy_computed = true;
    r.subsidy_amount = r.other_amount + r.fee_amount + r.default_amount + r.financing_amount;
    r.subsidy_percentage = r.subsidy_amount * 100 / r.disbursements;
    r.financing_percentage = r.financing_amount * 100 / r.disbursements;
    r.default_percentage = r.default_amount * 100 / r.disbursements;
    r.fee_percentage = r.fee_amount * 100 / r.disbursements;
    r.other_percentage = r.other_amount * 100 / r.disbursements;
}

}  // namespace fv
