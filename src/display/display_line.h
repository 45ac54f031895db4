// One line of a display page: the line layout it uses and its pieces of
// content in field order. Composes itself into text with run-on and cut-off,
// and maps a selection column to the field it falls in.
#pragma once

#include <string>
#include <vector>

#include "display/display_field.h"

namespace fv {

class line_layout;

class display_line {
public:
    // The line type is not owned; it must outlive the line (a page owns both).
    explicit display_line(const line_layout& type);

    // Appends a piece of content in the next field and numbers it by its place.
    display_field& append(display_field field);
    display_field& add(std::string text, field_kind kind, field_alignment alignment);
    display_field& add_label(std::string text, field_alignment alignment = field_alignment::left);
    display_field& add_number(std::string text, field_alignment alignment = field_alignment::right);
    display_field& add_empty();

    const line_layout& type() const { return *layout_; }
    const std::vector<display_field>& fields() const { return fields_; }
    unsigned count() const { return static_cast<unsigned>(fields_.size()); }
    // 1-based, as the fields are numbered.
    const display_field& field(unsigned number) const { return fields_.at(number - 1); }

    // The text of fields first..last (1-based, inclusive; first 0 means 1, last
    // 0 means the last field), trailing blanks removed. A text longer than its
    // field runs on until the next non-empty field or the line's end. When the
    // first field is not field 1, the text starts at that field's first column.
    std::string compose(unsigned first = 0, unsigned last = 0) const;

    // The field a 1-based selection column falls in: the last field with text
    // that starts at or before the column; 0 for column 0 or when none does.
    unsigned field_at_column(unsigned column) const;

private:
    const line_layout* layout_;
    std::vector<display_field> fields_;
};

}  // namespace fv
