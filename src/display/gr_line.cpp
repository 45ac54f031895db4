// Composing a display line: each field's rendered text is laid at its field's
// first column; a non-empty field blanks whatever ran on into it from before.
// Columns count characters, and a run-on text is cut between two of them.
#include "display/gr_line.h"

#include <algorithm>
#include <utility>

#include "display/gr_line_type.h"
#include "util/safe_text.h"
#include "util/utf8_text.h"

namespace fv {

gr_line::gr_line(const gr_line_type& type) : type_(&type) {}

gr_field& gr_line::append(gr_field field) {
    field.field_number = count() + 1;
    fields_.push_back(std::move(field));
    return fields_.back();
}

gr_field& gr_line::add(std::string text, gr_kind kind, gr_align alignment) {
    return append(gr_field(std::move(text), kind, alignment));
}

gr_field& gr_line::add_label(std::string text, gr_align alignment) {
    // Cell texts and paths end up here; a line break or escape in one must
    // not break the display's lines in a file, a print-out or a terminal.
    return add(safe_text(text), gr_kind::label, alignment);
}

gr_field& gr_line::add_number(std::string text, gr_align alignment) {
    return add(std::move(text), gr_kind::number, alignment);
}

gr_field& gr_line::add_empty() { return add({}, gr_kind::empty, gr_align::left); }

std::string gr_line::compose(unsigned first, unsigned last) const {
    if (first == 0) first = 1;
    if (last == 0 || last > count()) last = count();
    const std::size_t width = type_->width();
    // Columns past the end of the buffer are blanks; the buffer only grows as
    // far as content reaches, so very wide layouts cost nothing when sparse.
    // Columns are characters: `out` holds `out_columns` of them.
    std::string out;
    std::size_t out_columns = 0;
    std::size_t column = type_->compose_column(first);
    const std::size_t start = column;
    for (unsigned n = first; n <= last; ++n) {
        const std::string piece = fields_[n - 1].render(*type_, n);
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
        column = type_->compose_column(n + 1);
    }
    const std::size_t start_byte = prefix_bytes(out, start);
    const auto end = out.find_last_not_of(' ');
    if (end == std::string::npos || end < start_byte) return {};
    return out.substr(start_byte, end + 1 - start_byte);
}

unsigned gr_line::field_at_column(unsigned column) const {
    if (column == 0) return 0;
    for (unsigned n = count(); n >= 1; --n) {
        if (type_->selection_column(n) <= column && !fields_[n - 1].text.empty()) return n;
    }
    return 0;
}

}  // namespace fv
