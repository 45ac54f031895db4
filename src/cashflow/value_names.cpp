// Display names of the small enumerations of the cash-flow model.
#include "cashflow/value_names.h"

#include "util/ascii.h"

namespace fv {

const char* program_type_name(int type) {
    switch (type) {
        case program_direct_loan: return "direct loan";
        case program_loan_guarantee: return "loan guarantee";
        default: return "unknown";
    }
}

const char* frequency_name(int frequency) {
    switch (frequency) {
        case frequency_annual: return "annual";
        case frequency_semiannual: return "semiannual";
        case frequency_quarter: return "quarter";
        case frequency_monthly: return "monthly";
        default: return "unknown frequency";
    }
}

int frequency_periods(int frequency) {
    switch (frequency) {
        case frequency_annual: return 1;
        case frequency_semiannual: return 2;
        case frequency_quarter: return 4;
        case frequency_monthly: return 12;
        default: return 0;
    }
}

const char* annual_total_frequency_name(int annual_total_frequency) {
    switch (annual_total_frequency) {
        case annual_total_monthly_payments: return "annual total (monthly pmts)";
        case annual_total_quarterly_payments: return "annual total (qtr pmts)";
        case annual_total_semiannual_payments: return "annual total (semi pmts)";
        default: return "unknown compatibility frequency";
    }
}

const char* timing_point_name(int point) {
    switch (point) {
        case point_beginning: return "beginning";
        case point_middle: return "middle";
        case point_end: return "end";
        default: return "unknown point";
    }
}

const char* amount_unit_name(int units) {
    switch (units) {
        case units_dollars: return "dollars";
        case units_thousands: return "thousands";
        case units_millions: return "millions";
        case units_billions: return "billions";
        default: return "unknown units";
    }
}

int amount_units_from_text(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
    if (at == text.size()) return 0;
    switch (ascii_upper(text[at])) {
        case 'D': return units_dollars;
        case 'T': return units_thousands;
        case 'M': return units_millions;
        case 'B': return units_billions;
        default: return 0;
    }
}

}  // namespace fv
