// Pro-rata factors on a common grid of disbursement and row periods, and the
// rev-spendout split that recovers a common spend-out pattern.
#include "cashflow/pro_rata_matrix.h"

#include <algorithm>
#include <cmath>

#include "cashflow/value_names.h"
#include "util/text_error.h"

namespace fv {

namespace {

constexpr double tolerance = 1e-7;

int periods_per_year(int frequency) {
    const int periods = frequency_periods(frequency);
    return periods > 0 ? periods : 1;
}

}  // namespace

std::vector<double> pro_rata_matrix::grid_factors(const std::vector<double>& grid, int columns, loan_rule rule) {
    const int rows = static_cast<int>(grid.size());
    if (rows == 0 || columns <= 0) return {};
    if (!(grid[0] > 0)) throw text_error("dy_factors called with no data in first disbursement period");
    const auto at = [columns](int row, int column) { return static_cast<std::size_t>(row * columns + column); };
    if (rows == 1) return std::vector<double>(static_cast<std::size_t>(columns), 1.0);

    // Which disbursement periods cover each column, kept column by column.
    std::vector<char> covers(static_cast<std::size_t>(rows * columns), 0);
    const auto covered = [rows](int row, int column) { return static_cast<std::size_t>(column * rows + row); };
    if (rule == loan_rule::construction) {
        for (int j = 0; j < columns; ++j)
            for (int i = 0; i <= std::min(j, rows - 1); ++i) covers[covered(i, j)] = grid[static_cast<std::size_t>(i)] > 0;
    } else if (rows < columns) {
        int last_positive = 0;
        for (int i = 0; i < rows; ++i)
            if (grid[static_cast<std::size_t>(i)] > 0) last_positive = i;
        const int trailing = rows - 1 - last_positive;
        const int life = columns - rows + 1 + trailing;
        for (int j = 0; j < columns; ++j)
            for (int i = std::max(0, j - life + 1); i <= std::min(j, rows - 1); ++i)
                covers[covered(i, j)] = grid[static_cast<std::size_t>(i)] > 0;
    } else {
        int coverer = 0;
        for (int j = 0; j < columns; ++j) {
            if (grid[static_cast<std::size_t>(j)] > 0) coverer = j;
            covers[covered(coverer, j)] = 1;
        }
    }

    std::vector<double> factors(covers.size(), 0.0);
    for (int j = 0; j < columns;) {
        const auto column = covers.begin() + static_cast<std::ptrdiff_t>(covered(0, j));
        double sum = 0.0;
        for (int i = 0; i < rows; ++i)
            if (column[i]) sum += grid[static_cast<std::size_t>(i)];
        // The columns after it that the same periods cover have its factors: most columns past the
        // disbursements do, and a division per factor is the costly part.
        int end = j + 1;
        while (end < columns && std::equal(column, column + rows, covers.begin() + static_cast<std::ptrdiff_t>(covered(0, end))))
            ++end;
        if (sum > 0)
            for (int i = 0; i < rows; ++i)
                if (column[i])
                    std::fill(factors.begin() + static_cast<std::ptrdiff_t>(at(i, j)),
                              factors.begin() + static_cast<std::ptrdiff_t>(at(i, end)),
                              grid[static_cast<std::size_t>(i)] / sum);
        j = end;
    }
    return factors;
}

pro_rata_matrix::pro_rata_matrix(const std::vector<double>& disbursements, int row_amounts, int disbursement_frequency,
                     int row_frequency, loan_rule rule)
    : disbursements_(disbursements) {
    const int n = static_cast<int>(disbursements.size());
    const int m = row_amounts;
    if (n == 0 || m <= 0) return;
    if (m == 1) {
        rows_ = n;
        columns_ = 1;
        factors_.assign(static_cast<std::size_t>(n), 0.0);
        factors_[0] = 1.0;
        return;
    }
    const int disbursement_periods = periods_per_year(disbursement_frequency);
    const int row_periods = periods_per_year(row_frequency);

    std::vector<double> grid = disbursements;
    int grid_columns = m;
    int row_step = 1;
    int column_step = 1;
    if (row_periods > disbursement_periods) {
        // The row is finer: spread the disbursements onto its grid with zeros between.
        row_step = row_periods / disbursement_periods;
        grid.assign(static_cast<std::size_t>(row_step * (n - 1) + 1), 0.0);
        for (int i = 0; i < n; ++i)
            grid[static_cast<std::size_t>(row_step * i)] = disbursements[static_cast<std::size_t>(i)];
    } else if (row_periods < disbursement_periods) {
        column_step = disbursement_periods / row_periods;
        grid_columns = column_step * (m - 1) + 1;
    }
    factors_ = grid_factors(grid, grid_columns, rule);
    rows_ = static_cast<int>(grid.size());
    columns_ = grid_columns;
    collapse_rows(row_step);
    collapse_columns(column_step);
}

void pro_rata_matrix::collapse_rows(int n) {
    if (rows_ == 0) throw text_error("cf_matrix::collapse_rows called when empty (rows=0)");
    if (columns_ == 0) throw text_error("cf_matrix::collapse_rows called when empty (columns=0)");
    if (n < 2) return;
    const int kept = (rows_ - 1) / n + 1;
    std::vector<double> factors;
    factors.reserve(static_cast<std::size_t>(kept * columns_));
    for (int row = 0; row < rows_; row += n)
        for (int column = 0; column < columns_; ++column) factors.push_back(factor(row, column));
    factors_ = std::move(factors);
    rows_ = kept;
}

void pro_rata_matrix::collapse_columns(int n) {
    if (rows_ == 0) throw text_error("cf_matrix::collapse_columns called when empty (rows=0)");
    if (columns_ == 0) throw text_error("cf_matrix::collapse_columns called when empty (columns=0)");
    if (n > columns_) throw text_error("cf_matrix::collapse_columns called with amount greater than number of columns");
    if (n < 2) return;
    const int kept = (columns_ - 1) / n + 1;
    std::vector<double> factors;
    factors.reserve(static_cast<std::size_t>(rows_ * kept));
    for (int row = 0; row < rows_; ++row)
        for (int column = 0; column < columns_; column += n) factors.push_back(factor(row, column));
    factors_ = std::move(factors);
    columns_ = kept;
}

std::vector<double> pro_rata_matrix::apply(const std::vector<double>& row) const {
    std::vector<double> distributed(static_cast<std::size_t>(rows_ * columns_), 0.0);
    const int used = std::min(columns_, static_cast<int>(row.size()));
    for (int k = 0; k < rows_; ++k)
        for (int j = 0; j < used; ++j)
            distributed[static_cast<std::size_t>(k * columns_ + j)] = factor(k, j) * row[static_cast<std::size_t>(j)];
    return distributed;
}

std::vector<double> rev_spendout(const std::vector<double>& disbursements, const std::vector<double>& row) {
    const int n = static_cast<int>(disbursements.size());
    const int size = static_cast<int>(row.size());
    if (n < 2 || size < 2 || size < n) return {};
    const auto d = [&](int k) { return disbursements[static_cast<std::size_t>(k)]; };
    const auto r = [&](int t) { return row[static_cast<std::size_t>(t)]; };
    if (d(0) == 0) return {};
    const int length = size - n + 1;

    std::vector<double> forward(static_cast<std::size_t>(length));
    for (int j = 0; j < length; ++j) {
        double known = 0.0;
        for (int k = 1; k <= std::min(j, n - 1); ++k) known += d(k) * forward[static_cast<std::size_t>(j - k)];
        forward[static_cast<std::size_t>(j)] = (r(j) - known) / d(0);
    }
    // The backward solution divides by the last disbursement; when that is 0 the
    // check of every period's sum below decides alone. The first value that
    // differs from the forward one ends the search: the check below would fail.
    std::vector<double> backward = forward;
    for (int j = 0; j < length && d(n - 1) != 0; ++j) {
        const int t = size - 1 - j;
        double known = 0.0;
        for (int k = std::max(0, n - 1 - j); k <= n - 2; ++k) known += d(k) * backward[static_cast<std::size_t>(t - k)];
        const double value = (r(t) - known) / d(n - 1);
        backward[static_cast<std::size_t>(length - 1 - j)] = value;
        if (!(std::fabs(forward[static_cast<std::size_t>(length - 1 - j)] - value) <= tolerance)) return {};
    }
    for (int j = 0; j < length; ++j) {
        const double a = forward[static_cast<std::size_t>(j)];
        if (!std::isfinite(a) || !(std::fabs(a - backward[static_cast<std::size_t>(j)]) <= tolerance)) return {};
    }

    std::vector<double> parts(static_cast<std::size_t>(n * size), 0.0);
    for (int k = 0; k < n; ++k)
        for (int j = 0; j < length; ++j)
            parts[static_cast<std::size_t>(k * size + k + j)] = d(k) * forward[static_cast<std::size_t>(j)];
    for (int t = 0; t < size; ++t) {
        double sum = 0.0;
        for (int k = 0; k < n; ++k) sum += parts[static_cast<std::size_t>(k * size + t)];
        if (!(std::fabs(sum - r(t)) <= tolerance)) return {};
    }
    return parts;
}

}  // namespace fv
