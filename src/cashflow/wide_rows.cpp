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
std::unique_ptr<cf_item> split_tail(cf_item& row) {
    if (row.amt.size() <= widest_row) return nullptr;
    std::unique_ptr<cf_item> tail = row.copy(false);
    tail->amt.assign(row.amt.begin() + static_cast<std::ptrdiff_t>(widest_row), row.amt.end());
    row.amt.resize(widest_row);
    const int span = static_cast<int>(widest_row) * half_months_per_period(row.frequency);
    tail->start_year += span / 24;
    tail->start_offset += span;
    return tail;
}

}  // namespace

bool divide_wide_rows(cf_cohort& cohort) {
    bool divided = false;
    for (std::size_t i = 0; i < cohort.rows.size(); ++i) {
        cf_item& row = *cohort.rows[i];
        std::unique_ptr<cf_item> tail = split_tail(row);
        if (!tail) continue;
        divided = true;
        for (auto& part : row.parts) {
            std::unique_ptr<cf_item> part_tail = split_tail(*part);
            // An empty stand-in keeps the new row's parts in disbursement-period order.
            tail->parts.push_back(part_tail ? std::move(part_tail) : std::make_unique<cf_item>(&cohort));
        }
        cohort.rows.insert(cohort.rows.begin() + static_cast<std::ptrdiff_t>(i) + 1, std::move(tail));
    }
    return divided;
}

}  // namespace fv
