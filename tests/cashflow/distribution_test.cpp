// Combination and distribution of rows to disbursement periods on cohorts built by hand.
#include "cashflow/distribution.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "cashflow/credit_program.h"
#include "cashflow/value_names.h"
#include "util/text_error.h"

namespace fv {
namespace {

struct cohort_builder {
    credit_program program;
    fv::cohort cohort{&program, 2001, program_direct_loan};

    cohort_builder(std::optional<pro_rata_method> method, loan_model loan_type) {
        program.method = method;
        program.loan_type = loan_type;
    }
    cash_flow_row& row(line_code line, std::vector<double> amounts, int frequency = frequency_annual, int start_year = 2001,
                 const char* cell = "A:B5") {
        auto item = std::make_unique<cash_flow_row>(&cohort);
        item->line = line;
        item->frequency = frequency;
        item->point = point_end;
        item->start_year = start_year;
        item->cell = cell;
        item->amounts = std::move(amounts);
        cash_flow_row& added = *item;
        cohort.rows.push_back(std::move(item));
        if (added.is_disbursement()) cohort.disbursement_row = &added;
        return added;
    }
};

void expect_amounts(const std::vector<double>& actual, const std::vector<double>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-9) << "at " << i;
}

TEST(Distribution, SixtyFortyConstructionSplit) {
    cohort_builder b(std::nullopt, loan_model::construction);
    b.row(line_code::dl_disbursements, {60, 40});
    cash_flow_row& principal = b.row(line_code::dl_principal, {50, 30, 20});
    distribute_cohort(b.cohort);
    EXPECT_EQ(principal.distribution_method, method_pro_rata);
    ASSERT_EQ(principal.parts.size(), 2u);
    expect_amounts(principal.parts[0]->amounts, {50, 18, 12});
    expect_amounts(principal.parts[1]->amounts, {12, 8});  // leading zero dropped
    EXPECT_EQ(principal.parts[1]->start_year, 2002);
    EXPECT_EQ(principal.parts[1]->label, "Disb period 2");
    EXPECT_EQ(principal.parts[1]->parent_start_year, 2001);
}

TEST(Distribution, RevSpendoutOnlyWhenChosen) {
    for (pro_rata_method method : {pro_rata_method::choose, pro_rata_method::force}) {
        cohort_builder b(method, loan_model::construction);
        b.row(line_code::dl_disbursements, {100, 50});
        cash_flow_row& row = b.row(line_code::dl_principal, {10, 25, 80, 35});
        distribute_cohort(b.cohort);
        ASSERT_EQ(row.parts.size(), 2u);
        if (method == pro_rata_method::choose) {
            EXPECT_EQ(row.distribution_method, method_rev_spendout);
            expect_amounts(row.parts[0]->amounts, {10, 20, 70});
            expect_amounts(row.parts[1]->amounts, {5, 10, 35});
            EXPECT_EQ(row.parts[1]->start_year, 2002);
        } else {
            EXPECT_EQ(row.distribution_method, method_pro_rata);
        }
    }
}

TEST(Distribution, RowsNotSplit) {
    cohort_builder b(pro_rata_method::choose, loan_model::construction);
    b.row(line_code::dl_disbursements, {100, 0});
    cash_flow_row& single = b.row(line_code::dl_principal, {10, 10, 10, 10, 10});
    cash_flow_row& tied = b.row(line_code::dl_recoveries, {1, 1});
    tied.disbursement_period_flag = true;
    tied.disbursement_period = 2;
    distribute_cohort(b.cohort);
    EXPECT_EQ(single.distribution_method, method_single_disbursement);
    EXPECT_TRUE(single.parts.empty());
    EXPECT_EQ(tied.distribution_method, method_tied);

    cohort empty(&b.program, 2002, program_direct_loan);
    try {
        distribute_cohort(empty);
        FAIL();
    } catch (const text_error& e) {
        EXPECT_EQ(e.text(), "E018: No disbursement lines found in a cohort");
    }
}

TEST(Distribution, CombiningRowsOfOneType) {
    cohort_builder b(pro_rata_method::choose, loan_model::construction);
    b.row(line_code::dl_disbursements, {60, 40});
    b.row(line_code::dl_defaults, {-1, -2}, frequency_annual, 2001, "A:B7");
    b.row(line_code::dl_defaults, {-5}, frequency_annual, 1999, "A:B9");
    combine_rows(b.cohort);
    ASSERT_EQ(b.cohort.rows.size(), 2u);
    const cash_flow_row& merged = *b.cohort.rows[1];
    EXPECT_EQ(merged.start_year, 1999);
    expect_amounts(merged.amounts, {-5, 0, -1, -2});
    EXPECT_EQ(merged.combination_count, 1);

    cohort_builder c(pro_rata_method::choose, loan_model::construction);
    c.row(line_code::dl_disbursements, {60, 40});
    c.row(line_code::dl_defaults, {-1, -2, -3, -4}, frequency_quarter, 2001, "A:B7");
    c.row(line_code::dl_defaults, {-5}, frequency_annual, 2001, "A:B9");
    try {
        combine_rows(c.cohort);
        FAIL();
    } catch (const text_error& e) {
        EXPECT_EQ(e.text(),
                  "E021:  Two rows, starting at A:B7 and A:B9, are the same type and are NOT associated with a "
                  "disbursement period.  They cannot be combined because the first is quarter and the second is "
                  "annual. ");
    }
}

TEST(Distribution, CombinedRowsBeyondTheLimitRaiseE027) {
    cohort_builder b(pro_rata_method::choose, loan_model::construction);
    b.row(line_code::dl_disbursements, {60, 40});
    b.row(line_code::dl_defaults, std::vector<double>(60, -1.0), frequency_annual, 2001, "A:B7");
    b.row(line_code::dl_defaults, std::vector<double>(60, -1.0), frequency_annual, 2050, "A:B9");
    try {
        combine_rows(b.cohort);
        FAIL();
    } catch (const text_error& e) {
        EXPECT_EQ(e.text(),
                  "E027:  The cash flows beginning in cell A:B7 combined with those beginning in A:B9 extend beyond "
                  "100 years");
    }
}

TEST(Distribution, AnnualTotalsSpreadByTheirPartsShares) {
    cohort_builder b(pro_rata_method::force, loan_model::construction);
    cash_flow_row& disbursements = b.row(line_code::dl_disbursements, {60, 40});
    disbursements.annual_totals = {60, 40};
    // Annual totals paid semiannually over two years.
    cash_flow_row& fees = b.row(line_code::dl_fees, {});
    fees.frequency = 0;
    fees.has_annual_totals = true;
    fees.annual_total_frequency = annual_total_semiannual_payments;
    fees.annual_totals = {10, 20};
    distribute_cohort(b.cohort);
    ASSERT_EQ(fees.parts.size(), 2u);
    expect_amounts(fees.parts[0]->annual_totals, {10, 12});
    expect_amounts(fees.parts[1]->annual_totals, {8});
    spread_by_annual_shares(fees);
    EXPECT_EQ(fees.frequency, frequency_semiannual);
    expect_amounts(fees.amounts, {5, 5, 10, 10});
    expect_amounts(fees.parts[0]->amounts, {5, 5, 6, 6});
    expect_amounts(fees.parts[1]->amounts, {4, 4});
    EXPECT_EQ(fees.parts[1]->start_year, 2002);
}


// What distributing one row gave: its failure, or its amounts, start and number of parts.
struct distributed_row {
    std::optional<std::string> failure;
    std::vector<double> amounts;
    int start_year = 0;
    std::size_t parts = 0;
};

distributed_row distribute_one(std::optional<pro_rata_method> method, std::vector<double> disbursements,
                               std::vector<double> amounts, distribution_parts parts) {
    cohort_builder b(method, loan_model::construction);
    b.row(line_code::dl_disbursements, std::move(disbursements));
    cash_flow_row& row = b.row(line_code::dl_principal, std::move(amounts));
    distributed_row out;
    try {
        distribute_cohort(b.cohort, parts);
    } catch (const text_error& failure) {
        out.failure = failure.text();
    }
    out.amounts = row.amounts;
    out.start_year = row.start_year;
    out.parts = row.parts.size();
    return out;
}

TEST(Distribution, WithoutPartsTheSameFailuresAndChangesToTheRow) {
    const struct {
        const char* name;
        std::optional<pro_rata_method> method;
        std::vector<double> disbursements;
        std::vector<double> amounts;
        std::optional<std::string> failure;
    } cases[] = {
        {"pro-rata", std::nullopt, {60, 40}, {0, 50, 30, 20}, std::nullopt},
        {"rev-spendout", pro_rata_method::choose, {60, 40}, {60, 100, 40}, std::nullopt},
        {"first disbursement below zero", pro_rata_method::force, {-60, 40}, {50, 30, 20},
         "dy_factors called with no data in first disbursement period"},
        {"amounts all zero", std::nullopt, {60, 40}, {0, 0}, "cf_item::allocate failed to allocate to disbursement years"},
    };
    for (const auto& c : cases) {
        const distributed_row kept = distribute_one(c.method, c.disbursements, c.amounts, distribution_parts::kept);
        const distributed_row lean =
            distribute_one(c.method, c.disbursements, c.amounts, distribution_parts::built_when_used);
        EXPECT_EQ(kept.failure, c.failure) << c.name;
        EXPECT_EQ(lean.failure, c.failure) << c.name;
        EXPECT_EQ(lean.amounts, kept.amounts) << c.name;
        EXPECT_EQ(lean.start_year, kept.start_year) << c.name;
        EXPECT_EQ(lean.parts, 0u) << c.name;
        if (!c.failure) {
            EXPECT_EQ(kept.parts, 2u) << c.name;
        }
    }
}

}  // namespace
}  // namespace fv
