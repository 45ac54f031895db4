// Field boundaries of a display line layout and the column arithmetic that
// composing lines and mapping selections rely on.
#include "display/line_layout.h"

#include <cstdio>
#include <utility>

#include "util/text_error.h"

namespace fv {

line_layout::line_layout(std::string name, unsigned width) : name_(std::move(name)), width_(width) {
    if (name_.empty()) throw text_error("gr_line_type::gr_line_type called with a null name (first arg)");
    if (width_ == 0) throw text_error("gr_line_type::gr_line_type called with a zero width (second arg)");
    boundaries_.assign(1, width_);
    margins_.assign(1, 0);
}

unsigned line_layout::set_bounds(std::span<const unsigned> boundaries, std::span<const unsigned> margins) {
    if (boundaries.size() != margins.size()) {
        char text[128];
        std::snprintf(text, sizeof text, "gr_line_type::set_bounds called with %zu boundaries and %zu margins",
                      boundaries.size(), margins.size());
        throw text_error(text);
    }
    for (std::size_t i = 0; i < boundaries.size(); ++i) {
        if (boundaries[i] > width_)
            throw text_error("gr_line_type::set_bounds a line-type has field boundary outside the line width.");
        if (i > 0 && boundaries[i] < boundaries[i - 1])
            throw text_error("gr_line_type::set_bounds a line-type has overlapping field boundaries.");
    }
    boundaries_.assign(1, width_);
    boundaries_.insert(boundaries_.end(), boundaries.begin(), boundaries.end());
    margins_.assign(1, 0);
    margins_.insert(margins_.end(), margins.begin(), margins.end());
    return field_count();
}

unsigned line_layout::boundary(unsigned field) const {
    return field < field_count() ? boundaries_[field] : 0;
}

unsigned line_layout::margin(unsigned field) const {
    return field < field_count() ? margins_[field] : 0;
}

unsigned line_layout::field_width(unsigned field) const {
    if (field == 0) return width_;
    if (beyond_last(field)) return 0;
    if (field == 1) return boundaries_[1];
    return boundaries_[field] - boundaries_[field - 1];
}

unsigned line_layout::compose_column(unsigned field) const {
    if (field == 0) return 0;
    if (beyond_last(field)) return width_;
    if (field == 1) return 0;
    return boundaries_[field - 1];
}

unsigned line_layout::selection_column(unsigned field) const {
    if (field == 0) return 1;
    if (beyond_last(field)) return width_;
    if (field == 1) return 1;
    return boundaries_[field - 1] + 1;
}

}  // namespace fv
