// Printing a text without a dialog: a display text after a calculation or in
// batch mode (`print_display_text`, footers with the spreadsheet and run time), and a
// free text such as a tip (footers with the page number only). Jobs go to the
// default printer, or into a PDF file when FERRAVANE_PRINT_PDF names one, so
// printing works and can be checked on machines without a printer.
#pragma once

#include <string>
#include <vector>

namespace fv {

// The environment variable that sends print jobs into a PDF file.
inline constexpr const char* print_pdf_variable = "FERRAVANE_PRINT_PDF";

// Where things go on a printed page, in device units with y running down from
// the top edge of the page.
struct page_layout {
    int width = 0;
    int height = 0;
    int line_step = 1;
    int font_height = 1;
    int left_margin = 0;        // text of the first page, and both ends of the footer rule
    int later_left_margin = 0;  // text of every later page
    int right_end = 0;
    int centre = 0;
    int top = 0;                // baseline of a page's first line
    int bottom_limit = 0;       // lowest baseline a text line may take
    int lines_per_page = 1;     // what the print dialog is told a page holds

    int rule_y() const { return bottom_limit + line_step - 1; }
    int footer_y() const { return rule_y() + line_step; }
    // Lines a page holds when lines are placed one line step apart from the
    // top while their baseline stays above the bottom limit; at least one, so
    // a tiny page still makes progress.
    int lines_fitting() const;
};

// Display texts: landscape pages (height below width) use a larger type.
page_layout display_page_layout(int width, int height);
// Free texts always use the larger type and the portrait left margin.
page_layout free_text_page_layout(int width, int height);

// The lines of a text: CR LF and LF CR each count as one break, so do a lone CR
// or LF. A break at the very end closes the last line; it opens no empty one.
std::vector<std::string> print_lines(const std::string& text);

// The file a PDF job writes: the named file for the first job of this process
// that names it, then "-2", "-3" ... before a ".pdf" extension, so the second
// text of a batch run does not replace the first.
std::string pdf_job_path(const std::string& named, int job);

// Prints a display text, each page but the last with the spreadsheet path and
// the run time in its footer. An empty text prints nothing and succeeds.
// Returns false with the reason in `failure` when nothing could be printed.
// Needs a QGuiApplication.
bool print_display_text(const std::string& text, const std::string& spreadsheet_path, const std::string& run_time,
               std::string& failure);

// Prints a free text; its footers hold only the page number.
bool print_free_text(const std::string& text, std::string& failure);

}  // namespace fv
