// Cohorts computed on several threads give the same bits, messages and
// failure as one cohort after the other on one engine, the way the
// calculation ran before it used more than one core.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "cashflow/range_fixture.h"
#include "subsidy/cohort_calculation.h"
#include "subsidy/cohort_single_effective_rate.h"
#include "subsidy/cohort_subsidy.h"
#include "subsidy/input_editing.h"
#include "util/text_error.h"

namespace fv {
namespace {

using namespace fv::testing;

const rate_set curve{rate_source::actual, "FY 1999 average", {4.6, 4.7, 4.8, 5.0, 5.1, 5.2, 5.3, 5.4, 5.8}};

// Many cohorts of different shapes; every seventh has no repayments, so its
// single effective rate cannot be searched (message 57). A cohort may be given
// amounts whose present value overflows.
std::vector<row> many_cohorts(int count, std::optional<int> overflowing = std::nullopt) {
    std::vector<row> rows = header();
    rows.push_back({"Timing", "quarterly, end"});
    for (int n = 0; n < count; ++n) {
        rows.push_back({"Obligations"});
        rows.push_back({"Disbursements", 100.0 + n, 40.0 + (n % 5)});
        if (n % 7 == 3) continue;
        row principal{"Principal pmts, scheduled"}, interest{"Interest pmts, scheduled [annual, middle]"};
        for (int k = 0; k < 12 + n % 9; ++k) {
            principal.push_back(10.0 + (n * 3 + k) % 11);
            interest.push_back(1.5 + 0.25 * ((n + k) % 4));
        }
        // Every tenth cohort's principal is wide enough to be divided twice.
        for (int k = 12 + n % 9; n % 10 == 0 && k < 130; ++k) principal.push_back(1.0 + k % 3);
        rows.push_back(principal);
        rows.push_back(interest);
        if (n == overflowing)
            rows.push_back({"Defaults", -1e308, -1e308, -1e308});
        else
            rows.push_back({"Defaults", -2.0 - n % 3, -1.0});
        rows.push_back({"Recoveries", 0.5, 0.25 * (n % 4)});
    }
    return rows;
}

struct outcome {
    load_result loaded;
    std::optional<std::string> failure;
};

outcome loaded(int count, std::optional<int> overflowing = std::nullopt,
               distribution_parts parts = distribution_parts::kept) {
    outcome out{load_rows(many_cohorts(count, overflowing)), std::nullopt};
    EXPECT_FALSE(out.loaded.error) << *out.loaded.error;
    edit_input(*out.loaded.program, 2, parts);
    return out;
}

// The calculation as it ran on one engine: each cohort searched from a fresh
// curve, then every subsidy again on the curve.
void one_after_the_other(outcome& out, bool with_single_effective_rate) {
    credit_program& program = *out.loaded.program;
    present_value_factors engine;
    try {
        if (with_single_effective_rate) {
            for (auto& cohort : program.cohorts) {
                engine.set(&curve);
                engine.make();
                compute_subsidy(*cohort, engine);
                compute_single_effective_rate(*cohort, engine, curve, program.messages());
            }
        }
        engine.set(&curve);
        engine.make();
        if (!with_single_effective_rate) {
            for (auto& cohort : program.cohorts) mark_single_effective_rate_not_computed(*cohort);
        }
        for (auto& cohort : program.cohorts) compute_subsidy(*cohort, engine);
    } catch (const text_error& failure) {
        out.failure = failure.text();
    }
}

void on_threads(outcome& out, bool with_single_effective_rate, unsigned threads) {
    try {
        compute_cohorts(*out.loaded.program, curve, with_single_effective_rate, threads);
    } catch (const text_error& failure) {
        out.failure = failure.text();
    }
}

bool same_bits(const cohort_results& a, const cohort_results& b) {
    const auto doubles = [](const cohort_results& r) {
        std::vector<double> v = {r.single_effective_rate, r.total_principal, r.total_disbursements, r.subsidy_amount,
                                 r.subsidy_percentage, r.financing_amount, r.financing_percentage, r.default_amount,
                                 r.default_percentage, r.fee_amount, r.fee_percentage, r.other_amount,
                                 r.other_percentage, r.disbursements, r.highest_zero_rate, r.lowest_zero_rate,
                                 r.default_value, r.recovery_value};
        v.insert(v.end(), r.line_values.begin(), r.line_values.end());
        return v;
    };
    const std::vector<double> x = doubles(a), y = doubles(b);
    return a.year == b.year && a.rate_computed == b.rate_computed && a.subsidy_computed == b.subsidy_computed &&
           std::memcmp(x.data(), y.data(), x.size() * sizeof(double)) == 0;
}

bool same_flows(const cohort_flows& a, const cohort_flows& b) {
    if (a.year != b.year || a.years.size() != b.years.size()) return false;
    for (std::size_t n = 0; n < a.years.size(); ++n) {
        const year_flows& x = a.years[n];
        const year_flows& y = b.years[n];
        if (x.year != y.year || std::memcmp(x.amounts.data(), y.amounts.data(), sizeof x.amounts) != 0 ||
            std::memcmp(x.present_values.data(), y.present_values.data(), sizeof x.present_values) != 0)
            return false;
    }
    return true;
}

TEST(CohortCalculation, ThreadsGiveTheSameBitsAndMessagesAsOneEngine) {
    for (const bool with_rate : {false, true}) {
        outcome reference = loaded(40);
        one_after_the_other(reference, with_rate);
        ASSERT_FALSE(reference.failure) << *reference.failure;
        if (with_rate) {
            ASSERT_FALSE(message_texts(*reference.loaded.program, 57).empty());
        }
        for (const unsigned threads : {1u, 2u, 4u, 64u}) {
            outcome parallel = loaded(40);
            on_threads(parallel, with_rate, threads);
            ASSERT_FALSE(parallel.failure) << *parallel.failure;
            const credit_program& want = *reference.loaded.program;
            const credit_program& got = *parallel.loaded.program;
            ASSERT_EQ(got.cohorts.size(), want.cohorts.size());
            for (std::size_t n = 0; n < want.cohorts.size(); ++n)
                EXPECT_TRUE(same_bits(got.cohorts[n]->results, want.cohorts[n]->results))
                    << "cohort " << n << " threads " << threads << " rate " << with_rate;
            EXPECT_EQ(all_messages(got), all_messages(want)) << threads;
        }
    }
}

TEST(CohortCalculation, PartsBuiltWhenUsedGiveTheSameBitsMessagesAndFlows) {
    for (const bool with_rate : {false, true}) {
        outcome kept = loaded(40);
        std::vector<cohort_flows> kept_flows;
        compute_cohorts(*kept.loaded.program, curve, with_rate, 2, {}, &kept_flows);
        outcome lean = loaded(40, std::nullopt, distribution_parts::built_when_used);
        for (const auto& cohort : lean.loaded.program->cohorts) {
            ASSERT_FALSE(cohort->combined_rows.empty());
            for (const auto& row : cohort->rows) EXPECT_TRUE(row->parts.empty());
        }
        // The edited rows are those of a full editing, less the parts.
        for (std::size_t n = 0; n < 40; ++n) {
            const auto& want = kept.loaded.program->cohorts[n]->rows;
            const auto& got = lean.loaded.program->cohorts[n]->rows;
            ASSERT_EQ(got.size(), want.size()) << n;
            for (std::size_t r = 0; r < want.size(); ++r) {
                EXPECT_EQ(got[r]->amounts, want[r]->amounts) << n << " " << r;
                EXPECT_EQ(got[r]->start_offset, want[r]->start_offset) << n << " " << r;
            }
        }
        for (const unsigned threads : {1u, 3u}) {
            outcome again = loaded(40, std::nullopt, distribution_parts::built_when_used);
            std::vector<cohort_flows> flows;
            compute_cohorts(*again.loaded.program, curve, with_rate, threads, {}, &flows);
            for (std::size_t n = 0; n < 40; ++n) {
                EXPECT_TRUE(same_bits(again.loaded.program->cohorts[n]->results, kept.loaded.program->cohorts[n]->results))
                    << "cohort " << n << " threads " << threads << " rate " << with_rate;
                EXPECT_TRUE(same_flows(flows[n], kept_flows[n])) << n;
            }
            EXPECT_EQ(all_messages(*again.loaded.program), all_messages(*kept.loaded.program));
            // A calculation leaves the cohorts as lean as it found them.
            for (const auto& cohort : again.loaded.program->cohorts)
                for (const auto& row : cohort->rows) EXPECT_TRUE(row->parts.empty());
        }
    }
}

TEST(CohortCalculation, AFailingCohortFailsAsItWouldAlone) {
    outcome reference = loaded(30, 16);
    one_after_the_other(reference, true);
    ASSERT_TRUE(reference.failure);
    for (const unsigned threads : {1u, 3u}) {
        outcome parallel = loaded(30, 16);
        on_threads(parallel, true, threads);
        ASSERT_TRUE(parallel.failure);
        EXPECT_EQ(*parallel.failure, *reference.failure);
        // Only the messages of the cohorts before the failing one.
        EXPECT_EQ(all_messages(*parallel.loaded.program), all_messages(*reference.loaded.program));
    }
}

TEST(CohortCalculation, AWatcherSeesProgressAndCanStop) {
    for (const unsigned threads : {1u, 2u}) {
        outcome reference = loaded(40);
        one_after_the_other(reference, true);
        outcome watched = loaded(40);
        std::vector<std::pair<std::size_t, std::size_t>> seen;
        compute_cohorts(*watched.loaded.program, curve, true, threads, [&](std::size_t done, std::size_t total) {
            seen.emplace_back(done, total);
            return true;
        });
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.back(), std::make_pair(std::size_t{40}, std::size_t{40}));
        for (std::size_t n = 1; n < seen.size(); ++n) EXPECT_LE(seen[n - 1].first, seen[n].first);
        for (std::size_t n = 0; n < 40; ++n)
            EXPECT_TRUE(same_bits(watched.loaded.program->cohorts[n]->results, reference.loaded.program->cohorts[n]->results));
        EXPECT_EQ(all_messages(*watched.loaded.program), all_messages(*reference.loaded.program));

        // Stopped at the first look: nothing is added to the program.
        outcome stopped = loaded(40);
        const auto before = all_messages(*stopped.loaded.program);
        EXPECT_THROW(compute_cohorts(*stopped.loaded.program, curve, true, threads,
                                     [](std::size_t, std::size_t) { return false; }),
                     calculation_cancelled);
        EXPECT_EQ(all_messages(*stopped.loaded.program), before);
    }
}

TEST(CohortCalculation, ThreadCountFromTheEnvironment) {
    const struct {
        const char* value;
        std::optional<unsigned> expected;  // none: the machine's cores
    } cases[] = {{"1", 1u}, {"8", 8u}, {"64", 64u}, {"0", std::nullopt}, {"65", std::nullopt},
                 {"2x", std::nullopt}, {"", std::nullopt}, {"-3", std::nullopt}};
    ::unsetenv("FERRAVANE_THREADS");
    const unsigned cores = worker_threads();
    EXPECT_GE(cores, 1u);
    for (const auto& c : cases) {
        ::setenv("FERRAVANE_THREADS", c.value, 1);
        EXPECT_EQ(worker_threads(), c.expected.value_or(cores)) << c.value;
    }
    ::unsetenv("FERRAVANE_THREADS");
}

}  // namespace
}  // namespace fv
