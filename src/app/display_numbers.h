// The seven displays of a program by number. The numbers are kept in the
// settings (display N is bit 2^(N-1) of every display mask, settings_keys.h)
// and order the View menu, the preferences and the sheets of spreadsheet
// output, so they never change.
#pragma once

namespace fv {

inline constexpr int source_display = 1;
inline constexpr int subsidy_display = 2;
inline constexpr int factor_display = 3;
inline constexpr int distribution_display = 4;
inline constexpr int derivation_display = 5;
inline constexpr int details_display = 6;
inline constexpr int messages_display = 7;

inline constexpr int display_count = 7;

}  // namespace fv
