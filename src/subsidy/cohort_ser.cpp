// Feeding a cohort's rows and subsidy to the single-effective-rate search.
#include "subsidy/cohort_ser.h"

#include "cashflow/value_names.h"
#include "pv/single_effective_rate.h"
#include "subsidy/cohort_subsidy.h"

namespace fv {

namespace {

void add_rows(const cf_item& row, std::vector<ser_row>& rows) {
    if (!row.parts.empty()) {
        for (const auto& part : row.parts) add_rows(*part, rows);
        return;
    }
    if (row.is_disbursement()) return;
    const std::vector<double>& amounts = row.same_as_disbursement ? row.c_amt : row.amt;
    const int frequency = row.same_as_disbursement ? frequency_annual : row.frequency;
    if (amounts.empty() || frequency < 1 || frequency > 4) return;
    rows.push_back({frequency, row.start_offset, amounts});
}

}  // namespace

void get_ser(cf_cohort& cohort, cf_pvfact& engine, const cr_rate_item& rate_set, cf_messages& messages) {
    cohort_results& results = cohort.results;
    ser_cohort input;
    input.year = cohort.year;
    input.compute = results.rate_computed;
    input.single_effective_rate = results.single_effective_rate;
    input.subsidy_percentage = results.subsidy_percentage;
    input.highest_zero_rate = results.highest_zero_rate;
    for (const auto& row : cohort.rows) add_rows(*row, input.rows);

    // Trial subsidies must not show a rate from an earlier search.
    results.single_effective_rate = not_available;
    const ser_outcome outcome = get_ser(input, engine, rate_set, [&cohort](cf_pvfact& trial) {
        compute_subsidy(cohort, trial);
        return cohort.results.subsidy_percentage;
    });
    results.single_effective_rate = outcome.rate;
    for (const ser_message& message : outcome.messages) messages.add(static_cast<unsigned>(message.number), message.text);
}

void mark_ser_not_computed(cf_cohort& cohort) {
    cohort.results.single_effective_rate = not_available;
    cohort.results.rate_computed = true;
}

}  // namespace fv
