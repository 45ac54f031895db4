// A cohort's row loop (which rows belong to it, where it ends) and the two
// checks of its disbursement-period rows made as soon as it has been read.
#include "cashflow/cohort.h"

#include <map>

#include "cashflow/credit_program.h"
#include "cashflow/header_keywords.h"
#include "cashflow/input_text.h"
#include "cashflow/classify_label.h"
#include "cashflow/line_code.h"
#include "util/text_error.h"
#include "workbook/workbook_file.h"

namespace fv {

namespace {

// The cash-flow lines of the program type's block (guarantees also for an
// unknown type); the percentage guaranteed is no cash flow.
bool cohort_cash_flow_line(int program_type, line_code code) {
    const bool direct_loan_line = code_number(code) >= code_number(line_code::dl_disbursements) &&
                                  code_number(code) <= code_number(line_code::dl_prepayments);
    if (program_type == program_direct_loan) return direct_loan_line;
    return is_cash_flow_line(code) && !direct_loan_line;
}

}  // namespace

cohort::cohort(credit_program* owner, int fiscal_year, int type_of_program)
    : program(owner), year(fiscal_year), program_type(type_of_program) {}

void cohort::read_rows(workbook_file& book, bool started_by_cohort_line) {
    const line_code start_code = program_type == program_direct_loan ? line_code::dl_obligations : line_code::lg_commitments;
    // An "Obligations"/"Commitments" start row is read again as the cohort's first row.
    bool first_step = !started_by_cohort_line;
    bool start_row_seen = false;
    for (;;) {
        book.cursor_left(far_away);
        if (!first_step && !book.cursor_down(1)) return;  // the end of the range ends the cohort
        first_step = false;

        std::string text;
        if (book.cursor_cell_kind() != kind_text || book.read_cursor_cell(text) != content_delivered) continue;
        if (text.empty() || text.front() == '*' || text.compare(0, 2, "--") == 0) continue;
        const line_code code = classify_label(text, program_type);

        if (code == line_code::cohort || code == line_code::end) {
            book.cursor_up(1);
            return;
        }
        if (code == line_code::repeat || code == line_code::skip) {
            if (program != nullptr)
                program->add(43, fill(code == line_code::repeat ? "Obsolete keyword REPEAT in cell %s was ignored"
                                                 : "Obsolete keyword SKIP in cell %s was ignored",
                                      {book.cursor_address_text()}));
            return;
        }
        if (code == line_code::timing) {
            if (program != nullptr) read_timing_keyword(*program, book);
            continue;
        }
        if (code == line_code::enacted_ba || (program_type == program_loan_guarantee && code == line_code::lg_pct_guaranteed)) continue;
        if (code == start_code) {
            if (started_by_cohort_line) continue;
            if (program_type == program_direct_loan) {
                // Every "Obligations" row after the start row begins the next cohort.
                if (!start_row_seen) {
                    start_row_seen = true;
                    continue;
                }
            } else if (rows.empty()) {
                continue;  // "Commitments" before any cash-flow row is passed over
            }
            book.cursor_up(1);
            return;
        }
        if (cohort_cash_flow_line(program_type, code)) {
            auto row = std::make_unique<cash_flow_row>(this);
            row->read(book, code);
            if (row->has_data()) add_row(std::move(row));
            continue;
        }
        if (program != nullptr)
            program->add(39, fill("Cell %s:  unrecognized keyword ( %s )", {book.cursor_address_text(), text}));
    }
}

cash_flow_row& cohort::add_row(std::unique_ptr<cash_flow_row> row) {
    row->cohort = this;
    if (row->is_disbursement()) {
        if (disbursement_row != nullptr) throw text_error("E017: Two or more disbursement lines found in a cohort");
        row->drop_leading_zero_amounts();
        disbursement_row = row.get();
    }
    rows.push_back(std::move(row));
    return *rows.back();
}

int cohort::disbursement_periods() const {
    if (disbursement_row == nullptr) return 0;
    const auto& amounts = disbursement_row->has_annual_totals ? disbursement_row->annual_totals : disbursement_row->amounts;
    return static_cast<int>(amounts.size());
}

void cohort::check_disbursement_periods() {
    if (disbursement_row == nullptr) return;
    const cash_flow_row& disbursements = *disbursement_row;
    // Tied rows count their periods from the cohort's first period; re-base them
    // when the disbursements begin later, counting in the disbursements' own periods.
    const long long years = static_cast<long long>(disbursements.start_year) - year;
    long long shift = 0;
    if (disbursements.has_annual_totals) {
        shift = years;
    } else {
        const long long p = disbursements.start_period;
        switch (disbursements.frequency) {
            case frequency_semiannual: shift = p + 2 * years - 1; break;
            case frequency_quarter: shift = p + 4 * years - 1; break;
            case frequency_monthly: shift = p + 12 * years - 1; break;
            default: shift = years; break;
        }
    }
    if (shift != 0) {
        for (auto& row : rows) {
            if (!row->disbursement_period_flag) continue;
            const long long rebased = row->disbursement_period - shift;
            row->disbursement_period = rebased < -1000000 ? -1000000 : rebased > 1000000 ? 1000000 : static_cast<int>(rebased);
            row->compute_start_offset();
        }
    }
    const int periods = disbursement_periods();
    if (periods < 2) return;
    for (const auto& row : rows) {
        if (row->disbursement_period_flag && (row->disbursement_period <= 0 || row->disbursement_period > periods))
            throw text_error(fill(
                "E020:  A row, starting at %s, indicates that it belongs to a disbursement period that does not exist",
                {row->cell}));
    }
}

void cohort::check_same_type_rows() {
    if (disbursement_periods() < 2) return;
    std::map<line_code, const cash_flow_row*> first_of_type;
    for (const auto& row : rows) {
        if (!cohort_cash_flow_line(program_type, row->line)) continue;
        const auto [at, inserted] = first_of_type.emplace(row->line, row.get());
        if (inserted) continue;
        const cash_flow_row& first = *at->second;
        if (first.disbursement_period_flag && !row->disbursement_period_flag)
            throw text_error(fill("E019:  Two rows, starting at %s and %s, are the same type.  The first is "
                                  "associated with a disbursement period and the second one is NOT.",
                                  {first.cell, row->cell}));
        if (!first.disbursement_period_flag && row->disbursement_period_flag)
            throw text_error(fill("E019:  Two rows, starting at %s and %s, are the same type.  The first is NOT "
                                  "associated with a disbursement period and the second one is.",
                                  {first.cell, row->cell}));
    }
}

}  // namespace fv
