// The input-editing steps in their order, one cohort per thread at a time.
// Each step works on one cohort alone, so a cohort can go through all of them
// while another thread edits the next.
#include "subsidy/input_editing.h"

#include <exception>
#include <vector>

#include "cashflow/distribution.h"
#include "cashflow/wide_rows.h"
#include "subsidy/consistency_checks.h"
#include "util/parallel_items.h"

namespace fv {

namespace {

// What editing one cohort gave: its warnings and divided flag, or the step that failed and how.
struct cohort_edit {
    message_list messages;
    bool divided = false;
    std::exception_ptr combining_failure;
    std::exception_ptr later_failure;
};

// The steps after combining, into `messages`; true when a row was divided.
bool edit_combined(cohort& cohort, message_list& messages, distribution_parts parts) {
    distribute_cohort(cohort, parts);
    for (auto& row : cohort.rows) spread_by_annual_shares(*row);
    consistency_pass(cohort, messages);
    const bool divided = divide_wide_rows(cohort);
    for (auto& row : cohort.rows) row->trim_trailing_zeros();
    return divided;
}

std::vector<std::unique_ptr<cash_flow_row>> copy_rows(const std::vector<std::unique_ptr<cash_flow_row>>& rows) {
    std::vector<std::unique_ptr<cash_flow_row>> copies;
    copies.reserve(rows.size());
    for (const auto& row : rows) copies.push_back(row->copy(true));
    return copies;
}

void edit_cohort(cohort& cohort, distribution_parts parts, cohort_edit& edit) {
    try {
        combine_rows(cohort);
    } catch (...) {
        edit.combining_failure = std::current_exception();
        return;
    }
    try {
        if (parts == distribution_parts::built_when_used) cohort.combined_rows = copy_rows(cohort.rows);
        edit.divided = edit_combined(cohort, edit.messages, parts);
    } catch (...) {
        edit.later_failure = std::current_exception();
    }
}

}  // namespace

bool edit_input(credit_program& program, unsigned threads, distribution_parts parts) {
    std::vector<cohort_edit> edits(program.cohorts.size());
    do_items(edits.size(), threads, [&]() -> item_worker {
        return [&](std::size_t n) { edit_cohort(*program.cohorts[n], parts, edits[n]); };
    });
    for (const cohort_edit& edit : edits)
        if (edit.combining_failure) std::rethrow_exception(edit.combining_failure);
    for (const cohort_edit& edit : edits)
        if (edit.later_failure) std::rethrow_exception(edit.later_failure);
    bool divided = false;
    for (const cohort_edit& edit : edits) {
        for (const message& message : edit.messages.list()) program.add(message.number, message.text);
        divided = divided || edit.divided;
    }
    return divided;
}

std::unique_ptr<cohort> cohort_with_parts(const cohort& original) {
    if (original.combined_rows.empty()) return nullptr;
    auto copy = std::make_unique<cohort>(original.program, original.year, original.program_type);
    copy->start_cell = original.start_cell;
    copy->results = original.results;  // a calculation starts from the last one's
    copy->rows = copy_rows(original.combined_rows);
    for (auto& row : copy->rows) {
        row->cohort = copy.get();
        if (row->is_disbursement()) copy->disbursement_row = row.get();
    }
    message_list already_given;  // the warnings came with the first editing
    edit_combined(*copy, already_given, distribution_parts::kept);
    return copy;
}

}  // namespace fv
