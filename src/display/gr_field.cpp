// Rendering of one piece of display content into its field: alignment inside
// the field width, the margin kept right of numbers, spans and repeat fills.
#include "display/gr_field.h"

#include <cctype>
#include <utility>

#include "display/gr_line_type.h"

namespace fv {

gr_field::gr_field(std::string text_in, gr_kind kind_in, gr_align alignment_in, unsigned number)
    : text(std::move(text_in)), kind(kind_in), alignment(alignment_in), field_number(number) {}

std::string gr_field::render(const gr_line_type& type, unsigned field) const {
    if (text.empty()) return {};
    const std::size_t a = text.size();
    std::size_t w = type.field_width(field);
    const std::size_t m = kind == gr_kind::number ? type.margin(field) : 0;
    if (alignment == gr_align::centred && span > 1) {
        for (unsigned k = 1; k < span; ++k) w += type.field_width(field + k);
    }
    const bool aligned = alignment == gr_align::right || alignment == gr_align::centred ||
                         alignment == gr_align::repeat;
    if (!aligned || w < m + a) return text;

    std::string out(w, ' ');
    switch (alignment) {
    case gr_align::right: out.replace(w - a - m, a, text); break;
    case gr_align::centred: out.replace((w - a) / 2, a, text); break;
    case gr_align::repeat: out.assign(w, text[0]); break;
    default: break;
    }
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
