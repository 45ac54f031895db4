// One piece of content of a display line: a label or an already formatted
// number, with the alignment it takes inside its field of the line layout.
#pragma once

#include <string>

namespace fv {

class line_layout;

enum class field_kind : int { empty = 0, label = 1, number = 2 };
enum class field_alignment : int { left = 1, right = 2, centred = 3, repeat = 4 };

class display_field {
public:
    display_field(std::string text, field_kind kind, field_alignment alignment, unsigned field_number = 0);

    // The text of the field padded to its width (and to the widths of the
    // fields a centred text spans), or the text itself when it is left-aligned
    // or does not fit; the line lets such a text run on into later fields.
    // Widths count characters; control characters show as blanks.
    std::string render(const line_layout& type, unsigned field) const;

    // What a spreadsheet writer is handed: the label prefix of the alignment
    // ("'" left, '"' right, '^' centred, '\' repeat) and, for numbers, the
    // count of digits right after the first decimal point.
    char label_prefix() const;
    int decimals() const;

    std::string text;  // empty when the field has none
    field_kind kind;
    field_alignment alignment;
    int format_option = 0;  // handed to spreadsheet writers with numbers
    unsigned span = 0;      // fields a centred text covers; 0 or 1: its own
    unsigned field_number;  // 1-based; a line sets it to the field's place
};

}  // namespace fv
