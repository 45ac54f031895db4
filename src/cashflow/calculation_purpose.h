// What a calculation is for. A spreadsheet's "Purpose" keyword names budget
// formulation or analysis; the preferences may name any of the five, and keep
// them numbered from 0.
#pragma once

#include <optional>

namespace fv {

enum class calculation_purpose {
    budget_formulation = 1,
    interest_rate_reestimate = 2,
    technical_reestimate = 3,
    modification = 4,
    analysis = 5,
};

// The purpose the preferences keep as 0 to 4; nothing for any other number.
inline std::optional<calculation_purpose> purpose_of_preference(int preference) {
    if (preference < 0 || preference > 4) return std::nullopt;
    return static_cast<calculation_purpose>(preference + 1);
}

}  // namespace fv
