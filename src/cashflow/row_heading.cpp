// Row descriptions for the displays.
#include "cashflow/row_heading.h"

#include "cashflow/message_list.h"
#include "cashflow/line_code.h"
#include "cashflow/value_names.h"

namespace fv {

std::string row_heading(const cash_flow_row& row, bool with_period) {
    std::string name = line_code_name(row.line);
    if (with_period && row.is_part) name += format_message(", disbursement period %d", row.disbursement_period);
    const bool annual_totals = row.same_as_disbursement || (row.has_annual_totals && row.frequency == 0);
    const char* point = timing_point_name(row.point);
    if (annual_totals)
        return format_message("%s [%s, %s, %d]", name.c_str(), annual_total_frequency_name(row.annual_total_frequency), point,
                              row.start_year);
    if (row.frequency == frequency_annual)
        return format_message("%s [%s, %s, %d]", name.c_str(), frequency_name(row.frequency), point, row.start_year);
    return format_message("%s [%s, %s, %d:%d]", name.c_str(), frequency_name(row.frequency), point, row.start_year,
                          row.start_period);
}

}  // namespace fv
