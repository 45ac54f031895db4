// The header keywords: each reads the value right of its keyword into the
// program, reporting a missing, invalid or duplicate value as a numbered
// message.
#include "cashflow/header_keywords.h"

#include <cmath>
#include <cstdio>

#include "cashflow/credit_program.h"
#include "cashflow/input_text.h"
#include "cashflow/timing_spec.h"
#include "util/ascii.h"
#include "util/utf8_text.h"
#include "workbook/workbook_file.h"

namespace fv {

namespace {

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

void report_duplicate(credit_program& program, const char* keyword, const std::string& keyword_cell) {
    program.add(32, fill("A duplicate \"%s\" in cell %s was ignored", {keyword, keyword_cell}));
}

}  // namespace

keyword_value read_keyword_value(workbook_file& book) {
    keyword_value value;
    book.cursor_right(1);
    value.cell = book.cursor_address_text();
    value.kind = book.cursor_cell_kind();
    std::string text;
    value.result = book.read_cursor_cell(text);
    if (value.result == content_delivered) value.text = std::string(skip_blanks(text));
    return value;
}


void read_amount_units(credit_program& program, workbook_file& book) {
    if (program.amount_units) return report_duplicate(program, "Amount", book.cursor_address_text());
    const keyword_value value = read_keyword_value(book);
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
    const keyword_value value = read_keyword_value(book);
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
    const keyword_value value = read_keyword_value(book);
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
    const keyword_value value = read_keyword_value(book);
    const char letter = first_upper(value.text);
    if (letter == 'C')
        program.loan_type = loan_model::construction;
    else if (letter == 'M')
        program.loan_type = loan_model::multiple;
    else
        program.add(30, fill("The value for \"Loan type\" in cell %s must be \"multiple\" or \"construction\"", {value.cell}));
}

void read_method(credit_program& program, workbook_file& book) {
    if (program.method) return report_duplicate(program, "Method", book.cursor_address_text());
    const keyword_value value = read_keyword_value(book);
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
    const keyword_value value = read_keyword_value(book);
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
    const keyword_value value = read_keyword_value(book);
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
    keyword_value value = read_keyword_value(book);
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

void read_timing_keyword(credit_program& program, workbook_file& book) {
    timing_settings& timing = program.timing();
    timing.continuous = false;
    const keyword_value value = read_keyword_value(book);
    if (value.text.empty()) return program.add(30, fill("The value for \"Timing\" in cell %s is missing", {value.cell}));
    if (starts_with_ignoring_case(value.text, "simp")) {
        timing.simple = true;
        timing.continuous = false;
        timing.given = true;
        return;
    }
    if (starts_with_ignoring_case(value.text, "cont")) {
        timing.continuous = true;
        timing.simple = false;
        timing.given = true;
        return;
    }
    int frequency = 0, annual_total_frequency = 0, point = 0;
    if (!parse_timing_spec(value.text, &frequency, &annual_total_frequency, &point, nullptr, nullptr))
        return program.add(30, fill("The value for \"Timing\" in cell %s (%s) could not be interpreted", {value.cell, value.text}));
    timing.simple = false;
    timing.continuous = false;
    if (!timing.given) timing.frequency = timing.annual_total_frequency = timing.point = 0;
    if (frequency != 0) {
        timing.frequency = frequency;
        timing.annual_total_frequency = 0;
    }
    if (annual_total_frequency != 0) {
        timing.annual_total_frequency = annual_total_frequency;
        timing.frequency = 0;
    }
    if (point != 0) timing.point = point;
    timing.given = true;
}

}  // namespace fv
