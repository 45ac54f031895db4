// Laying rows out side by side for discounting at many rates.
#include "pv/discount_batch.h"

#include <algorithm>
#include <map>
#include <utility>

#include "pv/factor_grid.h"

namespace fv {

discount_batch::discount_batch(std::span<const discount_request> rows)
    : rows_(rows.begin(), rows.end()), family_of_(rows.size(), no_family) {
    // Rows discount computes; the others are worth nothing. Rows reaching
    // before the start are discounted alone: a factor there is a quotient.
    std::vector<std::size_t> grouped;
    grouped.reserve(rows_.size());
    std::map<std::pair<int, int>, std::size_t> family_at;
    for (std::size_t n = 0; n < rows_.size(); ++n) {
        const discount_request& row = rows_[n];
        if (row.amounts.empty()) continue;
        if (row.frequency == 0 || row.point == 0) discountable_ = false;
        const int step = grid_step(row.frequency);
        if (step == 0) continue;
        const std::int64_t last = row.start + static_cast<std::int64_t>(row.amounts.size() - 1) * step;
        earliest_index_ = std::min<std::int64_t>(earliest_index_, row.start);
        latest_index_ = std::max(latest_index_, last);
        if (row.start < 0) {
            alone_.push_back(n);
            continue;
        }
        const auto [at, added] = family_at.try_emplace({row.start, step}, families_.size());
        if (added) families_.push_back({row.start, step, 0, 0});
        family& f = families_[at->second];
        f.length = std::max(f.length, row.amounts.size());
        family_of_[n] = at->second;
        grouped.push_back(n);
    }
    // A family's rows together, longest first, so a group's rows are alike in
    // length; each family fills what groups it can, and the rows left over
    // from the families make groups of mixed families, then rows alone.
    std::stable_sort(grouped.begin(), grouped.end(), [this](std::size_t a, std::size_t b) {
        if (family_of_[a] != family_of_[b]) return family_of_[a] < family_of_[b];
        return rows_[a].amounts.size() > rows_[b].amounts.size();
    });
    std::vector<std::size_t> left_over;
    for (auto first = grouped.begin(); first != grouped.end();) {
        const auto end = std::find_if(first, grouped.end(), [&](std::size_t n) { return family_of_[n] != family_of_[*first]; });
        const auto in_groups = first + (end - first) / lanes * lanes;
        add_groups({first, in_groups});
        left_over.insert(left_over.end(), in_groups, end);
        first = end;
    }
    std::stable_sort(left_over.begin(), left_over.end(),
                     [this](std::size_t a, std::size_t b) { return rows_[a].amounts.size() > rows_[b].amounts.size(); });
    const auto in_groups = left_over.begin() + static_cast<std::ptrdiff_t>(left_over.size() / lanes * lanes);
    add_groups({left_over.begin(), in_groups});
    alone_.insert(alone_.end(), in_groups, left_over.end());
    for (std::size_t first = 0; first < families_.size(); first += lanes) {
        family_block& block = family_blocks_.emplace_back();
        block.first = first;
        for (std::size_t f = first; f < std::min(first + lanes, families_.size()); ++f) {
            families_[f].run = runs_size_ + (f - first);
            block.length = std::max(block.length, families_[f].length);
        }
        runs_size_ += block.length * lanes;
    }
    lanes_on_table_.resize(groups_.size());
    lanes_at_single_rate_.resize(groups_.size());
    for (std::size_t g = 0; g < groups_.size(); ++g) {
        for (std::size_t l = 0; l < lanes; ++l) {
            const std::size_t n = groups_[g].rows[l];
            const family& f = families_[family_of_[n]];
            lanes_on_table_[g].index[l] = f.start;
            lanes_on_table_[g].index_step[l] = f.step;
            lanes_at_single_rate_[g].index[l] = static_cast<std::int64_t>(f.run);
            lanes_at_single_rate_[g].index_step[l] = lanes;
            if (rows_[n].amounts.size() > groups_[g].together) longer_rows_.emplace_back(g, l);
        }
    }
}

void discount_batch::add_groups(std::span<const std::size_t> rows) {
    for (std::size_t first = 0; first + lanes <= rows.size(); first += lanes) {
        group& g = groups_.emplace_back();
        std::copy_n(rows.begin() + static_cast<std::ptrdiff_t>(first), lanes, g.rows.begin());
        g.family = family_of_[g.rows[0]];
        g.together = rows_[g.rows[0]].amounts.size();
        for (const std::size_t n : g.rows) {
            if (family_of_[n] != g.family) g.family = no_family;
            g.together = std::min(g.together, rows_[n].amounts.size());
        }
        g.offset = side_by_side_.size();
        side_by_side_.resize(g.offset + g.together * lanes);
        for (std::size_t l = 0; l < lanes; ++l) {
            const std::span<const double> amounts = rows_[g.rows[l]].amounts;
            for (std::size_t k = 0; k < g.together; ++k) side_by_side_[g.offset + k * lanes + l] = amounts[k];
        }
    }
}

}  // namespace fv
