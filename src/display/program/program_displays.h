// The seven displays of a program, each a fresh page that opens with the
// report header: source data, present value factors, distribution to
// disbursement periods, derivation of present values, subsidy and
// components, details of the subsidy calculation, messages.
#pragma once

#include <string>

#include "cashflow/cf_pgm.h"
#include "display/gr_page.h"
#include "pv/cf_pvfact.h"
#include "rates/cr_rate_item.h"

namespace fv {

gr_page make_source_display(const cf_pgm& program);
// Needs the engine's factors built.
gr_page make_pvfactor_display(const cf_pgm& program, cf_pvfact& factors);
gr_page make_distribution_display(const cf_pgm& program);
gr_page make_subsidy_display(const cf_pgm& program);
gr_page make_details_display(const cf_pgm& program);
gr_page make_messages_display(const cf_pgm& program);

// "Budget forecast rates, Budget 2001": the rate source's name and the set's title.
std::string rate_assumptions_text(const cr_rate_item& rate_set);

// The derivation display comes out of the calculation itself: sets the
// program's rate assumptions from the rate set, then computes every cohort's
// subsidy on the engine while writing each discounted row's derivation.
gr_page make_derivation_display(cf_pgm& program, cf_pvfact& factors, const cr_rate_item& rate_set);

}  // namespace fv
