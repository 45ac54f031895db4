// A whole calculation from arbitrary range contents. The input is a grid of
// cells in the example programs' source form (one row per line, cells
// separated by tabs; a cell that reads whole as a number is a number, "#ERR"
// an error, "#N/A" not available, anything else a label; lines beginning with
// "#" or "@" are notes), so the examples' sources are the seeds. The grid is
// parsed into a program, its input edited and distributed, its cohorts
// discounted on a rate set of the shipped rate file, with and without the
// single effective rate, and every display, text output, log line and
// spreadsheet output is made in memory, in the order a document makes them.
// Thrown message texts are the expected failures; anything else is a finding,
// and so is a figure that is not finite in a calculation that succeeded.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cashflow/credit_program.h"
#include "cashflow/range_parser.h"
#include "display/wk1_writer.h"
#include "display/wk3_writer.h"
#include "display/program/batch_line.h"
#include "display/program/import_file.h"
#include "display/program/output_files.h"
#include "display/program/program_displays.h"
#include "pv/present_value_factors.h"
#include "rates/rate_collection.h"
#include "subsidy/cohort_single_effective_rate.h"
#include "subsidy/cohort_subsidy.h"
#include "subsidy/consistency_checks.h"
#include "subsidy/input_editing.h"
#include "util/text_error.h"
#include "workbook/memory_workbook.h"

namespace {

constexpr int widest = 64, highest = 400;

std::string data_file(const char* name) { return std::string(FV_SOURCE_DIR) + "/data/" + name; }

// The shipped rate sets, read once.
const fv::rate_collection& shipped_rates() {
    static const fv::rate_collection rates = [] {
        fv::rate_collection loaded;
        try {
            loaded.load_rate_file(data_file("rates.txt"), true);
        } catch (const fv::text_error&) {
            std::abort();  // the fuzzer cannot run without them
        }
        return loaded;
    }();
    return rates;
}

void require(bool promise) {
    if (!promise) __builtin_trap();
}

// A completed calculation has only finite figures to show.
void require_finite_results(const fv::credit_program& program) {
    for (const auto& cohort : program.cohorts) {
        const fv::cohort_results& r = cohort->results;
        for (double figure : {r.subsidy_percentage, r.financing_percentage, r.default_percentage, r.fee_percentage,
                              r.other_percentage, r.subsidy_amount, r.disbursements, r.single_effective_rate})
            require(std::isfinite(figure));
    }
}

std::optional<double> whole_number(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) return std::nullopt;
    return value;
}

// The grid as a workbook with the range RANGE over it.
std::unique_ptr<fv::workbook_file> grid_workbook(std::string_view input) {
    auto book = std::make_unique<fv::memory_workbook>("fuzz.wk1");
    int rows = 0, columns = 2;
    std::size_t at = 0;
    while (at <= input.size() && rows < highest) {
        std::size_t end = input.find('\n', at);
        if (end == std::string_view::npos) end = input.size();
        std::string_view line = input.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty() && (line.front() == '#' || line.front() == '@')) continue;
        int column = 0;
        for (std::size_t start = 0; start <= line.size() && column < widest; ++column) {
            std::size_t stop = line.find('\t', start);
            if (stop == std::string_view::npos) stop = line.size();
            std::string cell(line.substr(start, stop - start));
            start = stop + 1;
            if (cell.empty()) continue;
            if (cell == "#ERR")
                book->set_error(0, rows, column);
            else if (cell == "#N/A")
                book->set_not_available(0, rows, column);
            else if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"')
                book->set_label(0, rows, column, cell.substr(1, cell.size() - 2));
            else if (const std::optional<double> number = whole_number(cell))
                book->set_number(0, rows, column, *number);
            else
                book->set_label(0, rows, column, cell);
        }
        columns = std::max(columns, column);
        ++rows;
        if (end == input.size()) break;
    }
    book->add_named_range("RANGE", fv::range_bounds{1, 1, 1, 1, std::max(rows, 6), columns});
    return fv::open_memory_workbook(std::move(book));
}

// A display as the views and outputs use it: rendered, cut with its notice,
// and written to both spreadsheet formats in memory.
std::string use_display(fv::display_page page) {
    std::string text = page.render_text();
    if (page.was_cut()) page.put_truncation_notice(text);
    for (const bool wk3 : {false, true}) {
        try {
            if (wk3) {
                fv::wk3_writer writer(data_file("3.bin"));
                page.write_to(writer);
                (void)writer.render();
            } else {
                fv::wk1_writer writer(data_file("1.bin"));
                page.write_to(writer);
                (void)writer.render();
            }
        } catch (const fv::text_error&) {
            // a writer's limit (a number too long for its cell, say)
        }
    }
    return text;
}

// Options from the input's bytes, so a mutation may change them too.
struct run_options {
    bool single_effective_rate;
    bool first_year_is_budget_year;
    int default_budget_year;
    int mask;
    bool budget_list;
    std::size_t rate_set;
};

run_options options_of(std::string_view input) {
    std::uint32_t hash = 2166136261u;
    for (const char c : input) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return {(hash & 1) != 0, (hash & 2) != 0, 1997 + static_cast<int>(hash >> 2 & 7), static_cast<int>(hash >> 5 & 0x7F),
            (hash & 0x1000) != 0, static_cast<std::size_t>(hash >> 13)};
}

// The calculation of a document after its load, with the outputs made in memory.
void calculate(fv::credit_program& program, const fv::rate_set& rate_set, const run_options& options) {
    fv::present_value_factors factors;
    factors.set(&rate_set);
    factors.make();
    if (options.single_effective_rate) {
        for (auto& cohort : program.cohorts) {
            factors.set(&rate_set);
            factors.make();
            fv::compute_subsidy(*cohort, factors);
            fv::compute_single_effective_rate(*cohort, factors, rate_set, program.messages());
        }
    } else {
        for (auto& cohort : program.cohorts) fv::mark_single_effective_rate_not_computed(*cohort);
    }
    factors.set(&rate_set);
    factors.make();
    program.rate_assumptions = fv::rate_assumptions_text(rate_set);
    program.rate_selection = program.rate_assumptions;

    std::optional<fv::display_page> derivation;
    if (options.mask & 0x10)
        derivation.emplace(fv::make_derivation_display(program, factors, rate_set));
    else
        for (auto& cohort : program.cohorts) fv::compute_subsidy(*cohort, factors);
    for (auto& cohort : program.cohorts) fv::present_value_test(*cohort, cohort->results, program.messages());

    // What the files would hold.
    require_finite_results(program);
    (void)fv::import_file_text(program);
    (void)fv::text_output_file_text(program);
    (void)fv::batch_lines(program);
    (void)use_display(fv::make_subsidy_display(program));
    (void)use_display(fv::make_messages_display(program));
    if (options.mask & 0x04) (void)use_display(fv::make_factor_display(program, factors));
    if (options.mask & 0x08) (void)use_display(fv::make_distribution_display(program));
    if (derivation) (void)use_display(std::move(*derivation));
    if (options.mask & 0x20) (void)use_display(fv::make_details_display(program));

    // The spreadsheet output: one display per sheet of one WK3 file.
    try {
        fv::wk3_writer output(data_file("4.bin"));
        fv::make_subsidy_display(program).write_to(output);
        output.next_sheet();
        fv::make_messages_display(program).write_to(output);
        (void)output.render();
    } catch (const fv::text_error&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const run_options options = options_of(input);
    const fv::rate_collection& rates = shipped_rates();
    const auto& list = options.budget_list ? rates.budget() : rates.actual();
    if (list.empty()) return 0;
    const fv::rate_set& rate_set = list[options.rate_set % list.size()];

    auto book = grid_workbook(input);
    fv::credit_program program(0);
    try {
        fv::parse_range(*book, "RANGE", {options.default_budget_year, options.first_year_is_budget_year}, program);
        fv::edit_input(program);
    } catch (const fv::text_error&) {
        return 0;
    }
    (void)use_display(fv::make_source_display(program));
    (void)use_display(fv::make_messages_display(program));
    try {
        calculate(program, rate_set, options);
    } catch (const fv::text_error&) {
        // A failed calculation still shows its messages.
        (void)use_display(fv::make_messages_display(program));
    }
    return 0;
}
