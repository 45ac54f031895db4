// Editing cohorts on several threads fails, warns and edits as running each
// step over every cohort before the next step did.
#include "subsidy/input_editing.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "cashflow/range_fixture.h"
#include "util/text_error.h"

namespace fv {
namespace {

using namespace fv::testing;

// A cohort that fails in distribution: two principal rows that add up to nothing.
std::vector<row> failing_distribution(int year) {
    return {{"Cohort", year}, {"Disbursements", 60, 40}, {"Principal pmts, scheduled", 5}, {"Principal pmts, scheduled", -5}};
}

// A cohort that fails in combining: two principal rows of different frequencies.
std::vector<row> failing_combination(int year) {
    return {{"Cohort", year},
            {"Disbursements", 60, 40},
            {"Principal pmts, scheduled [quarterly, end]", 10, 20},
            {"Principal pmts, scheduled", 70}};
}

// A cohort that edits with warnings: principal short of disbursements, negative principal.
std::vector<row> warning(int year) {
    return {{"Cohort", year}, {"Disbursements", 60, 40}, {"Principal pmts, scheduled", 50, -5, 20}};
}

std::optional<std::string> edit_failure(const std::vector<row>& rows, unsigned threads, distribution_parts parts,
                                        std::string* messages = nullptr) {
    load_result loaded = load_rows(header() + std::vector<row>{{"Method", "FORCE PRO-RATA"}, {"Timing", "annual, end"}} +
                                   rows);
    EXPECT_FALSE(loaded.error) << *loaded.error;
    if (loaded.error) return loaded.error;
    std::optional<std::string> failure;
    try {
        edit_input(*loaded.program, threads, parts);
    } catch (const text_error& e) {
        failure = e.text();
    }
    if (messages != nullptr) *messages = dump_messages(*loaded.program);
    return failure;
}

TEST(InputEditing, FailuresAndWarningsAsStepByStep) {
    const std::string distribution = "cf_item::allocate failed to allocate to disbursement years";
    const struct {
        const char* name;
        std::vector<row> rows;
        std::optional<std::string> failure_start;
    } cases[] = {
        // A later cohort's combining fails before an earlier cohort's distribution.
        {"combining first", warning(2000) + failing_distribution(2001) + warning(2002) + failing_combination(2003),
         "E021:  Two rows, starting at "},
        {"first failing cohort", warning(2000) + failing_distribution(2001) + failing_distribution(2002), distribution},
        {"warnings in cohort order", warning(2000) + warning(2001) + warning(2002) + warning(2003), std::nullopt},
    };
    for (const auto& c : cases) {
        std::string reference_messages;
        const std::optional<std::string> reference =
            edit_failure(c.rows, 1, distribution_parts::kept, &reference_messages);
        ASSERT_EQ(reference.has_value(), c.failure_start.has_value()) << c.name;
        if (reference) {
            EXPECT_EQ(reference->rfind(*c.failure_start, 0), 0u) << c.name << ": " << *reference;
            // A failed editing adds no warnings of its own.
            EXPECT_EQ(reference_messages.find("36: "), std::string::npos) << c.name;
        } else {
            EXPECT_NE(reference_messages.find("34: "), std::string::npos);
            EXPECT_LT(reference_messages.find("cohort 2000"), reference_messages.find("cohort 2003"));
        }
        for (const unsigned threads : {2u, 4u}) {
            for (const distribution_parts parts : {distribution_parts::kept, distribution_parts::built_when_used}) {
                std::string messages;
                EXPECT_EQ(edit_failure(c.rows, threads, parts, &messages), reference) << c.name << " " << threads;
                EXPECT_EQ(messages, reference_messages) << c.name << " " << threads;
            }
        }
    }
}

}  // namespace
}  // namespace fv
