// Small workbooks for the parser tests: rows of cells written in the test
// code, one named range "RANGE" over them, loaded through workbook_file.
#pragma once

#include <cmath>
#include <ctime>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cashflow/credit_program.h"
#include "cashflow/range_parser.h"
#include "util/text_error.h"
#include "workbook/memory_workbook.h"

namespace fv::testing {

// One cell of a fixture row.
struct cell {
    enum class kind { blank, number, label, error, not_available } what = kind::blank;
    double number = 0.0;
    std::string text;

    cell() = default;
    cell(double value) : what(kind::number), number(value) {}  // NOLINT: rows read like spreadsheets
    cell(int value) : what(kind::number), number(value) {}     // NOLINT
    cell(const char* value) : what(kind::label), text(value) {}  // NOLINT
    cell(std::string value) : what(kind::label), text(std::move(value)) {}  // NOLINT
    static cell error() { cell c; c.what = kind::error; return c; }
    static cell not_available() { cell c; c.what = kind::not_available; return c; }
};

using row = std::vector<cell>;

inline const cell blank{};

// Writes the rows from A:A1 on; the range spans every row (at least six) and
// `width` columns (default: the widest row, at least two).
inline std::unique_ptr<workbook_file> make_book(const std::vector<row>& rows, int width = 0) {
    auto book = std::make_unique<memory_workbook>("fixture.wk1");
    std::size_t widest = 2;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        widest = std::max(widest, rows[r].size());
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const cell& value = rows[r][c];
            const int ri = static_cast<int>(r), ci = static_cast<int>(c);
            switch (value.what) {
                case cell::kind::blank: break;
                case cell::kind::number: book->set_number(0, ri, ci, value.number); break;
                case cell::kind::label: book->set_label(0, ri, ci, value.text); break;
                case cell::kind::error: book->set_error(0, ri, ci); break;
                case cell::kind::not_available: book->set_not_available(0, ri, ci); break;
            }
        }
    }
    range_bounds bounds;
    bounds.sheet1 = bounds.sheet2 = 1;
    bounds.row1 = bounds.column1 = 1;
    bounds.row2 = static_cast<int>(std::max<std::size_t>(rows.size(), 6));
    bounds.column2 = width > 0 ? width : static_cast<int>(widest);
    book->add_named_range("RANGE", bounds);
    return open_memory_workbook(std::move(book));
}

// The outcome of loading rows: the program, or the text that stopped the load.
struct load_result {
    std::unique_ptr<credit_program> program = std::make_unique<credit_program>(std::time_t{0});
    std::optional<std::string> error;
};

inline load_result load_rows(const std::vector<row>& rows, int default_budget_year = 0, bool first_year_is_by = false,
                             int width = 0) {
    load_result result;
    auto book = make_book(rows, width);
    try {
        parse_range(*book, "RANGE", {default_budget_year, first_year_is_by}, *result.program);
    } catch (const text_error& failure) {
        result.error = failure.text();
    }
    return result;
}

// The header of a direct-loan (or guarantee) program before its cohorts.
inline std::vector<row> header(const char* type = "direct", int budget = 2001) {
    return {{"Name", "Test program"}, {"Program type", type}, {"Budget year", budget}};
}

inline std::vector<row> operator+(std::vector<row> a, const std::vector<row>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The program's messages as (number, text) pairs in list order.
inline std::vector<std::pair<unsigned, std::string>> all_messages(const credit_program& program) {
    std::vector<std::pair<unsigned, std::string>> out;
    for (const auto& message : program.messages().list()) out.emplace_back(message.number, message.text);
    return out;
}

inline std::vector<std::string> message_texts(const credit_program& program, unsigned number) {
    std::vector<std::string> texts;
    for (const auto& [n, text] : all_messages(program))
        if (n == number) texts.push_back(text);
    return texts;
}

inline bool has_message(const credit_program& program, unsigned number, const std::string& text) {
    for (const auto& [n, t] : all_messages(program))
        if (n == number && t == text) return true;
    return false;
}

inline std::string dump_messages(const credit_program& program) {
    std::string out;
    for (const auto& [n, text] : all_messages(program)) out += std::to_string(n) + ": " + text + "\n";
    return out;
}

}  // namespace fv::testing
