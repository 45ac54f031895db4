// The vector loops of the single-effective-rate search. Each step of a row adds to its
// value, and waits on the add before; several groups side by side fill the
// processor's vector units. The build never fuses a multiply and an add, so
// every width gives the same bits.
#include "pv/lane_discount.h"

#include <algorithm>
#include <cstring>

namespace fv {

namespace {

constexpr std::size_t lanes = discount_batch::lanes;

// A group's eight lanes as `parts` vectors of the processor's width: a wider
// vector than the processor has would go through memory at every step.
typedef double two_lanes __attribute__((vector_size(2 * sizeof(double))));
typedef double four_lanes __attribute__((vector_size(4 * sizeof(double))));
typedef double eight_lanes __attribute__((vector_size(8 * sizeof(double))));

template <std::size_t parts>
struct lane_values;
template <>
struct lane_values<1> {
    eight_lanes of[1];
};
template <>
struct lane_values<2> {
    four_lanes of[2];
};
template <>
struct lane_values<4> {
    two_lanes of[4];
};

// Vectors go by reference: passed by value, their ABI would depend on the
// processor's extensions. A part at a time, so that each is one load or store.
template <std::size_t parts>
[[gnu::always_inline]] inline void load(lane_values<parts>& to, const double* from) {
    static_assert(sizeof to.of == lanes * sizeof(double));
    for (std::size_t p = 0; p < parts; ++p) std::memcpy(&to.of[p], from + p * (lanes / parts), sizeof to.of[p]);
}

template <std::size_t parts>
[[gnu::always_inline]] inline void store(double* to, const lane_values<parts>& from) {
    for (std::size_t p = 0; p < parts; ++p) std::memcpy(to + p * (lanes / parts), &from.of[p], sizeof from.of[p]);
}

// `width` groups of one family each over their amounts from..to, from where
// `in` stands to `out`: every lane of a group takes the same factor.
template <std::size_t width, std::size_t parts>
[[gnu::always_inline]] inline void one_family_each(const double* const* amounts, std::size_t from, std::size_t to,
                                                   const lane_discount* in, lane_discount* out, const double* table) {
    lane_values<parts> value[width];
    std::int64_t index[width], index_step[width];
    for (std::size_t g = 0; g < width; ++g) {
        load(value[g], in[g].value.data());
        index[g] = in[g].index[0];
        index_step[g] = in[g].index_step[0];
    }
    for (std::size_t k = from; k < to; ++k) {
#pragma GCC unroll 8
        for (std::size_t g = 0; g < width; ++g) {
            lane_values<parts> amount;
            load(amount, amounts[g] + k * lanes);
            const double factor = table[index[g]];
#pragma GCC unroll 8
            for (std::size_t p = 0; p < parts; ++p) value[g].of[p] += amount.of[p] * factor;
            index[g] += index_step[g];
        }
    }
    for (std::size_t g = 0; g < width; ++g) {
        store(out[g].value.data(), value[g]);
        out[g].index.fill(index[g]);
        out[g].index_step.fill(index_step[g]);
    }
}

// One group of mixed families over its amounts from..to, from where `in`
// stands to `out`: each lane fetches its own factor.
template <std::size_t parts>
[[gnu::always_inline]] inline void mixed_families(const double* amounts, std::size_t from, std::size_t to,
                                                  const lane_discount& in, lane_discount& out, const double* table) {
    lane_values<parts> value;
    load(value, in.value.data());
    std::array<std::int64_t, lanes> index = in.index;
    const std::array<std::int64_t, lanes> index_step = in.index_step;
    for (std::size_t k = from; k < to; ++k) {
        std::array<double, lanes> factors;
        for (std::size_t l = 0; l < lanes; ++l) {
            factors[l] = table[index[l]];
            index[l] += index_step[l];
        }
        lane_values<parts> amount, factor;
        load(amount, amounts + k * lanes);
        load(factor, factors.data());
#pragma GCC unroll 8
        for (std::size_t p = 0; p < parts; ++p) value.of[p] += amount.of[p] * factor.of[p];
    }
    store(out.value.data(), value);
    out.index = index;
    out.index_step = index_step;
}

// Runs of `width` groups of one family each over the amounts they all have,
// then each group on alone to its own end. Every group's lanes end in `out`.
template <std::size_t width, std::size_t parts>
[[gnu::always_inline]] inline void discount_all(const discount_batch& batch, const double* table,
                                                std::span<const lane_discount> start, std::span<lane_discount> out) {
    const auto& layout = batch.groups();
    const double* side_by_side = batch.side_by_side().data();
    for (std::size_t first = 0; first < layout.size();) {
        std::size_t count = 0;
        while (count < width && first + count < layout.size() && layout[first + count].family != discount_batch::no_family)
            ++count;
        std::array<const double*, width> amounts{};
        std::size_t shared = 0;
        const bool side_by_side_first = count == width;
        if (side_by_side_first) {
            shared = layout[first].together;
            for (std::size_t g = 0; g < width; ++g) {
                amounts[g] = side_by_side + layout[first + g].offset;
                shared = std::min(shared, layout[first + g].together);
            }
            one_family_each<width, parts>(amounts.data(), 0, shared, &start[first], &out[first], table);
        }
        count = std::max<std::size_t>(count, 1);
        for (std::size_t g = first; g < first + count; ++g) {
            const double* its_amounts = side_by_side + layout[g].offset;
            const lane_discount& in = side_by_side_first ? out[g] : start[g];
            if (layout[g].family == discount_batch::no_family)
                mixed_families<parts>(its_amounts, shared, layout[g].together, in, out[g], table);
            else
                one_family_each<1, parts>(&its_amounts, shared, layout[g].together, &in, &out[g], table);
        }
        first += count;
    }
}

// Each step waits on the add before it: four groups side by side keep the
// adds busy (two on the baseline, whose sixteen registers hold no more). The
// wider variants exist on x86-64 only; elsewhere the baseline's generic
// vectors are what the compiler makes of them.
#if defined(__x86_64__)
[[gnu::target("avx512f")]] void discount_avx512(const discount_batch& batch, const double* table,
                                                std::span<const lane_discount> start, std::span<lane_discount> out) {
    discount_all<4, 1>(batch, table, start, out);
}

[[gnu::target("avx2")]] void discount_avx2(const discount_batch& batch, const double* table,
                                           std::span<const lane_discount> start, std::span<lane_discount> out) {
    discount_all<4, 2>(batch, table, start, out);
}
#endif

void discount_baseline(const discount_batch& batch, const double* table, std::span<const lane_discount> start,
                       std::span<lane_discount> out) {
    discount_all<2, 4>(batch, table, start, out);
}

using discounter = void (*)(const discount_batch&, const double*, std::span<const lane_discount>, std::span<lane_discount>);

discounter discounter_for([[maybe_unused]] vector_extension extension) {
#if defined(__x86_64__)
    switch (extension) {
        case vector_extension::avx512: return discount_avx512;
        case vector_extension::avx2: return discount_avx2;
        case vector_extension::baseline: return discount_baseline;
    }
#endif
    return discount_baseline;
}

}  // namespace

vector_extension widest_vector_extension() {
#if defined(__x86_64__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f")) return vector_extension::avx512;
    if (__builtin_cpu_supports("avx2")) return vector_extension::avx2;
#endif
    return vector_extension::baseline;
}

void discount_side_by_side(const discount_batch& batch, std::span<const double> table,
                           std::span<const lane_discount> start, std::span<lane_discount> out) {
    static const discounter discount = discounter_for(widest_vector_extension());
    discount(batch, table.data(), start, out);
}

void discount_side_by_side(const discount_batch& batch, std::span<const double> table,
                           std::span<const lane_discount> start, std::span<lane_discount> out, vector_extension extension) {
    discounter_for(extension)(batch, table.data(), start, out);
}

void factor_runs(const discount_batch& batch, std::span<const double> first_factors, std::span<const double> per_steps,
                 std::span<double> runs) {
    const auto& families = batch.families();
    for (const discount_batch::family_block& block : batch.family_blocks()) {
        std::array<double, lanes> first{}, step{};
        const std::size_t count = std::min(lanes, families.size() - block.first);
        std::copy_n(first_factors.begin() + static_cast<std::ptrdiff_t>(block.first), count, first.begin());
        std::copy_n(per_steps.begin() + static_cast<std::ptrdiff_t>(block.first), count, step.begin());
        // Eight families side by side, each its products in order.
        for (std::size_t k = 0; k < block.length; ++k) {
            double* out = runs.data() + families[block.first].run + k * lanes;
            for (std::size_t l = 0; l < lanes; ++l) {
                out[l] = first[l];
                first[l] *= step[l];
            }
        }
    }
}

}  // namespace fv
