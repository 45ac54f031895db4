// Rows to discount at one rate after another (the trials of the
// single-effective-rate search), laid out once. Rows whose amounts fall on the
// same grid points (same start, same frequency) share their factors: they form
// a family, and at a single rate a family's factors are one running product.
// Rows stand side by side in groups of eight, a family's together where they
// can, the k-th amounts of a group's rows next to each other, so that one
// vector operation takes a step of eight rows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <utility>
#include <vector>

#include "pv/discount_request.h"

namespace fv {

inline constexpr std::size_t discount_lanes = 8;

// One group's eight rows, a lane each: where in the table each lane's next
// factor is, and how far the one after it; the values so far.
struct lane_discount {
    std::array<std::int64_t, discount_lanes> index{};
    std::array<std::int64_t, discount_lanes> index_step{};
    std::array<double, discount_lanes> value{};
};

class discount_batch {
public:
    static constexpr std::size_t lanes = discount_lanes;
    // A row in no family (it reaches before the start), a group whose rows are of several.
    static constexpr std::size_t no_family = std::numeric_limits<std::size_t>::max();

    struct family {
        int start = 0;            // grid index of the first amount
        int step = 0;             // grid steps between amounts
        std::size_t length = 0;   // amounts of its longest row
        std::size_t run = 0;      // where its factors begin among the runs (see runs_size)
    };

    struct group {
        std::array<std::size_t, lanes> rows{};  // indices of its rows
        std::size_t family = no_family;         // the family of all its rows, if they have one
        std::size_t together = 0;               // amounts every row of it has (its shortest row's)
        std::size_t offset = 0;                 // where its amounts begin in side_by_side()
    };

    discount_batch() = default;
    // The rows' amounts stay where they are; the batch copies what it lays out.
    explicit discount_batch(std::span<const discount_request> rows);

    const std::vector<discount_request>& rows() const { return rows_; }
    // False when a row has amounts but no frequency or timing point, which
    // discount refuses.
    bool discountable() const { return discountable_; }
    const std::vector<family>& families() const { return families_; }
    // The family of each row; no_family for a row alone before the start or not discounted.
    std::size_t family_of(std::size_t row) const { return family_of_[row]; }
    const std::vector<group>& groups() const { return groups_; }
    // Rows left over from the groups, and rows with amounts before the
    // cohort's start (carried forward), discounted one at a time.
    const std::vector<std::size_t>& alone() const { return alone_; }
    // The grid indices of the rows' first and last amounts, all rows.
    std::int64_t earliest_index() const { return earliest_index_; }
    std::int64_t latest_index() const { return latest_index_; }
    // Each group's first `together` amounts, amount k of lane l at
    // offset + k * lanes + l.
    const std::vector<double>& side_by_side() const { return side_by_side_; }
    // Each group's lanes before their first amount: on a table, each family's
    // grid points; at a single rate, its run of factors.
    const std::vector<lane_discount>& starting_lanes(bool at_single_rate) const {
        return at_single_rate ? lanes_at_single_rate_ : lanes_on_table_;
    }
    // The rows longer than their group's shortest: group and lane.
    const std::vector<std::pair<std::size_t, std::size_t>>& longer_rows() const { return longer_rows_; }
    // The families' factors at a single rate are computed eight families
    // side by side: factor k of a family at its run + k * lanes, within
    // runs_size() values; family_blocks() lists each block of eight: its
    // first family and its longest length.
    std::size_t runs_size() const { return runs_size_; }
    struct family_block {
        std::size_t first = 0;
        std::size_t length = 0;
    };
    const std::vector<family_block>& family_blocks() const { return family_blocks_; }

private:
    // Groups of eight of the rows, in their order.
    void add_groups(std::span<const std::size_t> rows);

    std::vector<discount_request> rows_;
    bool discountable_ = true;
    std::int64_t earliest_index_ = 0;
    std::int64_t latest_index_ = 0;
    std::vector<family> families_;
    std::vector<std::size_t> family_of_;
    std::vector<group> groups_;
    std::vector<std::size_t> alone_;
    std::vector<double> side_by_side_;
    std::vector<family_block> family_blocks_;
    std::size_t runs_size_ = 0;
    std::vector<lane_discount> lanes_on_table_;
    std::vector<lane_discount> lanes_at_single_rate_;
    std::vector<std::pair<std::size_t, std::size_t>> longer_rows_;
};

}  // namespace fv
