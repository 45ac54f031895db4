// Discounting the groups of a discount_batch on a table of factors, with the
// widest vectors the processor has, and the running products that make a
// single rate's factors for each family of rows.
#pragma once

#include <span>

#include "pv/discount_batch.h"

namespace fv {

// For every group g of the batch, from where start[g] stands (see
// discount_batch::starting_lanes), and each of its lanes, for each amount:
// value += amount * table[index], then index += index_step: the roundings of a
// row alone, in its order, so that every lane has the bits of discounting its
// row by itself. The indices stay within the table. out[g] is where the lanes
// stand after the amounts the group's rows all have.
void discount_side_by_side(const discount_batch& batch, std::span<const double> table,
                           std::span<const lane_discount> start, std::span<lane_discount> out);

// The vector extensions the loops are built for; discount_side_by_side uses
// the widest the processor has. Every one gives the same bits.
enum class vector_extension { baseline, avx2, avx512 };
vector_extension widest_vector_extension();
// With the given extension, which the processor must have.
void discount_side_by_side(const discount_batch& batch, std::span<const double> table,
                           std::span<const lane_discount> start, std::span<lane_discount> out, vector_extension extension);

// Each family's factors at a single rate: its first factor, then each
// multiplied by its step, into runs (runs_size() values) where the batch says.
void factor_runs(const discount_batch& batch, std::span<const double> first_factors, std::span<const double> per_steps,
                 std::span<double> runs);

}  // namespace fv
