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
#include "workbook/gen_file.h"

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
    loaded.get_content(text);
    loaded.get_content(number);
    loaded.get_type();

    const std::vector<cell_coord> cells = loaded.data_cell_addresses();
    for (const cell_coord& address : cells) {
        const std::string coord = address.to_text();
        loaded.get_content(coord, text);
        loaded.get_content(coord, number);
    }
    loaded.use_cursor();
    for (const cell_coord& address : cells) {
        loaded.set_cursor(address.to_text());
        loaded.get_type();
        loaded.get_content(text);
        loaded.get_content(number);
    }

    gen_file front("", std::move(book));
    for (const std::string& name : front.get_ranges()) {
        range_bounds bounds;
        front.get_range_coord(name, bounds);
        try {
            if (!front.use_range(name)) continue;
        } catch (const text_error&) {
            continue;  // a three-dimensional range
        }
        // Walk a corner of the range cell by cell, then jump to its far edges.
        for (int row = 0; row < 32; ++row) {
            for (int column = 0; column < 32; ++column) {
                front.rc_content(text);
                front.rc_content(number);
                front.rc_type();
                front.rc_coord();
                if (!front.rc_right(1)) break;
            }
            front.rc_left(1u << 20);
            if (!front.rc_down(1)) break;
        }
        front.rc_right(1u << 20);
        front.rc_down(1u << 20);
        front.rc_content(text);
        front.rc_type();
        front.rc_up(3);
        front.rc_left(0);
        front.rc_content(number);
    }
    front.get_candidate_ranges();
    front.sheet_names();
    front.omissions();
    return 0;
}

}  // namespace fv::fuzz
