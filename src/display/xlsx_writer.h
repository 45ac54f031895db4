// The XLSX writer: the displays as an Excel 2007+ workbook for the spreadsheet
// output file, one worksheet per display. Labels become text cells aligned as
// their prefix says, numbers become number cells with a format of their
// decimals; the column widths are those of the WK3 output's template
// ("4.bin"), so a display keeps its fixed-pitch columns. The workbook is made
// by libxlsxwriter in a private folder and then written through the same
// checked replacement as the other outputs.
#pragma once

#include <map>
#include <string>
#include <variant>

#include "display/sheet_writer.h"

namespace fv {

class xlsx_writer : public sheet_writer {
public:
    // Longest text a cell holds, in characters.
    static constexpr std::size_t max_label = 32767;
    // Rows a worksheet has.
    static constexpr std::uint32_t last_xlsx_row = 1048575;

    using sheet_writer::sheet_writer;

    void add_label(std::string_view text, char prefix) override;
    // The text read as a number in the C locale; a fixed format of the
    // decimals when the format option is set, else with thousands separators.
    void add_number(std::string_view number_text, int decimals, int format_option) override;
    // Throws "clip_xlsx::render unable to open \"<template>\"" when the
    // template cannot be read, "clip_xlsx::render unable to create the
    // workbook: <reason>" when the library fails, and "clip_xlsx::render
    // unable to open spreadsheet output file <path>" when the output file
    // cannot be written.
    std::vector<unsigned char> render(const std::string& output_path = {}) override;
    void add_number(double value, int decimals) override;
    // The current sheet becomes a worksheet of this name even when no cell
    // is written to it.
    void name_sheet(const std::string& name) override;

    // The widths the template gives: per sheet, the default and column ones.
    struct sheet_widths {
        unsigned default_width = 0;  // 0: the library's default
        std::map<unsigned, unsigned> columns;
    };
    static std::map<unsigned, sheet_widths> template_widths(const std::vector<unsigned char>& template_bytes);

private:
    enum class alignment { left, right, centred, fill };
    struct label {
        std::string text;
        alignment align;
    };
    struct number {
        double value;
        int decimals;
        bool thousands;
    };
    struct cell {
        std::uint32_t row;
        unsigned column;
        std::variant<label, number> value;
    };
    struct sheet {
        std::string name;
        std::vector<cell> cells;
    };

    void add_cell(std::variant<label, number> value);
    std::vector<unsigned char> make_workbook(const std::map<unsigned, sheet_widths>& widths) const;

    std::map<unsigned, sheet> sheets_;
};

}  // namespace fv
