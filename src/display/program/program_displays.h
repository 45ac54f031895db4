// The seven displays of a program, each a fresh page that opens with the
// report header: source data, present value factors, distribution to
// disbursement periods, derivation of present values, subsidy and
// components, details of the subsidy calculation, messages.
#pragma once

#include <string>

#include "cashflow/credit_program.h"
#include "display/display_page.h"
#include "pv/present_value_factors.h"
#include "rates/rate_set.h"

namespace fv {

display_page make_source_display(const credit_program& program);
// Needs the engine's factors built.
display_page make_factor_display(const credit_program& program, present_value_factors& factors);
display_page make_distribution_display(const credit_program& program);
display_page make_subsidy_display(const credit_program& program);
display_page make_details_display(const credit_program& program);
display_page make_messages_display(const credit_program& program);

// "Budget forecast rates, Budget 2001": the rate source's name and the set's title.
std::string rate_assumptions_text(const rate_set& rate_set);

// The derivation display: sets the program's rate assumptions from the rate
// set, then computes every cohort's subsidy on the engine again and draws how
// each discounted row came to its value.
display_page make_derivation_display(credit_program& program, present_value_factors& factors, const rate_set& rate_set);

}  // namespace fv
