// Cohort consistency warnings on small cohorts built by hand.
#include "subsidy/consistency_checks.h"

#include <gtest/gtest.h>

#include "cashflow/value_names.h"

namespace fv {
namespace {

struct cohort_builder {
    fv::cohort cohort;
    message_list messages;

    explicit cohort_builder(int program_type) : cohort(nullptr, 2001, program_type) {}

    cash_flow_row& row(line_code line, std::vector<double> amounts, int start_offset = 0, int start_year = 2001) {
        auto item = std::make_unique<cash_flow_row>(&cohort);
        item->line = line;
        item->frequency = frequency_annual;
        item->start_year = start_year;
        item->start_offset = start_offset;
        item->amounts = std::move(amounts);
        cash_flow_row& added = *item;
        cohort.rows.push_back(std::move(item));
        if (is_disbursement_line(line)) cohort.disbursement_row = &added;
        return added;
    }
    std::vector<std::string> texts(unsigned number) const {
        std::vector<std::string> out;
        for (const auto& message : messages.list())
            if (message.number == number) out.push_back(message.text);
        return out;
    }
};

TEST(ConsistencyChecks, PrincipalWithinHalfAPercentOfDisbursements) {
    const struct {
        double principal;
        std::vector<std::string> expected;
    } cases[] = {
        {99.6, {}},
        {99.4, {"Total disbursements and total principal payments differ by 0.6 percent in cohort 2001"}},
    };
    for (const auto& c : cases) {
        cohort_builder b(1);
        b.row(line_code::dl_disbursements, {100});
        b.row(line_code::dl_principal, {c.principal});
        consistency_pass(b.cohort, b.messages);
        EXPECT_EQ(b.texts(36), c.expected) << c.principal;
    }
}

TEST(ConsistencyChecks, NoDisbursementsIsReportedWithoutDividing) {
    cohort_builder b(1);
    b.row(line_code::dl_disbursements, {0});
    b.row(line_code::dl_principal, {50});
    consistency_pass(b.cohort, b.messages);
    EXPECT_EQ(b.texts(36), std::vector<std::string>{
                               "Total disbursements are 0 and total principal payments are 50.000 in cohort 2001"});
}

TEST(ConsistencyChecks, EarlyPaymentsAreEasedForAnnualTotalsAndContinuousTiming) {
    const struct {
        bool eased;
        int start;
        bool reported;
    } cases[] = {{true, -12, false}, {true, -13, true}, {false, -1, true}, {false, 0, false}};
    for (const auto& c : cases) {
        cohort_builder b(1);
        b.row(line_code::dl_disbursements, {100}).has_annual_totals = c.eased;
        b.row(line_code::dl_principal, {100}, c.start).continuous = c.eased;
        consistency_pass(b.cohort, b.messages);
        EXPECT_EQ(b.texts(49).size(), c.reported ? 1u : 0u) << c.eased << " " << c.start;
    }
}

TEST(ConsistencyChecks, GuaranteeRecoveriesMayStartOneStepLessEarlyThanDefaults) {
    cohort_builder b(2);
    b.row(line_code::lg_disbursements, {100}).has_annual_totals = true;
    b.row(line_code::lg_default_payments, {10}, -12).has_annual_totals = true;
    b.row(line_code::lg_recoveries, {-1}, -12).has_annual_totals = true;
    consistency_pass(b.cohort, b.messages);
    EXPECT_EQ(b.texts(49), std::vector<std::string>{
                               "Adjustment for recoveries in the FY 2001 cohort occur before loan disbursement"});
}

TEST(ConsistencyChecks, DefaultsBeyondReceiptsStopAfterFiveYears) {
    cohort_builder b(1);
    b.row(line_code::dl_disbursements, {100});
    b.row(line_code::dl_principal, {10, 10, 10, 10, 10, 10, 10, 30});
    b.row(line_code::dl_defaults, {-20, -20, -20, -20, -20, -20, -20, -1});
    consistency_pass(b.cohort, b.messages);
    const auto texts = b.texts(48);
    ASSERT_EQ(texts.size(), 11u);
    EXPECT_EQ(texts[0], "For the 2001 cohort, adjustment for defaults in FY 2001 exceeds receipts of");
    EXPECT_EQ(texts[1], "    principal, interest, and fees in that year by 10.000");
    EXPECT_EQ(texts[8], "For the 2001 cohort, adjustment for defaults in FY 2005 exceeds receipts of");
    EXPECT_EQ(texts[10], "Too many errors of this type:  this test was stopped after 5 exceptions");
}

TEST(ConsistencyChecks, CumulativeRecoveriesBeyondDefaults) {
    cohort_builder b(2);
    b.row(line_code::lg_disbursements, {100});
    b.row(line_code::lg_default_payments, {0, 5});
    b.row(line_code::lg_recoveries, {0, -2, -4});
    consistency_pass(b.cohort, b.messages);
    EXPECT_EQ(b.texts(48), (std::vector<std::string>{
                               "For the 2001 cohort, the cumulative recoveries exceed cumulative defaults in year 2003",
                               "    Cumulative defaults (-)   = 5.000", "    Cumulative recoveries (+) = -6.000",
                               "    Difference (rec + def)    = -1.000"}));
}

TEST(ConsistencyChecks, PresentValueOfRecoveriesAgainstDefaults) {
    const struct {
        int program_type;
        double defaults, recoveries;
        bool reported;
    } cases[] = {{2, 10, -10, false}, {2, 10, -10.002, true}, {1, -8, 3, false}, {1, -8, 8.002, true}};
    for (const auto& c : cases) {
        cohort_builder b(c.program_type);
        cohort_results results;
        results.default_value = c.defaults;
        results.recovery_value = c.recoveries;
        present_value_test(b.cohort, results, b.messages);
        EXPECT_EQ(b.texts(37).size(), c.reported ? 2u : 0u) << c.defaults << " " << c.recoveries;
    }
    cohort_builder b(2);
    cohort_results results;
    results.default_value = 10;
    results.recovery_value = -10.5;
    present_value_test(b.cohort, results, b.messages);
    EXPECT_EQ(b.texts(37), (std::vector<std::string>{
                               "In cohort 2001, the present value of recoveries exceeds the present value of losses due "
                               "to defaults.",
                               "    PV of recoveries is -10.500 and PV of defaults is 10.000"}));
}

}  // namespace
}  // namespace fv
