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

}  // namespace

credit_program::credit_program(std::time_t created) : run_time(time_text(created)) { messages_.reset(); }

void credit_program::set_default_budget_year(int year) {
    if (valid_year(year)) default_budget_year_ = year;
}

void credit_program::add(unsigned number, std::string_view text) { messages_.add(number, text); }

bool credit_program::quarter_factor(factor_kind kind, int cohort_year, std::array<double, 4>& fractions) const {
    return factors_.lookup(kind, cohort_year, budget_year, fractions);
}

bool credit_program::has_unequal_factors(int line, int cohort_year) const {
    return factors_.has_unequal_factors(in_inflow_class(line), cohort_year, budget_year);
}

void credit_program::reset_settings() {
    workbook_path.clear();
    workbook_date.clear();
    range_name.clear();
    range_coordinates.clear();
    name.clear();
    description.clear();
    name_given = description_given = false;
    program_type = 0;
    budget_year = 0;
    next_cohort_year = 0;
    amount_units = 0;
    amount_given = false;
    single_effective_rate = -1;
    method = -1;
    purpose = 0;
    loan_type = 1;
    rate_assumption = 0;
    rate_title.clear();
    rate_title_given = false;
    csv_file_name.clear();
    output_file_name.clear();
    sheet_file_name.clear();
    csv_file_given = output_file_given = sheet_file_given = false;
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
    if (book.cursor_cell_kind() != kind_text || book.read_cursor_cell(text) != content_delivered || classify_label(text, 2) != 14)
        throw text_error("E012:  Upper-left corner of range does not contain the \"Name\" keyword");
    const keyword_value value = read_value(book);
    if (value.text.empty()) {
        add(30, fill("The value for \"Name\" in cell %s is missing", {value.cell}));
    } else {
        name = value.text;
        name_given = true;
    }

    read_header(book);

    if (amount_units == 0) amount_units = 3;
    if (purpose == 0) purpose = 1;
    if (method == -1) method = 0;
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
        const int code = classify_label(text, program_type);
        switch (code) {
            case 0: case 1: case 4: case 7: case 9: case 11: case 16: case 41: case 42: case 44:
                break;
            case 2: case 5: case 6: case 12: case 13: case 15: case 18: case 35: case 39: case 40:
                header_keyword(book, code);
                break;
            case 3: case 45: case 56:
                if (factors_.pending()) factors_.check();
                start_cohort(book, code);
                break;
            case 8: {
                const keyword_value value = read_value(book);
                if (value.text.empty()) {
                    add(30, fill("The value for \"Description\" in cell %s is missing", {value.cell}));
                } else if (description_given) {
                    add(32, fill("A duplicate \"Description\" in cell %s was ignored", {cell}));
                } else {
                    description = value.text;
                    description_given = true;
                }
                break;
            }
            case 10:
                return;
            case 14:
                add(32, fill("A duplicate \"Name\" in cell %s was ignored", {cell}));
                break;
            case 17: {
                if (program_type != 0) {
                    add(32, fill("A duplicate \"Program type\" in cell %s was ignored", {cell}));
                    break;
                }
                const char letter = first_upper(read_value(book).text);
                if (letter == 'D') {
                    program_type = 1;
                } else if (letter == 'G' || letter == 'L') {
                    program_type = 2;
                } else {
                    const std::string error = fill(
                        "E008:  Program type (on line beginning in %s) must be either \"direct\" or \"guaranteed\"", {cell});
                    add(31, error);
                    throw text_error(error);
                }
                break;
            }
            case 19: case 20: case 21: case 22: case 23: case 24: case 25: case 26:
            case 27: case 28: case 29: case 30: case 31: case 32: case 33: case 34:
                read_factor_row(book, code);
                break;
            case 36:
                add(43, fill("Obsolete keyword REPEAT in cell %s was ignored", {cell}));
                break;
            case 37:
                add(43, fill("Obsolete keyword SKIP in cell %s was ignored", {cell}));
                break;
            case 38:
                read_timing(book);
                break;
            case 43: {
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
            case 70:
                if (program_type == 0)
                    throw text_error("E007:  A \"Program type\" line must precede the cash flow estimates");
                add(39, fill("Cell %s:  unrecognized keyword ( %s )", {cell, text}));
                break;
            default:
                add(39, fill("Cell %s:  unrecognized keyword ( %s )", {cell, text}));
                break;
        }
    }
}

void credit_program::header_keyword(workbook_file& book, int code) {
    const std::string keyword_cell = book.cursor_address_text();
    const auto duplicate = [&](const char* keyword) {
        add(32, fill("A duplicate \"%s\" in cell %s was ignored", {keyword, keyword_cell}));
    };
    switch (code) {
        case 2: {  // Amount
            if (amount_units != 0) return duplicate("Amount");
            const keyword_value value = read_value(book);
            if (value.text.empty())
                return add(30, fill("The value for \"Amount\" in cell %s is missing", {value.cell}));
            switch (first_upper(value.text)) {
                case 'D': amount_units = 1; break;
                case 'T': amount_units = 2; break;
                case 'M': amount_units = 3; break;
                case 'B': amount_units = 4; break;
                default:
                    return add(31, fill("The value for \"Amount\" in cell %s must be DOLLARS, THOUSANDS, MILLIONS, or BILLIONS",
                                        {value.cell}));
            }
            amount_given = true;
            return;
        }
        case 5: {  // Single effective rate
            if (single_effective_rate == 0 || single_effective_rate == 1) return duplicate("Single effective rate");
            const keyword_value value = read_value(book);
            if (value.text.empty())
                return add(30, fill("The value for \"Single effective rate\" in cell %s is missing or in an unexpected format",
                                    {value.cell}));
            const char letter = first_upper(value.text);
            const char second = value.text.size() > 1 ? first_upper(value.text.substr(1)) : '\0';
            if (letter == 'Y' || letter == 'T' || (letter == 'O' && second == 'N'))
                single_effective_rate = 1;
            else if (letter == 'N' || letter == 'F' || (letter == 'O' && second == 'F'))
                single_effective_rate = 0;
            else
                add(31, fill("The value for \"Single effective rate\" in cell %s must be YES (or TRUE or ON) or NO (or FALSE or OFF)",
                             {value.cell}));
            return;
        }
        case 6:    // Import file
        case 15:   // Output file
        case 40: {  // Sheet file
            std::string& file = code == 6 ? csv_file_name : code == 15 ? output_file_name : sheet_file_name;
            bool& given = code == 6 ? csv_file_given : code == 15 ? output_file_given : sheet_file_given;
            if (given) return duplicate(code == 6 ? "Import file" : code == 15 ? "Output file" : "Sheet file");
            const keyword_value value = read_value(book);
            if (value.text.empty()) {
                const char* missing = code == 6    ? "The value for \"Import-file\" in cell %s is missing"
                                      : code == 15 ? "The value for \"Output file\" in cell %s was missing"
                                                   : "The value for \"Sheet file\" in cell %s was missing";
                return add(30, fill(missing, {value.cell}));
            }
            file = value.text;
            given = true;
            return;
        }
        case 12: {  // Loan type: never a duplicate; a missing value is an invalid one
            const keyword_value value = read_value(book);
            const char letter = value.text.empty() ? '\0' : value.text.front();
            if (letter == 'C' || letter == 'c')
                loan_type = 1;
            else if (letter == 'M' || letter == 'm')
                loan_type = 0;
            else
                add(30, fill("The value for \"Loan type\" in cell %s must be \"multiple\" or \"construction\"", {value.cell}));
            return;
        }
        case 13: {  // Method
            if (method == 0 || method == 1) return duplicate("Method");
            const keyword_value value = read_value(book);
            if (value.kind == kind_number) return;  // a number stands for "not given"
            if (value.text.empty())
                return add(30, fill("The value for \"Method\" in cell %s is missing", {value.cell}));
            if (starts_with_ignoring_case(value.text, "force"))
                method = 1;
            else if (starts_with_ignoring_case(value.text, "choose"))
                method = 0;
            else if (value.text.front() != '9')
                add(31, fill("The value for \"Method\" in cell %s must be \"FORCE PRO-RATA\" or \"CHOOSE\"", {value.cell}));
            return;
        }
        case 18: {  // Purpose
            if (purpose != 0) return duplicate("Purpose");
            const keyword_value value = read_value(book);
            if (value.text.empty())
                return add(30, fill("The value for \"Purpose\" in cell %s is missing", {value.cell}));
            const char letter = first_upper(value.text);
            if (letter == 'A')
                purpose = 5;
            else if (letter == 'B')
                purpose = 1;
            else
                add(31, fill("The value for \"Purpose\" in cell %s must be BUDGET or ANALYSIS", {value.cell}));
            return;
        }
        case 35: {  // Rate assumption
            if (rate_assumption != 0) return duplicate("Rate assumption");
            const keyword_value value = read_value(book);
            if (value.text.empty())
                return add(30, fill("The value for \"Rate assumption\" in cell %s is missing", {value.cell}));
            const std::string_view text = value.text;
            std::size_t end = 0;
            while (end < text.size() && text[end] != ' ' && text[end] != ',' && text[end] != '-') ++end;
            const std::string_view word = text.substr(0, end);
            if (starts_with_ignoring_case(word, "actual"))
                rate_assumption = 1;
            else if (starts_with_ignoring_case(word, "budget"))
                rate_assumption = 2;
            else if (equal_ignoring_case(word, "own"))
                rate_assumption = 3;
            else {
                rate_assumption = 0;
                return add(31, fill("The value for \"Rate assumption\" in cell %s must begin with ACTUAL, BUDGET, or OWN",
                                    {value.cell}));
            }
            std::size_t at = end;
            while (at < text.size() && text[at] == ' ') ++at;
            if (at < text.size() && (text[at] == ',' || text[at] == '-')) ++at;
            while (at < text.size() && text[at] == ' ') ++at;
            std::string title = trim_right(text.substr(at));
            const bool numbered = !title.empty() && ascii_digit(title.front());
            // The title buffer holds 127 characters.
            if (rate_assumption == 1 && numbered) title = "FY " + std::string(first_characters(title, 124));
            if (rate_assumption == 2 && numbered) title = "Budget " + std::string(first_characters(title, 120));
            rate_title = title;
            rate_title_given = !title.empty();
            return;
        }
        case 39: {  // Suppress warnings: every row applies
            keyword_value value = read_value(book);
            double number = 0.0;
            if (value.kind == kind_number && book.read_cursor_cell(number) == content_delivered)
                value.text = format_whole_number(number);
            if (value.text.empty())
                return add(30, fill("The value for \"Suppress warnings\" in cell %s is missing", {value.cell}));
            if (messages_.apply_suppression(value.text) != 0) {
                add(31, fill("The value for \"Suppress warnings\" in cell %s must be", {value.cell}));
                add(31, "    a number, a range of numbers (like 30-35), combinations separated by");
                add(31, "    commas (like 30, 32-35, 37), or \"ALL\" or \"None\"");
            }
            return;
        }
        default:
            return;
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

void credit_program::read_factor_row(workbook_file& book, int code) {
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

void credit_program::start_cohort(workbook_file& book, int code) {
    if (program_type == 0) throw text_error("E007:  A \"Program type\" line must precede the cash flow estimates");
    if (budget_year == 0) budget_year = default_budget_year_;
    const std::string start_cell = book.cursor_address_text();

    int year = 0;
    if (code == 3) {
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
    cohort->read_rows(book, code == 3);
    if (cohort->rows.empty()) return;
    cohort->check_disbursement_periods();
    cohort->check_same_type_rows();
    cohorts.push_back(std::move(cohort));
}

}  // namespace fv
