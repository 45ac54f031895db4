// The range parser: walks a named range row by row through the workbook's
// range cursor, reads the header keywords and their values, the "Timing" and
// quarter-factor rows, and starts a cohort at each cohort line. Problems that
// do not stop the load become numbered messages; the rest are thrown.
#include "cashflow/range_parser.h"

#include <cmath>

#include "cashflow/classify_label.h"
#include "cashflow/header_keywords.h"
#include "cashflow/input_text.h"
#include "util/ascii.h"
#include "util/text_error.h"
#include "util/utf8_text.h"
#include "workbook/workbook_file.h"

namespace fv {

namespace {

bool valid_year(int year) { return year >= 1992 && year <= 3000; }

bool only_blanks(std::string_view text) { return skip_blanks(text).empty(); }

// A finite number in the cell under the cursor.
bool read_finite_number(workbook_file& book, double& number) {
    if (book.cursor_cell_kind() != kind_number) return false;
    double value = 0.0;
    if (book.read_cursor_cell(value) != content_delivered || !std::isfinite(value)) return false;
    number = value;
    return true;
}

// One parse: the workbook's cursor walks the range while the program fills.
class parser {
public:
    parser(workbook_file& book, const range_defaults& defaults, credit_program& program)
        : book(book), program(program), default_budget_year(valid_year(defaults.budget_year) ? defaults.budget_year : 0),
          defaults(defaults) {}
    cohort& parse(std::string_view range);

private:
    void read_header();
    void read_factor_row(line_code code);
    void start_cohort(line_code code);

    workbook_file& book;
    credit_program& program;
    const int default_budget_year;  // 0 when the run's year is not one the model knows
    const range_defaults& defaults;
};

cohort& parser::parse(std::string_view range) {
    program.clear();
    program.workbook_path = book.file_name();
    program.workbook_date = book.file_date();
    if (range.empty()) throw text_error("cf_pgm::load called with a NULL range name");
    program.range_name = std::string(range);

    range_bounds bounds;
    if (!book.find_range(program.range_name, bounds)) throw text_error("E026:  Range not found");
    if (bounds.sheet1 != bounds.sheet2) throw text_error("E006:  Three-dimensional ranges are not supported");
    // An inverted range (last row or column before the first) is too small as well.
    if (static_cast<long long>(bounds.row2) - bounds.row1 < 5 || bounds.column2 <= bounds.column1)
        throw text_error("E005:  Range is too small");

    const auto corner = [](int sheet, int row, int column) {
        return cell_address(static_cast<std::uint8_t>(sheet - 1), static_cast<std::uint16_t>(row - 1),
                          static_cast<std::uint8_t>(column - 1))
            .to_text();
    };
    program.range_coordinates = corner(bounds.sheet1, bounds.row1, bounds.column1) + ".." +
                        corner(bounds.sheet2, bounds.row2, bounds.column2);
    if (!book.select_range(program.range_name))
        throw text_error(fill("E004:  The range %s could not be found in the spreadsheet %s", {program.range_name, book.file_name()}));
    if (book.range_inverted()) throw text_error("E005:  Range is too small");

    std::string text;
    if (book.cursor_cell_kind() != kind_text || book.read_cursor_cell(text) != content_delivered || classify_label(text, program_loan_guarantee) != line_code::name)
        throw text_error("E012:  Upper-left corner of range does not contain the \"Name\" keyword");
    const keyword_value value = read_keyword_value(book);
    if (value.text.empty()) {
        program.add(30, fill("The value for \"Name\" in cell %s is missing", {value.cell}));
    } else {
        program.name = value.text;
    }

    read_header();

    if (!program.purpose) program.purpose = calculation_purpose::budget_formulation;
    if (!program.method) program.method = pro_rata_method::choose;
    if (program.cohorts.empty()) throw text_error("E010:  No cash flow estimates");
    if (program.budget_year == 0) program.budget_year = program.cohorts.front()->year + 1;
    return *program.cohorts.front();
}

void parser::read_header() {
    for (;;) {
        book.cursor_left(far_away);
        if (!book.cursor_down(1)) return;
        std::string text;
        if (book.cursor_cell_kind() != kind_text || book.read_cursor_cell(text) != content_delivered) continue;
        if (text.empty() || text.front() == '*' || text.compare(0, 2, "--") == 0 || only_blanks(text)) continue;
        const std::string cell = book.cursor_address_text();
        const line_code code = classify_label(text, program.program_type);
        switch (code) {
            // Keywords read elsewhere or not at all.
            case line_code::nothing:
            case line_code::account_type:
            case line_code::comparable_maturity:
            case line_code::deflators:
            case line_code::discount_rates:
            case line_code::estimate_type:
            case line_code::outlays_prior_ba:
            case line_code::calculate_ba:
            case line_code::full_precision:
            case line_code::enacted_ba:
                break;
            case line_code::amounts: read_amount_units(program, book); break;
            case line_code::single_effective_rate: read_single_effective_rate(program, book); break;
            case line_code::csv_file:
            case line_code::output_file:
            case line_code::sheet_file: read_file_name(program, book, code); break;
            case line_code::loan_type: read_loan_type(program, book); break;
            case line_code::method: read_method(program, book); break;
            case line_code::purpose: read_purpose(program, book); break;
            case line_code::rate_assumption: read_rate_assumption(program, book); break;
            case line_code::suppress_warnings: read_suppress_warnings(program, book); break;
            case line_code::cohort:
            case line_code::dl_obligations:
            case line_code::lg_commitments:
                if (program.factors().pending()) program.factors().check();
                start_cohort(code);
                break;
            case line_code::description: {
                const keyword_value value = read_keyword_value(book);
                if (value.text.empty()) {
                    program.add(30, fill("The value for \"Description\" in cell %s is missing", {value.cell}));
                } else if (!program.description.empty()) {
                    program.add(32, fill("A duplicate \"Description\" in cell %s was ignored", {cell}));
                } else {
                    program.description = value.text;
                }
                break;
            }
            case line_code::end:
                return;
            case line_code::name:
                program.add(32, fill("A duplicate \"Name\" in cell %s was ignored", {cell}));
                break;
            case line_code::program_type: {
                if (program.program_type != program_unknown) {
                    program.add(32, fill("A duplicate \"Program type\" in cell %s was ignored", {cell}));
                    break;
                }
                const char letter = first_upper(read_keyword_value(book).text);
                if (letter == 'D') {
                    program.program_type = program_direct_loan;
                } else if (letter == 'G' || letter == 'L') {
                    program.program_type = program_loan_guarantee;
                } else {
                    const std::string error = fill(
                        "E008:  Program type (on line beginning in %s) must be either \"direct\" or \"guaranteed\"", {cell});
                    program.add(31, error);
                    throw text_error(error);
                }
                break;
            }
            case line_code::q1_inflow:
            case line_code::q1_inflow_init:
            case line_code::q1_outflow:
            case line_code::q1_outflow_init:
            case line_code::q2_inflow:
            case line_code::q2_inflow_init:
            case line_code::q2_outflow:
            case line_code::q2_outflow_init:
            case line_code::q3_inflow:
            case line_code::q3_inflow_init:
            case line_code::q3_outflow:
            case line_code::q3_outflow_init:
            case line_code::q4_inflow:
            case line_code::q4_inflow_init:
            case line_code::q4_outflow:
            case line_code::q4_outflow_init:
                read_factor_row(code);
                break;
            case line_code::repeat:
                program.add(43, fill("Obsolete keyword REPEAT in cell %s was ignored", {cell}));
                break;
            case line_code::skip:
                program.add(43, fill("Obsolete keyword SKIP in cell %s was ignored", {cell}));
                break;
            case line_code::timing:
                read_timing_keyword(program, book);
                break;
            case line_code::budget_year: {
                if (program.budget_year != 0) {
                    program.add(32, fill("A duplicate \"Budget Year\" in cell %s was ignored", {cell}));
                    break;
                }
                const keyword_value value = read_keyword_value(book);
                int year = 0;
                double number = 0.0;
                if (value.result == content_delivered)
                    year = leading_integer(value.text);
                else if (value.kind == kind_number && book.read_cursor_cell(number) == content_delivered)
                    year = std::isfinite(number) ? truncate_to_int(number) : 0;
                if (!valid_year(year)) throw text_error("E013:  Budget year must be in the range 1992 through 3000");
                program.budget_year = year;
                break;
            }
            case line_code::unknown:
                if (program.program_type == program_unknown)
                    throw text_error("E007:  A \"Program type\" line must precede the cash flow estimates");
                program.add(39, fill("Cell %s:  unrecognized keyword ( %s )", {cell, text}));
                break;
            // Cash-flow lines outside a cohort; the end marker is never classified.
            case line_code::dl_disbursements:
            case line_code::dl_inflows_other:
            case line_code::dl_outflows_other:
            case line_code::dl_principal:
            case line_code::dl_interest:
            case line_code::dl_fees:
            case line_code::dl_defaults:
            case line_code::dl_losses:
            case line_code::dl_recoveries:
            case line_code::dl_prepayments:
            case line_code::lg_disbursements:
            case line_code::lg_pct_guaranteed:
            case line_code::lg_upfront_fees:
            case line_code::lg_annual_fees:
            case line_code::lg_premiums:
            case line_code::lg_inflows_other:
            case line_code::lg_default_payments:
            case line_code::lg_recoveries:
            case line_code::lg_interest_subsidy:
            case line_code::lg_outflows_other:
            case line_code::lg_lost_fees:
            case line_code::lg_saved_interest:
            case line_code::lg_misc_recoveries:
            case line_code::end_marker:
                program.add(39, fill("Cell %s:  unrecognized keyword ( %s )", {cell, text}));
                break;
        }
    }
}

void parser::read_factor_row(line_code code) {
    factor_kind kind{};
    int quarter = 0;
    if (!quarter_factors::from_line_code(code, kind, quarter)) return;
    const std::string cell = book.cursor_address_text();
    if (program.factors().sequence(kind, quarter).read) {
        program.add(32, fill("A duplicate \"%s\" line (%s) was ignored", {quarter_factors::line_name(kind, quarter), cell}));
        return;
    }
    std::string label;
    book.read_cursor_cell(label);

    // The values end at the last column when it holds a number, else at the
    // rightmost nonzero number.
    book.cursor_right(far_away);
    int end = -1;
    double number = 0.0;
    if (book.current_column() > book.first_column() && read_finite_number(book, number)) {
        end = book.current_column();
    } else {
        while (book.cursor_left(1) && book.current_column() > book.first_column()) {
            if (read_finite_number(book, number) && number != 0.0) {
                end = book.current_column();
                break;
            }
        }
    }
    std::vector<double> values;
    if (end >= 0) {
        book.cursor_left(far_away);
        for (int column = book.first_column() + 1; column <= end; ++column) {
            book.cursor_right(1);
            double value = 0.0;
            values.push_back(read_finite_number(book, value) ? value : 0.0);
        }
    }
    program.factors().store(kind, quarter, std::move(label), end >= 0, std::move(values));
}

void parser::start_cohort(line_code code) {
    if (program.program_type == program_unknown) throw text_error("E007:  A \"Program type\" line must precede the cash flow estimates");
    if (program.budget_year == 0) program.budget_year = default_budget_year;
    const std::string start_cell = book.cursor_address_text();

    int year = 0;
    if (code == line_code::cohort) {
        book.cursor_right(1);
        if (book.cursor_cell_kind() != kind_number) throw text_error("Missing year on \"cohort\" line");
        double number = 0.0;
        if (book.read_cursor_cell(number) != content_delivered) throw text_error("Missing year on \"cohort\" line");
        year = std::isfinite(number) ? truncate_to_int(number) : 0;
        if (!valid_year(year)) throw text_error("The year on \"cohort\" line must be between 1992 and 3000");
        for (const auto& earlier : program.cohorts) {
            if (earlier->year == year) {
                program.add(44, fill("The cohort beginning in cell %s has the same year as a previous cohort", {start_cell}));
                break;
            }
        }
    } else if (program.next_cohort_year != 0) {
        year = program.next_cohort_year;
        // Years follow one another from the last cohort; they must stay years the model knows.
        if (year > 3000) throw text_error("The year on \"cohort\" line must be between 1992 and 3000");
    } else {
        // Without a valid budget year no cohort year can be derived from it.
        if (!valid_year(program.budget_year)) throw text_error("E013:  Budget year must be in the range 1992 through 3000");
        year = defaults.first_year_is_budget_year ? program.budget_year : program.budget_year - 1;
    }
    program.next_cohort_year = year + 1;

    auto cohort = std::make_unique<fv::cohort>(&program, year, program.program_type);
    cohort->start_cell = start_cell;
    book.cursor_left(far_away);
    cohort->read_rows(book, code == line_code::cohort);
    if (cohort->rows.empty()) return;
    cohort->check_disbursement_periods();
    cohort->check_same_type_rows();
    program.cohorts.push_back(std::move(cohort));
}

}  // namespace

cohort& parse_range(workbook_file& book, std::string_view range_name, const range_defaults& defaults,
                    credit_program& program) {
    return parser(book, defaults, program).parse(range_name);
}

}  // namespace fv
