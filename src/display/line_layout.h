// A line layout of a display: a named line width cut into fields by column
// boundaries, with the blanks kept to the right of right-aligned numbers in
// each field. Lines of a page place their n-th piece of content in field n.
#pragma once

#include <span>
#include <string>
#include <vector>

namespace fv {

class line_layout {
public:
    // name must not be empty, width must be above 0.
    line_layout(std::string name, unsigned width);

    // Sets the fields: boundaries[i - 1] is the column at which field i ends
    // (exclusive), margins[i - 1] its number margin. Both hold one entry per
    // field. Returns the field count (fields plus one). Leaves the line type
    // unchanged when it throws.
    unsigned set_bounds(std::span<const unsigned> boundaries, std::span<const unsigned> margins);

    // Inspectors.
    const std::string& name() const { return name_; }
    unsigned width() const { return width_; }
    // Number of fields plus one (entry 0 stands for the whole line).
    unsigned field_count() const { return static_cast<unsigned>(boundaries_.size()); }
    // Entry 0 is the width; entry i the end column of field i; 0 beyond.
    unsigned boundary(unsigned field) const;
    // Entry 0 is 0; entry i the margin of field i; 0 beyond the last field.
    unsigned margin(unsigned field) const;

    // Field geometry. Field 0 is the whole line; a field beyond the last one
    // has width 0 and starts at the line width, so content placed there can
    // never reach outside the line.
    unsigned field_width(unsigned field) const;
    // 0-based first column of a field when a line is composed.
    unsigned compose_column(unsigned field) const;
    // 1-based first column of a field when a selection column is mapped.
    unsigned selection_column(unsigned field) const;

private:
    bool beyond_last(unsigned field) const { return field >= field_count(); }

    std::string name_;
    unsigned width_;
    std::vector<unsigned> boundaries_;
    std::vector<unsigned> margins_;
};

}  // namespace fv
