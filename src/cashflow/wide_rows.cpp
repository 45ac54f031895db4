// Dividing wide rows: the tail from the 61st amount becomes a row that starts
// 60 periods later.
#include "cashflow/wide_rows.h"

#include <iterator>

#include "cashflow/value_names.h"

namespace fv {

namespace {

// Half-months per period; rows of an unknown frequency count as annual.
int half_months_per_period(int frequency) {
    const int periods = frequency_periods(frequency);
    return periods > 0 ? 24 / periods : 24;
}

// The amounts from the 61st on as a row of their own, or nothing for a row that is not wide.
std::unique_ptr<cash_flow_row> split_tail(cash_flow_row& row) {
    if (row.amounts.size() <= widest_row) return nullptr;
    std::unique_ptr<cash_flow_row> tail = row.copy(false);
    tail->amounts.assign(row.amounts.begin() + static_cast<std::ptrdiff_t>(widest_row), row.amounts.end());
    row.amounts.resize(widest_row);
    // The row keeps only what it shows: a long row is divided several times.
    row.amounts.shrink_to_fit();
    const int span = static_cast<int>(widest_row) * half_months_per_period(row.frequency);
    tail->start_year += span / 24;
    tail->start_offset += span;
    return tail;
}

}  // namespace

bool divide_wide_rows(cohort& cohort) {
    bool divided = false;
    for (std::size_t i = 0; i < cohort.rows.size(); ++i) {
        cash_flow_row& row = *cohort.rows[i];
        std::unique_ptr<cash_flow_row> tail = split_tail(row);
        if (!tail) continue;
        divided = true;
        for (auto& part : row.parts) {
            std::unique_ptr<cash_flow_row> part_tail = split_tail(*part);
            // An empty stand-in keeps the new row's parts in disbursement-period order.
            tail->parts.push_back(part_tail ? std::move(part_tail) : std::make_unique<cash_flow_row>(&cohort));
        }
        cohort.rows.insert(cohort.rows.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(tail));
    }
    return divided;
}

}  // namespace fv
