// Rows discounted side by side against a plain loop, on every vector width
// the processor has: families of rows sharing their grid points, groups of
// mixed rows, rows longer than their group's shortest and rows left alone.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "pv/discount_batch.h"
#include "pv/factor_grid.h"
#include "pv/lane_discount.h"

namespace {

struct generated_rows {
    std::vector<std::vector<double>> amounts;
    std::vector<fv::discount_request> rows;
};

generated_rows generate() {
    generated_rows out;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> amount(-500.0, 2000.0);
    // Five families of eleven rows, twelve rows of their own, three reaching
    // before the start, two empty and one of an unknown frequency.
    struct shape {
        int frequency;
        int start;
        int count;
    };
    std::vector<shape> shapes;
    for (int f = 0; f < 5; ++f)
        for (int n = 0; n < 11; ++n) shapes.push_back({1 + f % 4, 3 * f, 1});
    for (int n = 0; n < 12; ++n) shapes.push_back({1 + n % 4, 40 + 5 * n, 1});
    for (int n = 0; n < 3; ++n) shapes.push_back({4, -6 - 2 * n, 1});
    shapes.push_back({2, 0, 0});
    shapes.push_back({4, 0, 0});
    shapes.push_back({5, 0, 1});
    out.amounts.reserve(shapes.size());
    for (std::size_t n = 0; n < shapes.size(); ++n) {
        const std::size_t length = shapes[n].count == 0 ? 0 : 3 + (n * 17) % 40;
        std::vector<double> row(length);
        for (double& a : row) a = amount(random);
        out.amounts.push_back(row);
    }
    for (std::size_t n = 0; n < shapes.size(); ++n)
        out.rows.push_back({shapes[n].frequency, 2, out.amounts[n], shapes[n].start});
    // Shuffled, so a family's rows are not next to each other.
    std::vector<std::size_t> order(out.rows.size());
    for (std::size_t n = 0; n < order.size(); ++n) order[n] = n;
    std::shuffle(order.begin(), order.end(), random);
    std::vector<fv::discount_request> shuffled;
    for (const std::size_t n : order) shuffled.push_back(out.rows[n]);
    out.rows = shuffled;
    return out;
}

TEST(LaneDiscount, EveryVectorWidthGivesEachRowTheBitsOfAPlainLoop) {
    const generated_rows generated = generate();
    const fv::discount_batch batch(generated.rows);
    EXPECT_TRUE(batch.discountable());
    std::size_t one_family = 0, mixed = 0;
    for (const auto& group : batch.groups()) ++(group.family == fv::discount_batch::no_family ? mixed : one_family);
    EXPECT_GE(one_family, 5u);
    EXPECT_GE(mixed, 1u);
    EXPECT_FALSE(batch.alone().empty());

    std::vector<double> table(2401);  // the grid
    std::mt19937 random(11);
    std::uniform_real_distribution<double> factor(0.01, 1.0);
    for (double& f : table) f = factor(random);

    const auto widest = fv::widest_vector_extension();
    for (const auto extension : {fv::vector_extension::baseline, fv::vector_extension::avx2, fv::vector_extension::avx512}) {
        if (extension > widest) continue;
        std::vector<fv::lane_discount> start(batch.groups().size()), lanes(batch.groups().size());
        for (std::size_t g = 0; g < lanes.size(); ++g)
            for (std::size_t l = 0; l < fv::discount_batch::lanes; ++l) {
                const fv::discount_request& row = batch.rows()[batch.groups()[g].rows[l]];
                start[g].index[l] = row.start;
                start[g].index_step[l] = fv::grid_step(row.frequency);
                start[g].value[l] = 1.0 / 3.0;  // a value so far carries on
            }
        fv::discount_side_by_side(batch, table, start, lanes, extension);
        for (std::size_t g = 0; g < lanes.size(); ++g) {
            const auto& group = batch.groups()[g];
            for (std::size_t l = 0; l < fv::discount_batch::lanes; ++l) {
                const fv::discount_request& row = batch.rows()[group.rows[l]];
                double expected = 1.0 / 3.0;
                std::int64_t index = row.start;
                for (std::size_t k = 0; k < group.together; ++k) {
                    expected += row.amounts[k] * table[static_cast<std::size_t>(index)];
                    index += fv::grid_step(row.frequency);
                }
                EXPECT_EQ(std::memcmp(&lanes[g].value[l], &expected, sizeof expected), 0)
                    << static_cast<int>(extension) << " group " << g << " lane " << l;
                EXPECT_EQ(lanes[g].index[l], index);
                EXPECT_EQ(lanes[g].index_step[l], fv::grid_step(row.frequency));
            }
        }
    }
}

TEST(LaneDiscount, FactorRunsAreEachFamilysRunningProduct) {
    const generated_rows generated = generate();
    const fv::discount_batch batch(generated.rows);
    const auto& families = batch.families();
    std::vector<double> first(families.size()), step(families.size());
    for (std::size_t f = 0; f < families.size(); ++f) {
        first[f] = 1.0 / (1.0 + 0.01 * static_cast<double>(f));
        step[f] = 0.99 - 0.001 * static_cast<double>(f);
    }
    std::vector<double> runs(batch.runs_size());
    fv::factor_runs(batch, first, step, runs);
    for (std::size_t f = 0; f < families.size(); ++f) {
        double expected = first[f];
        for (std::size_t k = 0; k < families[f].length; ++k) {
            EXPECT_EQ(runs[families[f].run + k * fv::discount_batch::lanes], expected) << f << " " << k;
            expected *= step[f];
        }
    }
}

}  // namespace
