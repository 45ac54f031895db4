// Text rendering of a display page with its size limit and truncation notice,
// and the choice of lines and fields that a selection makes.
#include "display/display_page.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "util/ascii.h"
#include "util/text_error.h"
#include "util/utf8_text.h"

namespace fv {

namespace {

const std::string truncation_line = "Display truncated.  Please see Tips-Views-Limitations for discussion";
const std::string all_content_line =
    "All content displayed................................. See Tips-Views-Limitations menu for potential problems";
const std::string notice_tail = " See Tips-Views-Limitations menu for discussion        ";
constexpr std::size_t notice_head_length = 54;
constexpr std::size_t notice_slack = 1100;
constexpr unsigned header_notice_line = 11;

bool starts_with_ignoring_case(const std::string& text, std::size_t offset, const std::string& prefix) {
    return offset <= text.size() && fv::starts_with_ignoring_case(std::string_view(text).substr(offset), prefix);
}

}  // namespace

line_layout& display_page::add_layout(line_layout type) {
    layouts_.push_back(std::make_unique<line_layout>(std::move(type)));
    return *layouts_.back();
}

display_line& display_page::add_line(const line_layout& type) {
    // A line must not outlive its layout, so only the page's own ones are taken.
    const bool owned = std::any_of(layouts_.begin(), layouts_.end(),
                                   [&](const auto& own) { return own.get() == &type; });
    if (!owned) throw text_error("gr_page::add_line called with a line type that the page does not hold");
    return lines_.emplace_back(type);
}

std::vector<selected_line> display_page::select(const page_selection& s) const {
    std::vector<selected_line> parts;
    unsigned number = 0;
    for (const display_line& line : lines_) {
        ++number;
        if (s.last_line != 0 && number > s.last_line) break;
        if (number < s.first_line) continue;
        unsigned first = 1;
        unsigned last = line.count();
        if (number == s.first_line) {
            if (const unsigned f = line.field_at_column(s.first_column)) first = f;
        }
        if (number == s.last_line) {
            if (const unsigned f = line.field_at_column(s.last_column)) last = f;
        }
        parts.push_back({number, &line, first, last});
    }
    return parts;
}

std::string display_page::render_text(const page_selection& selection) {
    cut_ = false;
    cut_offset_ = 0;
    line11_offset_ = 0;
    lines_kept_ = 0;
    notice_.clear();

    std::string text;
    text.reserve(text_limit + notice_slack);
    std::size_t characters = 0;  // the limit counts characters; offsets are bytes
    for (const selected_line& part : select(selection)) {
        if (part.number == header_notice_line) line11_offset_ = text.size();
        std::string piece;
        if (part.first_field <= part.last_field) piece = part.line->compose(part.first_field, part.last_field);
        const std::size_t piece_characters = character_count(piece);
        if (characters + piece_characters + 2 > text_limit) {
            cut_ = true;
            cut_offset_ = text.size();
            lines_kept_ = part.number - 1;
            break;
        }
        text += piece;
        text += "\r\n";
        characters += piece_characters + 2;
    }
    return text;
}

void display_page::put_truncation_notice(std::string& text) {
    // A cut at offset 0 (a first line too long to hold) is still a cut.
    if (!cut_ || text.size() < cut_offset_ || cut_offset_ < line11_offset_) return;
    text.resize(cut_offset_);
    text += truncation_line;

    char head[96];
    std::snprintf(head, sizeof head, "Data after after line %u are not displayed...........................",
                  lines_kept_);
    notice_.assign(head, std::min(notice_head_length, std::char_traits<char>::length(head)));
    notice_ += notice_tail;
    if (starts_with_ignoring_case(text, line11_offset_, all_content_line))
        text.replace(line11_offset_, all_content_line.size(), notice_);
}

}  // namespace fv
