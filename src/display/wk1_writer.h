// The WK1 writer: a display as a Lotus WK1 worksheet for the clipboard.
// Labels and numbers become label and number cell records; the template
// ("1.bin") supplies everything else, and its range record gets the extent.
#pragma once

#include "display/sheet_writer.h"

namespace fv {

class wk1_writer : public sheet_writer {
public:
    // Longest label text a WK1 label cell takes, in bytes of its character set (LICS).
    static constexpr std::size_t max_label = 239;

    using sheet_writer::sheet_writer;

    void add_label(std::string_view text, char prefix) override;
    // The text is read as atof reads it, in the C locale. The format byte is
    // fixed (128) when the format option is not 0, else comma (192), plus the
    // decimals in its low 4 bits.
    void add_number(std::string_view number_text, int decimals, int format_option) override;
    // Throws "clip_wk1::render unable to open \"1.bin\" in the exe root
    // directory" when the template cannot be read, and "clip_wk1::render
    // unable to open spreadsheet output file <path>" when the output file
    // cannot be written.
    std::vector<unsigned char> render(const std::string& output_path = {}) override;
    void add_number(double value, int decimals) override;

private:
    void add_number_cell(unsigned format, double value);
};

}  // namespace fv
