// The range parser: walks a named range row by row through the workbook's
// range cursor, reads the header keywords and their values, the "Timing" and
// quarter-factor rows, and starts a cohort at each cohort line. Problems that
// do not stop the load become numbered messages; the rest are thrown.
#include "cashflow/credit_program.h"

#include <climits>
#include <cmath>
#include <cstdio>

#include "cashflow/line_code.h"
#include "cashflow/input_text.h"
#include "cashflow/classify_label.h"
#include "cashflow/timing_spec.h"
#include "util/ascii.h"
#include "util/text_error.h"
#include "util/time_text.h"
#include "util/utf8_text.h"
#include "workbook/workbook_file.h"

namespace fv {

namespace {

constexpr unsigned far_away = 65536;  // more cells than any range holds

bool valid_year(int year) { return year >= 1992 && year <= 3000; }

char first_upper(std::string_view text) {
    return text.empty() ? '\0' : ascii_upper(text.front());
}

bool only_blanks(std::string_view text) { return skip_blanks(text).empty(); }

// A keyword's value: the cell right of the keyword, as text after leading
// blanks; empty when the cell holds no text.
struct keyword_value {
    int result = content_no_cell;
    int kind = kind_none;
    std::string text;
    std::string cell;
};

keyword_value read_value(workbook_file& book) {
    keyword_value value;
    book.cursor_right(1);
    value.cell = book.cursor_address_text();
    value.kind = book.cursor_cell_kind();
    std::string text;
    value.result = book.read_cursor_cell(text);
    if (value.result == content_delivered) value.text = std::string(skip_blanks(text));
    return value;
}

// A finite number in the cell under the cursor.
bool read_finite_number(workbook_file& book, double& number) {
    if (book.cursor_cell_kind() != kind_number) return false;
    double value = 0.0;
    if (book.read_cursor_cell(value) != content_delivered || !std::isfinite(value)) return false;
    number = value;
    return true;
}

std::string format_whole_number(double value) {
    const int size = std::snprintf(nullptr, 0, "%.0lf", value);
    if (size <= 0) return std::string();
    std::string text(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.0lf", value);
    text.resize(static_cast<std::size_t>(size));
    return text;
}

std::string trim_right(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ') --end;
    return std::string(text.substr(0, end));
}

// The header keywords with one value each. The cursor stands on the keyword's
// cell; a second occurrence is reported as a duplicate and ignored.
void report_duplicate(credit_program& program, const char* keyword, const std::string& keyword_cell) {
    program.add(32, fill("A duplicate \"%s\" in cell %s was ignored", {keyword, keyword_cell}));
}

void read_amount_units(credit_program& program, workbook_file& book) {
    if (program.amount_units) return report_duplicate(program, "Amount", book.cursor_address_text());
    const keyword_value value = read_value(book);
    if (value.text.empty())
        return program.add(30, fill("The value for \"Amount\" in cell %s is missing", {value.cell}));
    switch (first_upper(value.text)) {
        case 'D': program.amount_units = units_dollars; break;
        case 'T': program.amount_units = units_thousands; break;
        case 'M': program.amount_units = units_millions; break;
        case 'B': program.amount_units = units_billions; break;
        default:
            return program.add(31, fill("The value for \"Amount\" in cell %s must be DOLLARS, THOUSANDS, MILLIONS, or BILLIONS",
                                        {value.cell}));
    }
}

void read_single_effective_rate(credit_program& program, workbook_file& book) {
    if (program.single_effective_rate)
        return report_duplicate(program, "Single effective rate", book.cursor_address_text());
    const keyword_value value = read_value(book);
    if (value.text.empty())
        return program.add(30, fill("The value for \"Single effective rate\" in cell %s is missing or in an unexpected format",
                                    {value.cell}));
    const char letter = first_upper(value.text);
    const char second = value.text.size() > 1 ? first_upper(value.text.substr(1)) : '\0';
    if (letter == 'Y' || letter == 'T' || (letter == 'O' && second == 'N'))
        program.single_effective_rate = true;
    else if (letter == 'N' || letter == 'F' || (letter == 'O' && second == 'F'))
        program.single_effective_rate = false;
    else
        program.add(31, fill("The value for \"Single effective rate\" in cell %s must be YES (or TRUE or ON) or NO (or FALSE or OFF)",
                             {value.cell}));
}

// "Import file", "Output file" and "Sheet file".
void read_file_name(credit_program& program, workbook_file& book, line_code code) {
    const bool import_file = code == line_code::csv_file, output_file = code == line_code::output_file;
    std::string& file = import_file ? program.csv_file_name : output_file ? program.output_file_name : program.sheet_file_name;
    if (!file.empty())
        return report_duplicate(program, import_file ? "Import file" : output_file ? "Output file" : "Sheet file",
                                book.cursor_address_text());
    const keyword_value value = read_value(book);
    if (value.text.empty()) {
        const char* missing = import_file   ? "The value for \"Import-file\" in cell %s is missing"
                              : output_file ? "The value for \"Output file\" in cell %s was missing"
                                            : "The value for \"Sheet file\" in cell %s was missing";
        return program.add(30, fill(missing, {value.cell}));
    }
    file = value.text;
}

// Never a duplicate; a missing value is an invalid one.
void read_loan_type(credit_program& program, workbook_file& book) {
    const keyword_value value = read_value(book);
    const char letter = value.text.empty() ? '\0' : value.text.front();
    if (letter == 'C' || letter == 'c')
        program.loan_type = loan_model::construction;
    else if (letter == 'M' || letter == 'm')
        program.loan_type = loan_model::multiple;
    else
        program.add(30, fill("The value for \"Loan type\" in cell %s must be \"multiple\" or \"construction\"", {value.cell}));
}

void read_method(credit_program& program, workbook_file& book) {
    if (program.method) return report_duplicate(program, "Method", book.cursor_address_text());
    const keyword_value value = read_value(book);
    if (value.kind == kind_number) return;  // a number stands for "not given"
    if (value.text.empty()) return program.add(30, fill("The value for \"Method\" in cell %s is missing", {value.cell}));
    if (starts_with_ignoring_case(value.text, "force"))
        program.method = pro_rata_method::force;
    else if (starts_with_ignoring_case(value.text, "choose"))
        program.method = pro_rata_method::choose;
    else if (value.text.front() != '9')
        program.add(31, fill("The value for \"Method\" in cell %s must be \"FORCE PRO-RATA\" or \"CHOOSE\"", {value.cell}));
}

void read_purpose(credit_program& program, workbook_file& book) {
    if (program.purpose) return report_duplicate(program, "Purpose", book.cursor_address_text());
    const keyword_value value = read_value(book);
    if (value.text.empty()) return program.add(30, fill("The value for \"Purpose\" in cell %s is missing", {value.cell}));
    const char letter = first_upper(value.text);
    if (letter == 'A')
        program.purpose = calculation_purpose::analysis;
    else if (letter == 'B')
        program.purpose = calculation_purpose::budget_formulation;
    else
        program.add(31, fill("The value for \"Purpose\" in cell %s must be BUDGET or ANALYSIS", {value.cell}));
}

void read_rate_assumption(credit_program& program, workbook_file& book) {
    if (program.rate_assumption) return report_duplicate(program, "Rate assumption", book.cursor_address_text());
    const keyword_value value = read_value(book);
    if (value.text.empty())
        return program.add(30, fill("The value for \"Rate assumption\" in cell %s is missing", {value.cell}));
    const std::string_view text = value.text;
    std::size_t end = 0;
    while (end < text.size() && text[end] != ' ' && text[end] != ',' && text[end] != '-') ++end;
    const std::string_view word = text.substr(0, end);
    if (starts_with_ignoring_case(word, "actual"))
        program.rate_assumption = rate_source::actual;
    else if (starts_with_ignoring_case(word, "budget"))
        program.rate_assumption = rate_source::budget;
    else if (equal_ignoring_case(word, "own"))
        program.rate_assumption = rate_source::own;
    else {
        program.rate_assumption.reset();
        return program.add(31, fill("The value for \"Rate assumption\" in cell %s must begin with ACTUAL, BUDGET, or OWN",
                                    {value.cell}));
    }
    std::size_t at = end;
    while (at < text.size() && text[at] == ' ') ++at;
    if (at < text.size() && (text[at] == ',' || text[at] == '-')) ++at;
    while (at < text.size() && text[at] == ' ') ++at;
    std::string title = trim_right(text.substr(at));
    const bool numbered = !title.empty() && ascii_digit(title.front());
    // The title buffer holds 127 characters.
    if (program.rate_assumption == rate_source::actual && numbered) title = "FY " + std::string(first_characters(title, 124));
    if (program.rate_assumption == rate_source::budget && numbered) title = "Budget " + std::string(first_characters(title, 120));
    program.rate_title = title;
}

// Every row applies.
void read_suppress_warnings(credit_program& program, workbook_file& book) {
    keyword_value value = read_value(book);
    double number = 0.0;
    if (value.kind == kind_number && book.read_cursor_cell(number) == content_delivered)
        value.text = format_whole_number(number);
    if (value.text.empty())
        return program.add(30, fill("The value for \"Suppress warnings\" in cell %s is missing", {value.cell}));
    if (program.messages().apply_suppression(value.text) != 0) {
        program.add(31, fill("The value for \"Suppress warnings\" in cell %s must be", {value.cell}));
        program.add(31, "    a number, a range of numbers (like 30-35), combinations separated by");
        program.add(31, "    commas (like 30, 32-35, 37), or \"ALL\" or \"None\"");
    }
}

}  // namespace

credit_program::credit_program(std::time_t created) : run_time(time_text(created)) { messages_.reset(); }

void credit_program::set_default_budget_year(int year) {
    if (valid_year(year)) default_budget_year_ = year;
}

void credit_program::add(unsigned number, std::string_view text) { messages_.add(number, text); }

bool credit_program::quarter_factor(factor_kind kind, int cohort_year, std::array<double, 4>& fractions) const {
    return factors_.lookup(kind, cohort_year, budget_year, fractions);
}

bool credit_program::has_unequal_factors(line_code line, int cohort_year) const {
    return factors_.has_unequal_factors(in_inflow_class(line), cohort_year, budget_year);
}

void credit_program::reset_settings() {
    static_cast<program_settings&>(*this) = {};
    timing_ = timing_settings{};
}

void credit_program::clear() {
    reset_settings();
    cohorts.clear();
    factors_.clear();
    messages_.reset();
}

cohort& credit_program::load(workbook_file& book, std::string_view range) {
    clear();
    workbook_path = book.file_name();
    workbook_date = book.file_date();
    if (range.empty()) throw text_error("cf_pgm::load called with a NULL range name");
    range_name = std::string(range);

    range_bounds bounds;
    if (!book.find_range(range_name, bounds)) throw text_error("E026:  Range not found");
    if (bounds.sheet1 != bounds.sheet2) throw text_error("E006:  Three-dimensional ranges are not supported");
    // An inverted range (last row or column before the first) is too small as well.
    if (static_cast<long long>(bounds.row2) - bounds.row1 < 5 || bounds.column2 <= bounds.column1)
        throw text_error("E005:  Range is too small");

    const auto corner = [](int sheet, int row, int column) {
        return cell_address(static_cast<std::uint8_t>(sheet - 1), static_cast<std::uint16_t>(row - 1),
                          static_cast<std::uint8_t>(column - 1))
            .to_text();
    };
    range_coordinates = corner(bounds.sheet1, bounds.row1, bounds.column1) + ".." +
                        corner(bounds.sheet2, bounds.row2, bounds.column2);
    if (!book.select_range(range_name))
        throw text_error(fill("E004:  The range %s could not be found in the spreadsheet %s", {range_name, book.file_name()}));
    if (book.range_inverted()) throw text_error("E005:  Range is too small");

    std::string text;
    if (book.cursor_cell_kind() != kind_text || book.read_cursor_cell(text) != content_delivered || classify_label(text, program_loan_guarantee) != line_code::name)
        throw text_error("E012:  Upper-left corner of range does not contain the \"Name\" keyword");
    const keyword_value value = read_value(book);
    if (value.text.empty()) {
        add(30, fill("The value for \"Name\" in cell %s is missing", {value.cell}));
    } else {
        name = value.text;
    }

    read_header(book);

    if (!purpose) purpose = calculation_purpose::budget_formulation;
    if (!method) method = pro_rata_method::choose;
    if (cohorts.empty()) throw text_error("E010:  No cash flow estimates");
    if (budget_year == 0) budget_year = cohorts.front()->year + 1;
    return *cohorts.front();
}

void credit_program::read_header(workbook_file& book) {
    for (;;) {
        book.cursor_left(far_away);
        if (!book.cursor_down(1)) return;
        std::string text;
        if (book.cursor_cell_kind() != kind_text || book.read_cursor_cell(text) != content_delivered) continue;
        if (text.empty() || text.front() == '*' || text.compare(0, 2, "--") == 0 || only_blanks(text)) continue;
        const std::string cell = book.cursor_address_text();
        const line_code code = classify_label(text, program_type);
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
            case line_code::amounts: read_amount_units(*this, book); break;
            case line_code::single_effective_rate: read_single_effective_rate(*this, book); break;
            case line_code::csv_file:
            case line_code::output_file:
            case line_code::sheet_file: read_file_name(*this, book, code); break;
            case line_code::loan_type: read_loan_type(*this, book); break;
            case line_code::method: read_method(*this, book); break;
            case line_code::purpose: read_purpose(*this, book); break;
            case line_code::rate_assumption: read_rate_assumption(*this, book); break;
            case line_code::suppress_warnings: read_suppress_warnings(*this, book); break;
            case line_code::cohort:
            case line_code::dl_obligations:
            case line_code::lg_commitments:
                if (factors_.pending()) factors_.check();
                start_cohort(book, code);
                break;
            case line_code::description: {
                const keyword_value value = read_value(book);
                if (value.text.empty()) {
                    add(30, fill("The value for \"Description\" in cell %s is missing", {value.cell}));
                } else if (!description.empty()) {
                    add(32, fill("A duplicate \"Description\" in cell %s was ignored", {cell}));
                } else {
                    description = value.text;
                }
                break;
            }
            case line_code::end:
                return;
            case line_code::name:
                add(32, fill("A duplicate \"Name\" in cell %s was ignored", {cell}));
                break;
            case line_code::program_type: {
                if (program_type != program_unknown) {
                    add(32, fill("A duplicate \"Program type\" in cell %s was ignored", {cell}));
                    break;
                }
                const char letter = first_upper(read_value(book).text);
                if (letter == 'D') {
                    program_type = program_direct_loan;
                } else if (letter == 'G' || letter == 'L') {
                    program_type = program_loan_guarantee;
                } else {
                    const std::string error = fill(
                        "E008:  Program type (on line beginning in %s) must be either \"direct\" or \"guaranteed\"", {cell});
                    add(31, error);
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
                read_factor_row(book, code);
                break;
            case line_code::repeat:
                add(43, fill("Obsolete keyword REPEAT in cell %s was ignored", {cell}));
                break;
            case line_code::skip:
                add(43, fill("Obsolete keyword SKIP in cell %s was ignored", {cell}));
                break;
            case line_code::timing:
                read_timing(book);
                break;
            case line_code::budget_year: {
                if (budget_year != 0) {
                    add(32, fill("A duplicate \"Budget Year\" in cell %s was ignored", {cell}));
                    break;
                }
                const keyword_value value = read_value(book);
                int year = 0;
                double number = 0.0;
                if (value.result == content_delivered)
                    year = leading_integer(value.text);
                else if (value.kind == kind_number && book.read_cursor_cell(number) == content_delivered)
                    year = std::isfinite(number) ? truncate_to_int(number) : 0;
                if (!valid_year(year)) throw text_error("E013:  Budget year must be in the range 1992 through 3000");
                budget_year = year;
                break;
            }
            case line_code::unknown:
                if (program_type == program_unknown)
                    throw text_error("E007:  A \"Program type\" line must precede the cash flow estimates");
                add(39, fill("Cell %s:  unrecognized keyword ( %s )", {cell, text}));
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
                add(39, fill("Cell %s:  unrecognized keyword ( %s )", {cell, text}));
                break;
        }
    }
}

void credit_program::read_timing(workbook_file& book) {
    timing_.continuous = false;
    const keyword_value value = read_value(book);
    if (value.text.empty()) return add(30, fill("The value for \"Timing\" in cell %s is missing", {value.cell}));
    if (starts_with_ignoring_case(value.text, "simp")) {
        timing_.simple = true;
        timing_.continuous = false;
        timing_.given = true;
        return;
    }
    if (starts_with_ignoring_case(value.text, "cont")) {
        timing_.continuous = true;
        timing_.simple = false;
        timing_.given = true;
        return;
    }
    int frequency = 0, annual_total_frequency = 0, point = 0;
    if (!parse_timing_spec(value.text, &frequency, &annual_total_frequency, &point, nullptr, nullptr))
        return add(30, fill("The value for \"Timing\" in cell %s (%s) could not be interpreted", {value.cell, value.text}));
    timing_.simple = false;
    timing_.continuous = false;
    if (!timing_.given) timing_.frequency = timing_.annual_total_frequency = timing_.point = 0;
    if (frequency != 0) {
        timing_.frequency = frequency;
        timing_.annual_total_frequency = 0;
    }
    if (annual_total_frequency != 0) {
        timing_.annual_total_frequency = annual_total_frequency;
        timing_.frequency = 0;
    }
    if (point != 0) timing_.point = point;
    timing_.given = true;
}

void credit_program::read_factor_row(workbook_file& book, line_code code) {
    factor_kind kind{};
    int quarter = 0;
    if (!quarter_factors::from_line_code(code, kind, quarter)) return;
    const std::string cell = book.cursor_address_text();
    if (factors_.sequence(kind, quarter).read) {
        add(32, fill("A duplicate \"%s\" line (%s) was ignored", {quarter_factors::line_name(kind, quarter), cell}));
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
    factors_.store(kind, quarter, std::move(label), end >= 0, std::move(values));
}

void credit_program::start_cohort(workbook_file& book, line_code code) {
    if (program_type == program_unknown) throw text_error("E007:  A \"Program type\" line must precede the cash flow estimates");
    if (budget_year == 0) budget_year = default_budget_year_;
    const std::string start_cell = book.cursor_address_text();

    int year = 0;
    if (code == line_code::cohort) {
        book.cursor_right(1);
        if (book.cursor_cell_kind() != kind_number) throw text_error("Missing year on \"cohort\" line");
        double number = 0.0;
        if (book.read_cursor_cell(number) != content_delivered) throw text_error("Missing year on \"cohort\" line");
        year = std::isfinite(number) ? truncate_to_int(number) : 0;
        if (!valid_year(year)) throw text_error("The year on \"cohort\" line must be between 1992 and 3000");
        for (const auto& earlier : cohorts) {
            if (earlier->year == year) {
                add(44, fill("The cohort beginning in cell %s has the same year as a previous cohort", {start_cell}));
                break;
            }
        }
    } else if (next_cohort_year != 0) {
        year = next_cohort_year;
        // Years follow one another from the last cohort; they must stay years the model knows.
        if (year > 3000) throw text_error("The year on \"cohort\" line must be between 1992 and 3000");
    } else {
        // Without a valid budget year no cohort year can be derived from it.
        if (!valid_year(budget_year)) throw text_error("E013:  Budget year must be in the range 1992 through 3000");
        year = first_year_is_budget_year_ ? budget_year : budget_year - 1;
    }
    next_cohort_year = year + 1;

    auto cohort = std::make_unique<fv::cohort>(this, year, program_type);
    cohort->start_cell = start_cell;
    book.cursor_left(far_away);
    cohort->read_rows(book, code == line_code::cohort);
    if (cohort->rows.empty()) return;
    cohort->check_disbursement_periods();
    cohort->check_same_type_rows();
    cohorts.push_back(std::move(cohort));
}

}  // namespace fv
