// Dividing wide rows: amounts 61 to 120 become a row that starts 60 periods
// later, amounts 121 to 180 one that starts 120 periods later, and so on. A row
// is cut into all its pieces at once, so no amount is copied twice.
#include "cashflow/wide_rows.h"

#include <algorithm>
#include <iterator>

#include "cashflow/value_names.h"

namespace fv {

namespace {

// Half-months per period; rows of an unknown frequency count as annual.
int half_months_per_period(int frequency) {
    const int periods = frequency_periods(frequency);
    return periods > 0 ? 24 / periods : 24;
}

// Piece `piece` (from 1) of a row cut into `pieces`: its amounts from the
// piece's first on, up to the next piece's first unless it is the last piece.
std::unique_ptr<cash_flow_row> piece_of(const cash_flow_row& row, std::size_t piece, std::size_t pieces) {
    const std::size_t first = piece * widest_row;
    const std::size_t end = piece + 1 < pieces ? std::min(row.amounts.size(), first + widest_row) : row.amounts.size();
    std::unique_ptr<cash_flow_row> tail = row.copy(false);
    tail->amounts.assign(row.amounts.begin() + static_cast<std::ptrdiff_t>(first),
                         row.amounts.begin() + static_cast<std::ptrdiff_t>(end));
    const int span = static_cast<int>(widest_row) * half_months_per_period(row.frequency);
    tail->start_year += static_cast<int>(piece) * (span / 24);
    tail->start_offset += static_cast<int>(piece) * span;
    return tail;
}

}  // namespace

bool divide_wide_rows(cohort& cohort) {
    bool divided = false;
    for (std::size_t i = 0; i < cohort.rows.size(); ++i) {
        cash_flow_row& row = *cohort.rows[i];
        if (row.amounts.size() <= widest_row) continue;
        divided = true;
        const std::size_t pieces = (row.amounts.size() + widest_row - 1) / widest_row;
        std::vector<std::unique_ptr<cash_flow_row>> tails;
        tails.reserve(pieces - 1);
        for (std::size_t piece = 1; piece < pieces; ++piece) {
            std::unique_ptr<cash_flow_row> tail = piece_of(row, piece, pieces);
            for (const auto& part : row.parts) {
                // A part with no amounts in this piece has an empty stand-in, so
                // each piece's parts stay in disbursement-period order.
                tail->parts.push_back(part->amounts.size() > piece * widest_row
                                          ? piece_of(*part, piece, pieces)
                                          : std::make_unique<cash_flow_row>(&cohort));
            }
            tails.push_back(std::move(tail));
        }
        // The row keeps only what it shows.
        for (auto& part : row.parts)
            if (part->amounts.size() > widest_row) {
                part->amounts.resize(widest_row);
                part->amounts.shrink_to_fit();
            }
        row.amounts.resize(widest_row);
        row.amounts.shrink_to_fit();
        cohort.rows.insert(cohort.rows.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                           std::make_move_iterator(tails.begin()), std::make_move_iterator(tails.end()));
        i += tails.size();
    }
    return divided;
}

}  // namespace fv
