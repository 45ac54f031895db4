// Rendering of one piece of display content into its field: alignment inside
// the field width, the margin kept right of numbers, spans and repeat fills.
// Widths count characters (see util/utf8_text.h), not bytes.
#include "display/display_field.h"

#include <utility>

#include "display/line_layout.h"
#include "util/ascii.h"
#include "util/utf8_text.h"

namespace fv {

display_field::display_field(std::string text_in, field_kind kind_in, field_alignment alignment_in, unsigned number)
    : text(std::move(text_in)), kind(kind_in), alignment(alignment_in), field_number(number) {}

std::string display_field::render(const line_layout& type, unsigned field) const {
    if (text.empty()) return {};
    // A line break or other control character inside a cell text would break
    // the line apart or hide part of it.
    const std::string shown = with_controls_blanked(text);
    const std::size_t a = character_count(shown);
    std::size_t w = type.field_width(field);
    const std::size_t m = kind == field_kind::number ? type.margin(field) : 0;
    if (alignment == field_alignment::centred && span > 1) {
        for (unsigned k = 1; k < span; ++k) w += type.field_width(field + k);
    }
    const bool aligned = alignment == field_alignment::right || alignment == field_alignment::centred ||
                         alignment == field_alignment::repeat;
    if (!aligned || w < m + a) return shown;

    std::size_t before = 0;
    switch (alignment) {
    case field_alignment::right: before = w - a - m; break;
    case field_alignment::centred: before = (w - a) / 2; break;
    case field_alignment::repeat: {
        const std::string_view first = first_characters(shown, 1);
        std::string out;
        out.reserve(first.size() * w);
        for (std::size_t i = 0; i < w; ++i) out += first;
        return out;
    }
    case field_alignment::left:
    default: break;
    }
    std::string out(before, ' ');
    out += shown;
    out.append(w - before - a, ' ');
    return out;
}

char display_field::label_prefix() const {
    switch (alignment) {
    case field_alignment::right: return '"';
    case field_alignment::centred: return '^';
    case field_alignment::repeat: return '\\';
    case field_alignment::left:
    default: return '\'';
    }
}

int display_field::decimals() const {
    const auto point = text.find('.');
    if (point == std::string::npos) return 0;
    int count = 0;
    for (std::size_t i = point + 1; i < text.size() && ascii_digit(text[i]); ++i)
        ++count;
    return count;
}

}  // namespace fv
