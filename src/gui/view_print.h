// File, Print: the display a view shows, through the print dialog, with the
// page count told in advance and "page N of M" under every page. With
// FERRAVANE_PRINT_PDF set the job goes, without a dialog, into a PDF file
// beside the one named: "out.pdf" gives "out-view.pdf", then "out-view-2.pdf".
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class QWidget;

namespace fv {

class user_prompts;

// Pages needed for `line_count` lines at `lines_per_page` lines a page.
int view_page_count(int line_count, int lines_per_page);

// The longest line a page takes from the view, in characters; the rest is left off.
inline constexpr std::size_t view_print_line_limit = 2048;

// Prints the lines. True when printed or cancelled (or nothing to print);
// false with the reason in `failure`.
bool print_view_lines(const std::vector<std::string>& lines, user_prompts& prompts, QWidget* parent,
                      std::string& failure);

}  // namespace fv
