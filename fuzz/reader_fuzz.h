// The body shared by the reader fuzz targets: load arbitrary bytes with one
// reader, then ask every query of the workbook interface and of the range
// cursor on whatever loaded. Failures thrown as text_error are the expected
// answer to bad input; anything else (a crash, a sanitizer report, a hang) is
// a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "util/text_error.h"
#include "workbook/workbook_file.h"

namespace fv::fuzz {

// `load` gives the reader the bytes as the image of a whole file.
template <class reader, class loader>
int run_reader(const std::uint8_t* data, std::size_t size, loader load) {
    auto book = std::make_unique<reader>("");
    try {
        ((*book).*load)(std::vector<unsigned char>(data, data + size));
    } catch (const text_error&) {
        return 0;
    }
    reader& loaded = *book;
    std::string text;
    double number = 0;

    // List addressing first: the first data cell of the file.
    loaded.read_current_cell(text);
    loaded.read_current_cell(number);
    loaded.current_cell_kind();

    const std::vector<cell_address> cells = loaded.data_cell_addresses();
    for (const cell_address& address : cells) {
        const std::string address_text = address.to_text();
        loaded.read_cell(address_text, text);
        loaded.read_cell(address_text, number);
    }
    loaded.use_cursor_addressing();
    for (const cell_address& address : cells) {
        loaded.move_cursor(address.to_text());
        loaded.current_cell_kind();
        loaded.read_current_cell(text);
        loaded.read_current_cell(number);
    }

    workbook_file front("", std::move(book));
    for (const std::string& name : front.range_names()) {
        range_bounds bounds;
        front.find_range(name, bounds);
        try {
            if (!front.select_range(name)) continue;
        } catch (const text_error&) {
            continue;  // a three-dimensional range
        }
        // Walk a corner of the range cell by cell, then jump to its far edges.
        for (int row = 0; row < 32; ++row) {
            for (int column = 0; column < 32; ++column) {
                front.read_cursor_cell(text);
                front.read_cursor_cell(number);
                front.cursor_cell_kind();
                front.cursor_address_text();
                if (!front.cursor_right(1)) break;
            }
            front.cursor_left(1u << 20);
            if (!front.cursor_down(1)) break;
        }
        front.cursor_right(1u << 20);
        front.cursor_down(1u << 20);
        front.read_cursor_cell(text);
        front.cursor_cell_kind();
        front.cursor_up(3);
        front.cursor_left(0);
        front.read_cursor_cell(number);
    }
    front.candidate_ranges();
    front.sheet_names();
    front.omissions();
    return 0;
}

}  // namespace fv::fuzz
