// Composing a display line: each field's rendered text is laid at its field's
// first column; a non-empty field blanks whatever ran on into it from before.
// Columns count characters, and a run-on text is cut between two of them.
#include "display/display_line.h"

#include <algorithm>
#include <utility>

#include "display/line_layout.h"
#include "util/safe_text.h"
#include "util/utf8_text.h"

namespace fv {

display_line::display_line(const line_layout& type) : layout_(&type) {}

display_field& display_line::append(display_field field) {
    field.field_number = count() + 1;
    fields_.push_back(std::move(field));
    return fields_.back();
}

display_field& display_line::add(std::string text, field_kind kind, field_alignment alignment) {
    return append(display_field(std::move(text), kind, alignment));
}

display_field& display_line::add_label(std::string text, field_alignment alignment) {
    // Cell texts and paths end up here; a line break or escape in one must
    // not break the display's lines in a file, a print-out or a terminal.
    return add(safe_text(text), field_kind::label, alignment);
}

display_field& display_line::add_number(std::string text, field_alignment alignment) {
    return add(std::move(text), field_kind::number, alignment);
}

display_field& display_line::add_empty() { return add({}, field_kind::empty, field_alignment::left); }

std::string display_line::compose(unsigned first, unsigned last) const {
    if (first == 0) first = 1;
    if (last == 0 || last > count()) last = count();
    const std::size_t width = layout_->width();
    // Columns past the end of the buffer are blanks; the buffer only grows as
    // far as content reaches, so very wide layouts cost nothing when sparse.
    // Columns are characters: `out` holds `out_columns` of them.
    std::string out;
    std::size_t out_columns = 0;
    std::size_t column = layout_->compose_column(first);
    const std::size_t start = column;
    for (unsigned n = first; n <= last; ++n) {
        const std::string piece = fields_[n - 1].render(*layout_, n);
        if (!piece.empty() && column < width) {
            if (out_columns > column) {
                out.resize(prefix_bytes(out, column));
                out_columns = column;
            }
            out.append(column - out_columns, ' ');
            const std::string_view kept = first_characters(piece, width - column);
            out += kept;
            out_columns = column + character_count(kept);
        }
        column = layout_->compose_column(n + 1);
    }
    const std::size_t start_byte = prefix_bytes(out, start);
    const auto end = out.find_last_not_of(' ');
    if (end == std::string::npos || end < start_byte) return {};
    return out.substr(start_byte, end + 1 - start_byte);
}

unsigned display_line::field_at_column(unsigned column) const {
    if (column == 0) return 0;
    for (unsigned n = count(); n >= 1; --n) {
        if (layout_->selection_column(n) <= column && !fields_[n - 1].text.empty()) return n;
    }
    return 0;
}

}  // namespace fv
