// A block of a display as a table of cells, for pasting into any spreadsheet
// program: an HTML table and tab-separated text. Labels stay text; figures are
// the same numbers the WK1 and WK3 forms hold, written in their shortest exact
// decimal form.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fv {

class cell_table {
public:
    // What a display page's write_to() needs.
    void add_label(std::string_view text, char prefix);
    void add_number(std::string_view number_text, int decimals, int format_option);
    void next_column() { ++column_; }
    void next_row();

    // A whole HTML document holding one table, in UTF-8.
    std::string html() const;
    // One line per row ending in CR LF, the cells of a row separated by tabs.
    std::string tab_separated() const;

private:
    struct cell {
        std::string text;  // a label's text or a figure's decimal form
        bool number = false;
    };
    using row = std::vector<cell>;

    void add(cell content);

    std::vector<row> rows_{1};
    std::size_t column_ = 0;
};

}  // namespace fv
