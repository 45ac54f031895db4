// The kind of every line code: exactly the cash-flow lines have one, and
// the lines of both program types land where an analyst would look for them.
#include <gtest/gtest.h>

#include <string>

#include "cashflow/cash_flow_kind.h"

namespace fv {
namespace {

TEST(CashFlowKind, ExactlyTheCashFlowLinesHaveAKind) {
    for (int number = 0; number <= code_number(line_code::end_marker); ++number) {
        const auto line = static_cast<line_code>(number);
        EXPECT_EQ(kind_of_line(line).has_value(), is_cash_flow_line(line)) << number;
    }
}

TEST(CashFlowKind, LinesOfBothProgramTypes) {
    const std::pair<line_code, cash_flow_kind> cases[] = {
        {line_code::dl_disbursements, cash_flow_kind::disbursements},
        {line_code::lg_disbursements, cash_flow_kind::disbursements},
        {line_code::dl_principal, cash_flow_kind::repayments},
        {line_code::dl_prepayments, cash_flow_kind::repayments},
        {line_code::dl_interest, cash_flow_kind::interest},
        {line_code::lg_interest_subsidy, cash_flow_kind::interest},
        {line_code::dl_fees, cash_flow_kind::fees},
        {line_code::lg_premiums, cash_flow_kind::fees},
        {line_code::lg_lost_fees, cash_flow_kind::fees},
        {line_code::dl_defaults, cash_flow_kind::defaults},
        {line_code::lg_default_payments, cash_flow_kind::defaults},
        {line_code::dl_recoveries, cash_flow_kind::recoveries},
        {line_code::lg_misc_recoveries, cash_flow_kind::recoveries},
        {line_code::dl_outflows_other, cash_flow_kind::other},
        {line_code::lg_inflows_other, cash_flow_kind::other},
    };
    for (const auto& [line, kind] : cases) EXPECT_EQ(kind_of_line(line), kind) << line_code_name(line);
    EXPECT_EQ(std::string(cash_flow_kind_name(cash_flow_kind::recoveries)), "Recoveries");
}

}  // namespace
}  // namespace fv
