// What the tests of the XLSX and ODS readers share: loading a package made in
// memory through the front (so the reader is chosen as for a file), the load
// failure as text, and the cells of a workbook as short texts that a table of
// expected values can state.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "lotus_writer.h"
#include "util/text_error.h"
#include "workbook/workbook_file.h"
#include "workbook/workbook_dump.h"
#include "zip_package_writer.h"

namespace fv::test {

// A package written to a temporary file with the extension and loaded through workbook_file.
struct loaded_package {
    temp_file file;
    workbook_file book;
    std::string failure;  // "" when it loaded

    loaded_package(const zip_bytes& image, const std::string& extension) : file(image, extension), book(file.path()) {
        try {
            book.load();
        } catch (const text_error& error) {
            failure = error.text();
        }
    }
};

// Each data cell by its coordinate: a number as dumped ("2.5"), a text after
// a quote ("'Name"), anything else as "#kind/text code/number code".
inline std::map<std::string, std::string> cells_of(workbook_reader& book) {
    std::map<std::string, std::string> cells;
    book.use_cursor_addressing();
    for (const cell_address& address : book.data_cell_addresses()) {
        const std::string address_text = address.to_text();
        std::string text;
        double number = 0;
        const int kind = book.move_cursor(address_text);
        const int text_code = book.read_cell(address_text, text);
        const int number_code = book.read_cell(address_text, number);
        if (kind == kind_number && number_code == content_delivered) cells[address_text] = dump_number(number);
        else if (kind == kind_text && text_code == content_delivered) cells[address_text] = "'" + text;
        else cells[address_text] = "#" + std::to_string(kind) + "/" + std::to_string(text_code) + "/" + std::to_string(number_code);
    }
    return cells;
}

// A named range's corners as "sheet1 row1 column1 sheet2 row2 column2", or "-" when not found.
inline std::string corners_of(workbook_reader& book, const std::string& name) {
    range_bounds b;
    if (!book.find_range(name, b)) return "-";
    return std::to_string(b.sheet1) + " " + std::to_string(b.row1) + " " + std::to_string(b.column1) + " " +
           std::to_string(b.sheet2) + " " + std::to_string(b.row2) + " " + std::to_string(b.column2);
}

}  // namespace fv::test
