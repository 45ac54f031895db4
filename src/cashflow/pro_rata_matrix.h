// The pro-rata allocation factors: one matrix row per disbursement period, one
// column per period of the row being split; each factor is the share of that
// column's amount that belongs to the loans of that disbursement period.
#pragma once

#include <vector>

namespace fv {

// How long a disbursement period's loans stay outstanding.
enum class loan_rule {
    construction,         // every disbursement stays to the end of the row
    multiple_like_loans,  // every disbursement lives for the same number of periods
};

class pro_rata_matrix {
public:
    // Frequencies are the row frequency codes (annual 1 ... monthly 4). Throws
    // when the first disbursement is not above 0 and there is more than one row.
    pro_rata_matrix(const std::vector<double>& disbursements, int row_amounts, int disbursement_frequency,
              int row_frequency, loan_rule rule);

    // The bare factors on an already common grid (exposed for the display and tests).
    static std::vector<double> grid_factors(const std::vector<double>& grid, int columns, loan_rule rule);

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    double factor(int row, int column) const { return factors_[static_cast<std::size_t>(row * columns_ + column)]; }
    const std::vector<double>& disbursements() const { return disbursements_; }

    // Keep every n-th row (column) starting with the first; nothing is summed.
    void collapse_rows(int n);
    void collapse_columns(int n);

    // distributed[k][j] = factor[k][j] x row[j], row-major (rows x columns).
    std::vector<double> apply(const std::vector<double>& row) const;

private:
    std::vector<double> disbursements_;
    int rows_ = 0;
    int columns_ = 0;
    std::vector<double> factors_;
};

// The split of a row that follows every disbursement with one pattern:
// row[t] = sum over k of D[k] x s[t - k]. Gives |D| parts of |row| amounts
// (row-major), or nothing when the row is not such a convolution.
std::vector<double> rev_spendout(const std::vector<double>& disbursements, const std::vector<double>& row);

}  // namespace fv
