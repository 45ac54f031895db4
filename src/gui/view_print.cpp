// Interactive printing of a view: the page layout of display texts, a fixed
// number of lines on every page, and the footer rule with "page N of M".
// Jobs into a PDF file are written beside it and moved into place only when
// complete, so a failed job leaves an earlier file as it was.
#include "gui/view_print.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "gui/print_job.h"
#include "gui/print_text.h"
#include "gui/user_prompts.h"
#include "util/utf8_text.h"

namespace fv {

namespace {

// The automatic prints of a calculation number their own files; a view's
// prints go beside them under "-view", so neither replaces the other.
int next_view_job() {
    static int jobs = 0;
    return ++jobs;
}

}  // namespace

int view_page_count(int line_count, int lines_per_page) {
    if (line_count <= 0) return 0;
    if (lines_per_page < 1) lines_per_page = 1;
    return (line_count + lines_per_page - 1) / lines_per_page;
}

bool print_view_lines(const std::vector<std::string>& lines, user_prompts& prompts, QWidget* parent,
                      std::string& failure) {
    if (lines.empty()) return true;
    const char* pdf_named = std::getenv(print_pdf_variable);
    const bool to_pdf = pdf_named != nullptr && *pdf_named != '\0';

    QPrinter printer(QPrinter::HighResolution);
    const std::string pdf_path =
        to_pdf ? pdf_job_path(with_suffix_before_pdf(pdf_named, "-view"), next_view_job()) : std::string();
    print_job job(printer, pdf_path, "Ferravane");
    if (!to_pdf) {
        // Without a default printer the dialog lets the user choose one.
        std::string no_default;
        job.use_default_printer(no_default);
    }

    // The page count the dialog is told comes from the page as it is now.
    const page_layout before = display_page_layout(printer.width(), printer.height());
    const int pages_before = view_page_count(static_cast<int>(lines.size()), before.lines_per_page);
    if (!to_pdf && !prompts.print_dialog(parent, printer, pages_before)) return true;
    if (!to_pdf && printer.outputFormat() == QPrinter::NativeFormat && printer.printerName().isEmpty()) {
        failure = no_printer_text();
        return false;
    }

    QPainter painter;
    if (!job.begin(painter, failure)) return false;
    const int width = printer.width();
    const int height = printer.height();
    const page_layout layout = display_page_layout(width, height);
    const int pages = view_page_count(static_cast<int>(lines.size()), layout.lines_per_page);
    int first_page = 1, last_page = pages;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first_page = std::max(1, printer.fromPage());
        last_page = std::min(pages, printer.toPage() > 0 ? printer.toPage() : pages);
    }

    painter.setFont(print_font(layout.font_height));
    painter.setPen(Qt::black);
    const QFontMetrics metrics = painter.fontMetrics();

    for (int page = first_page; page <= last_page; ++page) {
        if (page != first_page && !job.new_page(painter, page, failure)) return false;
        const std::size_t from = static_cast<std::size_t>(page - 1) * static_cast<std::size_t>(layout.lines_per_page);
        const std::size_t to = std::min(lines.size(), from + static_cast<std::size_t>(layout.lines_per_page));
        int y = layout.top;
        for (std::size_t n = from; n < to; ++n) {
            const std::string& line = lines[n];
            painter.drawText(layout.left_margin, y,
                             printable_text(std::string(first_characters(line, view_print_line_limit))));
            y += layout.line_step;
        }
        painter.drawLine(layout.left_margin, layout.rule_y(), layout.right_end, layout.rule_y());
        char footer[64];
        std::snprintf(footer, sizeof footer, "page %d of %d", page, pages);
        const QString number = QString::fromLatin1(footer);
        painter.drawText(layout.centre - metrics.horizontalAdvance(number) / 2, layout.footer_y(), number);
    }
    return job.finish(painter, failure);
}

}  // namespace fv
