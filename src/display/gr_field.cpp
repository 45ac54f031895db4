// Rendering of one piece of display content into its field: alignment inside
// the field width, the margin kept right of numbers, spans and repeat fills.
// Widths count characters (see util/utf8_text.h), not bytes.
#include "display/gr_field.h"

#include <cctype>
#include <utility>

#include "display/gr_line_type.h"
#include "util/utf8_text.h"

namespace fv {

gr_field::gr_field(std::string text_in, gr_kind kind_in, gr_align alignment_in, unsigned number)
    : text(std::move(text_in)), kind(kind_in), alignment(alignment_in), field_number(number) {}

std::string gr_field::render(const gr_line_type& type, unsigned field) const {
    if (text.empty()) return {};
    // A line break or other control character inside a cell text would break
    // the line apart or hide part of it.
    const std::string shown = with_controls_blanked(text);
    const std::size_t a = character_count(shown);
    std::size_t w = type.field_width(field);
    const std::size_t m = kind == gr_kind::number ? type.margin(field) : 0;
    if (alignment == gr_align::centred && span > 1) {
        for (unsigned k = 1; k < span; ++k) w += type.field_width(field + k);
    }
    const bool aligned = alignment == gr_align::right || alignment == gr_align::centred ||
                         alignment == gr_align::repeat;
    if (!aligned || w < m + a) return shown;

    std::size_t before = 0;
    switch (alignment) {
    case gr_align::right: before = w - a - m; break;
    case gr_align::centred: before = (w - a) / 2; break;
    case gr_align::repeat: {
        const std::string_view first = first_characters(shown, 1);
        std::string out;
        out.reserve(first.size() * w);
        for (std::size_t i = 0; i < w; ++i) out += first;
        return out;
    }
    default: break;
    }
    std::string out(before, ' ');
    out += shown;
    out.append(w - before - a, ' ');
    return out;
}

char gr_field::label_prefix() const {
    switch (alignment) {
    case gr_align::right: return '"';
    case gr_align::centred: return '^';
    case gr_align::repeat: return '\\';
    default: return '\'';
    }
}

int gr_field::decimals() const {
    const auto point = text.find('.');
    if (point == std::string::npos) return 0;
    int count = 0;
    for (std::size_t i = point + 1; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        ++count;
    return count;
}

}  // namespace fv
