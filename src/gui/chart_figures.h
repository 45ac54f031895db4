// The three charts as Qt Charts figures, drawn from the chart data the core
// builds: every bar and point holds the number the calculation produced.
// Series carry the names below, which the legend shows.
#pragma once

#include <QString>

#include <vector>

#include "display/program/subsidy_chart.h"
#include "display/program/yield_curve_chart.h"
#include "subsidy/flows_by_year.h"

class QChart;

namespace fv {

inline constexpr const char* entered_rates_name = "Entered rates";
inline constexpr const char* par_curve_name = "Par yield curve";
inline constexpr const char* zero_curve_name = "Zero-coupon rates";
inline constexpr const char* present_value_name = "Present value";
inline constexpr const char* financing_name = "Financing";
inline constexpr const char* default_name = "Default";
inline constexpr const char* fees_name = "Fees";
inline constexpr const char* other_name = "Other";
inline constexpr const char* subsidy_name = "Subsidy";
inline constexpr const char* single_effective_rate_name = "Single effective rate";

// Each returns a new chart the caller owns.
QChart* make_yield_curve_figure(const yield_curve_chart& curve);
// The amounts of each kind present as stacked bars by fiscal year, the
// year's total present value as a line.
QChart* make_cash_flow_figure(const cohort_flows& flows);
// The four components as stacked bars, the subsidy as a marker and, where
// any cohort has one, the single effective rate on a second axis.
QChart* make_subsidy_figure(const std::vector<cohort_subsidy_bar>& bars);
// A chart with nothing but a title: why there is no figure.
QChart* make_empty_figure(const QString& why);

// The sum of a year's present values over the kinds.
double total_present_value(const year_flows& year);

}  // namespace fv
