// The WK3 writer: a display as a three-dimensional Lotus worksheet, for the
// clipboard (template "3.bin") and the spreadsheet output file ("4.bin", one
// display per sheet). Numbers are stored as exact extended reals of their
// decimal text; the template's beginning-of-file record gets the extent.
#pragma once

#include "display/sheet_writer.h"

namespace fv {

class wk3_writer : public sheet_writer {
public:
    // Longest label text a WK3 label cell takes, in bytes of its character set (LMBCS).
    static constexpr std::size_t max_label = 512;

    using sheet_writer::sheet_writer;

    void add_label(std::string_view text, char prefix) override;
    // The text converted exactly by decimal_to_extended (whose failures pass through);
    // decimals and format option are not used.
    void add_number(std::string_view number_text, int decimals, int format_option) override;
    // Throws "clip_wk3::render unable to open \"<template>\"" when the template
    // cannot be read, and "clip_wk3::render unable to open spreadsheet output
    // file <path>" when the output file cannot be written.
    std::vector<unsigned char> render(const std::string& output_path = {}) override;
    // Formatted with "%.*lf" and the decimals, then written as number text.
    void add_number(double value, int decimals) override;

private:
    void put_cell_header(std::vector<unsigned char>& data) const;
};

}  // namespace fv
