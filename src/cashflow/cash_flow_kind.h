// The seven kinds of cash-flow rows the charts stack by fiscal year: every
// cash-flow line code of either program type falls into one of them.
#pragma once

#include <array>
#include <optional>

#include "cashflow/line_code.h"

namespace fv {

enum class cash_flow_kind { disbursements, repayments, interest, fees, defaults, recoveries, other };

inline constexpr std::array<cash_flow_kind, 7> all_cash_flow_kinds = {
    cash_flow_kind::disbursements, cash_flow_kind::repayments, cash_flow_kind::interest, cash_flow_kind::fees,
    cash_flow_kind::defaults,      cash_flow_kind::recoveries, cash_flow_kind::other,
};
inline constexpr std::size_t cash_flow_kind_count = all_cash_flow_kinds.size();

constexpr std::size_t kind_index(cash_flow_kind kind) { return static_cast<std::size_t>(kind); }

// The kind of a cash-flow line; none for header, cohort-start, quarter-factor
// and the other lines that carry no money.
std::optional<cash_flow_kind> kind_of_line(line_code line);

// "Disbursements", "Repayments", ... as a chart's legend shows them.
const char* cash_flow_kind_name(cash_flow_kind kind);

}  // namespace fv
