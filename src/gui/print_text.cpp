// Lays out and prints texts page by page on a QPrinter: the default printer,
// or a PDF file for FERRAVANE_PRINT_PDF. The page geometry comes from the
// device's own size in device units, so the same text breaks the same way on
// any printer with the same page size and resolution.
#include "gui/print_text.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>

#include "gui/print_job.h"
#include "util/file_io.h"
#include "util/run_files.h"

namespace fv {

namespace {

int at_least_one(long long value) { return value < 1 ? 1 : static_cast<int>(value); }

page_layout complete_layout(int width, int height, int line_step, int font_height, int left_margin) {
    page_layout layout;
    layout.width = width;
    layout.height = height;
    layout.line_step = at_least_one(line_step);
    layout.font_height = at_least_one(font_height);
    layout.left_margin = left_margin;
    layout.later_left_margin = width / 12;
    layout.right_end = width - left_margin;
    layout.centre = width / 2;
    layout.top = 6 * layout.line_step;
    layout.bottom_limit = height + layout.font_height + 1 - 6 * layout.line_step;
    const long long depth = static_cast<long long>(height) + layout.font_height + 1 - 12LL * layout.line_step;
    if (depth < 0) {
        layout.lines_per_page = 1;
    } else {
        layout.lines_per_page =
            at_least_one(depth / layout.line_step + (depth % layout.line_step != 0 ? 2 : 1));
    }
    return layout;
}

std::string page_number_text(int page) {
    char text[32];
    std::snprintf(text, sizeof text, "page %d", page);
    return text;
}

int next_pdf_job(const std::string& named) {
    static std::mutex guard;
    static std::map<std::string, int> jobs;
    std::lock_guard lock(guard);
    return ++jobs[named];
}

// What goes into the footers besides the rule and the page number.
struct footer_texts {
    std::string spreadsheet_path;
    std::string run_time;
};

using layout_for = page_layout (*)(int, int);

bool print_pages(const std::string& text, layout_for make_layout, const std::optional<footer_texts>& footer,
                 std::string& failure) {
    if (text.empty()) return true;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        failure = "Printing is not available: the graphical interface has not been started.";
        return false;
    }

    const char* pdf_named = std::getenv(print_pdf_variable);
    const bool to_pdf = pdf_named != nullptr && *pdf_named != '\0';
    QPrinter printer(QPrinter::HighResolution);
    std::string pdf_path;
    if (to_pdf) {
        pdf_path = pdf_job_path(pdf_named, next_pdf_job(pdf_named));
        if (footer && same_file(pdf_path, footer->spreadsheet_path)) {
            failure = "The PDF file to print into is the spreadsheet itself:\n" + pdf_path + "\n\nNothing was printed.";
            return false;
        }
        if (const std::optional<std::string> read_by_the_run = run_file_at(pdf_path)) {
            failure = "The PDF file to print into is " + *read_by_the_run + ":\n" + pdf_path + "\n\nNothing was printed.";
            return false;
        }
    }
    print_job job(printer, pdf_path, "Test");
    if (!to_pdf && !job.use_default_printer(failure)) return false;

    QPainter painter;
    if (!job.begin(painter, failure)) return false;
    const int width = printer.width();
    const int height = printer.height();
    const page_layout layout = make_layout(width, height);

    painter.setFont(print_font(layout.font_height));
    painter.setPen(Qt::black);
    const QFontMetrics metrics = painter.fontMetrics();

    int page = 1;
    int x = layout.left_margin;
    auto draw_footer = [&](bool last) {
        painter.drawLine(layout.left_margin, layout.rule_y(), layout.right_end, layout.rule_y());
        const int y = layout.footer_y();
        if (footer && !last) {
            painter.drawText(x, y, printable_text(footer->spreadsheet_path));
            const QString time = printable_text(footer->run_time);
            painter.drawText(layout.right_end - metrics.horizontalAdvance(time), y, time);
        }
        const QString number = QString::fromLatin1(page_number_text(page).c_str());
        painter.drawText(layout.centre - metrics.horizontalAdvance(number) / 2, y, number);
    };

    int y = layout.top;
    int lines_on_page = 0;
    for (const std::string& line : print_lines(text)) {
        if (y > layout.bottom_limit && lines_on_page > 0) {
            draw_footer(false);
            if (!job.new_page(painter, page + 1, failure)) return false;
            ++page;
            x = layout.later_left_margin;
            y = layout.top;
            lines_on_page = 0;
        }
        painter.drawText(x, y, printable_text(line));
        y += layout.line_step;
        ++lines_on_page;
    }
    draw_footer(true);
    return job.finish(painter, failure);
}

}  // namespace

int page_layout::lines_fitting() const {
    if (bottom_limit < top) return 1;
    return (bottom_limit - top) / line_step + 1;
}

page_layout display_page_layout(int width, int height) {
    const long long w = width;
    if (height < width) return complete_layout(width, height, height / 72, height / 85, static_cast<int>(w / 14));
    return complete_layout(width, height, height / 99, height / 116, static_cast<int>(w * 3 / 32));
}

page_layout free_text_page_layout(int width, int height) {
    const long long w = width;
    return complete_layout(width, height, height / 72, height / 85, static_cast<int>(w * 3 / 32));
}

std::vector<std::string> print_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    bool open = false;  // a line has begun since the last break
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            const char pair = c == '\r' ? '\n' : '\r';
            if (i + 1 < text.size() && text[i + 1] == pair) ++i;
            lines.push_back(std::move(line));
            line.clear();
            open = false;
        } else {
            line.push_back(c);
            open = true;
        }
    }
    if (open) lines.push_back(std::move(line));
    return lines;
}

std::string pdf_job_path(const std::string& named, int job) {
    if (job <= 1) return named;
    return with_suffix_before_pdf(named, "-" + std::to_string(job));
}

bool print_display_text(const std::string& text, const std::string& spreadsheet_path, const std::string& run_time,
               std::string& failure) {
    return print_pages(text, display_page_layout, footer_texts{spreadsheet_path, run_time}, failure);
}

bool print_free_text(const std::string& text, std::string& failure) {
    return print_pages(text, free_text_page_layout, std::nullopt, failure);
}

}  // namespace fv
