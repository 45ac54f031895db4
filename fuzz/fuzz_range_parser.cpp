// Arbitrary bytes decoded into a small in-memory workbook (numbers, labels
// drawn from the input's real keywords or random text, error and
// not-available cells) and read by the range parser; every row it keeps is
// then put through the row operations and conversions. Nothing may crash,
// hang or read out of bounds; thrown message texts are the expected failures.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "cashflow/credit_program.h"
#include "cashflow/range_parser.h"
#include "cashflow/disbursement_conversion.h"
#include "util/text_error.h"
#include "workbook/memory_workbook.h"

namespace {

const char* const keywords[] = {
    "Name", "Program type", "direct", "guaranteed", "loan guarantee", "Budget year", "Amount", "thousands",
    "Description", "Compute single effective rate", "yes", "off", "Import file", "Output file", "Sheet file",
    "Loan type", "multiple", "construction", "Method", "FORCE PRO-RATA", "choose", "9", "Purpose", "budget",
    "analysis", "Rate assumption", "ACTUAL, 1999", "budget-2001", "OWN my rates", "Suppress warnings", "30-35",
    "ALL", "None", "30 - 35", "90-120", "99999999999", "Timing", "simple", "cont", "quarterly, end",
    "annual-of-quarterly middle", "monthly beginning 2001:4", "end", "semiannual", "cohort", "Obligations",
    "Commitments", "END", "REPEAT", "SKIP", "Enacted Budget Authority", "Pct guaranteed", "Percent guaranteed",
    "Disbursements", "Disbursements [quarterly middle]", "Disbursements [annual-of-quarterly]", "Disbursements [2001:3]",
    "Principal pmts, scheduled", "Interest pmts, scheduled", "Fees and other income", "Defaults", "Losses",
    "Recoveries", "Prepayments, net", "Inflows (other)", "Outflows", "Upfront fees", "Annual fees", "Premiums",
    "Default payments", "Recoveries on defaults", "Interest subsidy pmts", "Other outflows", "Lost fees",
    "Saved interest", "Misc. recoveries", "(2) Recoveries [annual, end]", "(1) Defaults", "(3) Principal pmts",
    "(99999999999999) Recoveries", "Defaults [quarterly", "Defaults [weekly]", "Defaults [monthly end 3000:12]",
    "Q1-INFLOW", "Q2-INFLOW", "Q3-INFLOW", "Q4-INFLOW", "Q1-OUTFLOW-INIT", "Q2-OUT-INIT", "Q3-INIT-OUTFLOW",
    "Q4-OUTFLOW-INIT", "Q1-IN-INIT", "Q2-INFLOW-INIT", "Q3-INFLOW-INIT", "Q4-INIT-INFLOW", "Q1-OUTFLOW",
    "Q2-OUTFLOW", "Q3-OUTFLOW", "Q4-OUTFLOW", "* comment", "--", "", "   ", "(", "()", "[", "]",
};

const double numbers[] = {0.0, 1.0, -1.0, 25.0, 24.99, 100.0, 1991.0, 1992.0, 2000.0, 2001.0, 3000.0, 3001.0,
                          1e300, -1e300, 0.5, 99.9995, 2147483648.0, -2147483649.0,
                          std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(), 1e-12};

class byte_reader {
public:
    byte_reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }
    double raw_double() {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits = bits << 8 | next();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    std::string text(std::size_t length) {
        std::string out;
        for (std::size_t i = 0; i < length && !empty(); ++i) out += static_cast<char>(next());
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

void exercise_rows(fv::credit_program& program) {
    for (auto& cohort : program.cohorts) {
        std::vector<double> sums(100, 0.0);
        for (auto& row : cohort->rows) {
            row->check_signs();
            row->add_to_fiscal_year_sums(sums);
            (void)row->weighted_time();
            (void)row->last_time();
            row->compute_start_offset();
            auto twin = row->copy(true);
            if (!twin->amounts.empty() && twin->frequency != 0) fv::annual_totals_from_periods(*twin);
            if (!twin->annual_totals.empty() && twin->annual_total_frequency != 0) fv::periods_from_annual_totals(*twin);
            try {
                twin->drop_leading_zero_amounts();
                twin->drop_leading_zero_annual_totals();
            } catch (const fv::text_error&) {
            }
            twin->trim_trailing_zeros();
            row->trim_trailing_zeros();
        }
        (void)cohort->disbursement_periods();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    byte_reader in(data, size);
    const int width = 2 + in.next() % 7;
    const int height = 6 + in.next() % 35;
    const std::uint8_t shape = in.next();
    const int default_budget_year = 1990 + in.next() % 16;
    const bool first_year_is_by = (shape & 0x80) != 0;

    auto book = std::make_unique<fv::memory_workbook>("fuzz.wk1");
    book->set_label(0, 0, 0, "Name");
    for (int row = 0; row < height && !in.empty(); ++row) {
        for (int column = 0; column < width && !in.empty(); ++column) {
            if (row == 0 && column == 0) continue;
            const std::uint8_t choice = in.next();
            const bool first_column = column == 0;
            switch (choice % 8) {
                case 0:
                    break;  // blank
                case 1:
                case 2:
                    book->set_number(0, row, column, numbers[in.next() % (sizeof numbers / sizeof numbers[0])]);
                    break;
                case 3:
                    book->set_number(0, row, column, first_column ? in.next() : in.raw_double());
                    break;
                case 4:
                case 5:
                    book->set_label(0, row, column, keywords[in.next() % (sizeof keywords / sizeof keywords[0])]);
                    break;
                case 6:
                    book->set_label(0, row, column, in.text(in.next() % 40));
                    break;
                default:
                    if (choice & 0x80)
                        book->set_error(0, row, column);
                    else
                        book->set_not_available(0, row, column);
                    break;
            }
        }
    }
    fv::range_bounds bounds{1, 1, 1, 1, height, width};
    switch (shape % 8) {
        case 1: bounds.column2 = 1; break;                      // one column
        case 2: bounds.row1 = height; bounds.row2 = 1; break;   // inverted rows
        case 3: bounds.column1 = width; bounds.column2 = 1; break;  // inverted columns
        case 4: bounds.sheet2 = 2; break;                       // three-dimensional
        default: break;
    }
    book->add_named_range("RANGE", bounds);
    auto front = fv::open_memory_workbook(std::move(book));

    fv::credit_program program(0);
    try {
        fv::parse_range(*front, "RANGE", {default_budget_year, first_year_is_by}, program);
    } catch (const fv::text_error&) {
        return 0;
    }
    exercise_rows(program);
    return 0;
}
