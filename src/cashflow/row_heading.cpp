// Row descriptions for the displays.
#include "cashflow/row_heading.h"

#include "cashflow/cf_messages.h"
#include "cashflow/cr_spec.h"
#include "cashflow/value_names.h"

namespace fv {

std::string row_heading(const cf_item& row, bool with_period) {
    std::string name = spec_name(row.lint_type);
    if (with_period && row.is_part) name += format_message(", disbursement period %d", row.disb_period);
    const bool annual_totals = row.same_as_disbursement || (row.has_annual_totals && row.frequency == 0);
    const char* point = timing_point_name(row.point);
    if (annual_totals)
        return format_message("%s [%s, %s, %d]", name.c_str(), c_frequency_name(row.c_frequency), point,
                              row.start_year);
    if (row.frequency == frequency_annual)
        return format_message("%s [%s, %s, %d]", name.c_str(), frequency_name(row.frequency), point, row.start_year);
    return format_message("%s [%s, %s, %d:%d]", name.c_str(), frequency_name(row.frequency), point, row.start_year,
                          row.start_period);
}

}  // namespace fv
