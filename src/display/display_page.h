// A display page: the line layouts its lines use and the lines themselves.
// It renders as CR LF text for views, printing, the clipboard and text files,
// within a size limit that a view can hold (with a notice when cut), and walks
// its cells for a spreadsheet writer, which keeps labels and numbers apart.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "display/display_field.h"
#include "display/display_line.h"
#include "display/line_layout.h"

namespace fv {

// Lines are numbered from 1 over the whole page and columns are 1-based
// character columns; 0 means open (from the start, to the end). All zeros
// select the whole page.
struct page_selection {
    unsigned first_line = 0;
    unsigned first_column = 0;
    unsigned last_line = 0;
    unsigned last_column = 0;
};

// One selected line: fields first_field..last_field (1-based, inclusive;
// none when first_field > last_field).
struct selected_line {
    unsigned number;
    const display_line* line;
    unsigned first_field;
    unsigned last_field;
};

class display_page {
public:
    // Largest rendered text in characters, line ends included.
    static constexpr std::size_t text_limit = 40456;

    display_page() = default;
    display_page(const display_page&) = delete;  // lines point at the page's own line types
    display_page& operator=(const display_page&) = delete;
    display_page(display_page&&) = default;
    display_page& operator=(display_page&&) = default;

    // Takes the line type into the page; the reference stays valid as long
    // as the page lives.
    line_layout& add_layout(line_layout type);
    // Appends an empty line in a line type of this page.
    display_line& add_line(const line_layout& type);

    const std::vector<std::unique_ptr<line_layout>>& layouts() const { return layouts_; }
    const std::deque<display_line>& lines() const { return lines_; }
    unsigned line_count() const { return static_cast<unsigned>(lines_.size()); }
    // 1-based.
    const display_line& line(unsigned number) const { return lines_.at(number - 1); }

    // The lines and fields a selection takes, in order; text rendering and
    // spreadsheet writing make the same choice.
    std::vector<selected_line> select(const page_selection& selection = {}) const;

    // The selected lines, each followed by CR LF. Lines that would take the
    // text above text_limit are dropped (the page is then cut); the
    // truncation state below describes this rendering.
    std::string render_text(const page_selection& selection = {});

    // For the text of a whole-page rendering that was cut: ends the text with
    // the truncation line and puts the cut into the header's "All content
    // displayed" line when the page has one.
    void put_truncation_notice(std::string& text);

    // Truncation state of the last text rendering.
    bool was_cut() const { return cut_; }
    std::size_t cut_offset() const { return cut_offset_; }  // in bytes of the text
    std::size_t line11_offset() const { return line11_offset_; }
    unsigned lines_kept() const { return lines_kept_; }  // when cut
    const std::string& notice() const { return notice_; }  // after put_truncation_notice

    // Walks the selected cells into a spreadsheet writer, which needs:
    //   next_column()                              an empty field
    //   add_label(const std::string&, char prefix) a label
    //   add_number(const std::string&, int decimals, int format_option)
    //   next_row()                                 after every line
    template <class Writer>
    void write_to(Writer& writer, const page_selection& selection = {}) const {
        for (const selected_line& part : select(selection)) {
            for (unsigned n = part.first_field; n <= part.last_field; ++n) {
                const display_field& field = part.line->field(n);
                if (field.kind == field_kind::label)
                    writer.add_label(field.text, field.label_prefix());
                else if (field.kind == field_kind::number)
                    writer.add_number(field.text, field.decimals(), field.format_option);
                else
                    writer.next_column();
            }
            writer.next_row();
        }
    }

private:
    std::vector<std::unique_ptr<line_layout>> layouts_;
    std::deque<display_line> lines_;

    bool cut_ = false;
    std::size_t cut_offset_ = 0;
    std::size_t line11_offset_ = 0;
    unsigned lines_kept_ = 0;
    std::string notice_;
};

}  // namespace fv
