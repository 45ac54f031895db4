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

membership direct_loan_member(int line) {
    switch (line) {
        case 46: return {component::financing, +1, true};
        case 49:
        case 50: return {component::financing, -1};
        case 52:
        case 54: return {component::defaults, -1};
        case 51: return {component::fees, -1};
        case 48: return {component::other, +1};
        case 47:
        case 53:
        case 55: return {component::other, -1};
        default: return {};
    }
}

membership guarantee_member(int line) {
    switch (line) {
        case 57: return {component::none, 0, true};
        case 65: return {component::financing, +1};
        case 63:
        case 64:
        case 68: return {component::defaults, +1};
        case 67: return {component::defaults, -1};
        case 59:
        case 60:
        case 61: return {component::fees, -1};
        case 66:
        case 69: return {component::other, +1};
        case 62: return {component::other, -1};
        default: return {};
    }
}

int block_start(bool guarantee) { return guarantee ? 57 : 46; }

}  // namespace

subsidy_accumulator::subsidy_accumulator(cohort_results& results, int program_type)
    : results_(results), guarantee_(program_type == 2) {
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

void subsidy_accumulator::add(int line, double value) {
    const int position = line - block_start(guarantee_);
    if (position >= 0 && position < static_cast<int>(results_.line_values.size()))
        results_.line_values[static_cast<std::size_t>(position)] += value;

    const membership member = guarantee_ ? guarantee_member(line) : direct_loan_member(line);
    const double signed_value = member.sign * value;
    switch (member.part) {
        case component::financing: results_.financing_amount += signed_value; break;
        case component::defaults: results_.default_amount += signed_value; break;
        case component::fees: results_.fee_amount += signed_value; break;
        case component::other: results_.other_amount += signed_value; break;
        case component::none: break;
    }
    if (member.disbursement) results_.disbursements += value;

    if (guarantee_) {
        if (line == 64) results_.recovery_value += value;
        if (line == 63 || line == 67 || line == 68) results_.default_value += value;
    } else {
        if (line == 52) results_.default_value += value;
        if (line == 54) results_.recovery_value += value;
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
