// Combining rows of one type and distributing every row of a cohort to the
// cohort's disbursement periods: each part holds the cash flows of the loans
// disbursed in one period, so each can be discounted from its own start.
#pragma once

#include "cashflow/cohort.h"
#include "cashflow/pro_rata_matrix.h"

namespace fv {

// Distribution methods kept on a row.
inline constexpr int method_single_disbursement = 0;  // one nonzero disbursement period
inline constexpr int method_one_amount = 1;           // the disbursement row has one amount
inline constexpr int method_tied = 2;                 // the row belongs to a disbursement period by its label
inline constexpr int method_pro_rata = 3;
inline constexpr int method_rev_spendout = 4;

// Whether a distribution builds the rows' parts, or only checks the rows and
// makes the changes it makes to them, leaving the parts to a later distribution
// of the same rows.
enum class distribution_parts {
    kept,             // built and kept on the rows, for every calculation and the displays that show them
    built_when_used,  // not built; a row to be split pro-rata or by rev-spendout may then record no method
};

// Merges `other` (same line type, neither tied to a disbursement period) into
// `row`: periodic amounts, or annual totals for rows read as annual totals.
// Raises E021 when the rows differ in frequency or timing point and E027 when
// the merged row is too long.
void combine_into(cash_flow_row& row, const cash_flow_row& other);

// The combination step of a cohort whose disbursement row has two or more
// amounts: rows of one type not tied to a disbursement period merge into the
// first of them.
void combine_rows(cohort& cohort);

// (Re)builds the row's parts; disbursement rows are never split. Raises the
// same errors whether the parts are built or not.
void distribute_row(cash_flow_row& row, distribution_parts parts = distribution_parts::kept);
void distribute_periodic_amounts(cash_flow_row& row, distribution_parts parts = distribution_parts::kept);
void distribute_annual_totals(cash_flow_row& row, distribution_parts parts = distribution_parts::kept);

// Every row of the cohort; "E018: No disbursement lines found in a cohort" without a disbursement row.
void distribute_cohort(cohort& cohort, distribution_parts parts = distribution_parts::kept);

// A row of annual totals gets periodic amounts, and its parts the row's
// periodic amounts times their share of each year.
void spread_by_annual_shares(cash_flow_row& row);

}  // namespace fv
