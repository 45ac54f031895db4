// Interactive printing of a view: the page layout of display texts, a fixed
// number of lines on every page, and the footer rule with "page N of M".
// Jobs into a PDF file are written beside it and moved into place only when
// complete, so a failed job leaves an earlier file as it was.
#include "gui/view_print.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "gui/print_text.h"
#include "gui/user_prompts.h"

namespace fv {

namespace {

QString line_text(const std::string& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (decoder.hasError()) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return text;
}

// The automatic prints of a calculation number their own files; a view's
// prints go beside them under "-view", so neither replaces the other.
std::string view_pdf_name(const std::string& named) {
    if (named.size() > 4) {
        std::string extension = named.substr(named.size() - 4);
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (extension == ".pdf") return named.substr(0, named.size() - 4) + "-view" + named.substr(named.size() - 4);
    }
    return named + "-view";
}

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
    std::string pdf_path, pdf_partial;
    if (to_pdf) {
        pdf_path = pdf_job_path(view_pdf_name(pdf_named), next_view_job());
        pdf_partial = pdf_path + ".partial-" + std::to_string(::getpid());
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setPageOrientation(QPageLayout::Portrait);
        printer.setFullPage(true);
        printer.setOutputFileName(QString::fromLocal8Bit(pdf_partial.c_str()));
    } else {
        const QPrinterInfo default_printer = QPrinterInfo::defaultPrinter();
        if (!default_printer.isNull()) printer.setPrinterName(default_printer.printerName());
    }
    printer.setDocName(QStringLiteral("Ferravane"));

    // The page count the dialog is told comes from the page as it is now.
    const page_layout before = display_page_layout(printer.width(), printer.height());
    const int pages_before = view_page_count(static_cast<int>(lines.size()), before.lines_per_page);
    if (!to_pdf && !prompts.print_dialog(parent, printer, pages_before)) return true;
    if (!to_pdf && printer.outputFormat() == QPrinter::NativeFormat && printer.printerName().isEmpty()) {
        failure = std::string("There is no printer to print on.\n\nInstall a default printer, or set ") +
                  print_pdf_variable + " to the name of a PDF file to print into.";
        return false;
    }

    auto fail_pdf = [&](const std::string& why) {
        std::error_code ignored;
        std::filesystem::remove(pdf_partial, ignored);
        failure = "Unable to print into the PDF file:\n" + pdf_path + (why.empty() ? "" : "\n\n(" + why + ")");
        return false;
    };

    QPainter painter;
    if (!painter.begin(&printer)) {
        if (to_pdf) return fail_pdf("");
        failure = "Unable to start printing on the printer \"" + printer.printerName().toStdString() + "\".";
        return false;
    }
    const int width = printer.width();
    const int height = printer.height();
    if (width <= 0 || height <= 0) {
        printer.abort();
        painter.end();
        if (to_pdf) return fail_pdf("the page has no size");
        failure = "The printer reports a page without size; nothing was printed.";
        return false;
    }
    const page_layout layout = display_page_layout(width, height);
    const int pages = view_page_count(static_cast<int>(lines.size()), layout.lines_per_page);
    int first_page = 1, last_page = pages;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first_page = std::max(1, printer.fromPage());
        last_page = std::min(pages, printer.toPage() > 0 ? printer.toPage() : pages);
    }

    QFont font(QStringLiteral("courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(layout.font_height);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetrics metrics = painter.fontMetrics();

    for (int page = first_page; page <= last_page; ++page) {
        if (page != first_page && !printer.newPage()) {
            painter.end();
            if (to_pdf) return fail_pdf("a new page could not be started");
            failure = "Printing stopped: the printer could not start page " + std::to_string(page) + ".";
            return false;
        }
        const std::size_t from = static_cast<std::size_t>(page - 1) * static_cast<std::size_t>(layout.lines_per_page);
        const std::size_t to = std::min(lines.size(), from + static_cast<std::size_t>(layout.lines_per_page));
        int y = layout.top;
        for (std::size_t n = from; n < to; ++n) {
            const std::string& line = lines[n];
            painter.drawText(layout.left_margin, y,
                             line_text(line.size() > view_print_line_limit ? line.substr(0, view_print_line_limit)
                                                                           : line));
            y += layout.line_step;
        }
        painter.drawLine(layout.left_margin, layout.rule_y(), layout.right_end, layout.rule_y());
        char footer[64];
        std::snprintf(footer, sizeof footer, "page %d of %d", page, pages);
        const QString number = QString::fromLatin1(footer);
        painter.drawText(layout.centre - metrics.horizontalAdvance(number) / 2, layout.footer_y(), number);
    }
    if (!painter.end()) {
        if (to_pdf) return fail_pdf("the file could not be completed");
        failure = "Printing failed while the job was being finished.";
        return false;
    }
    if (to_pdf) {
        std::error_code error;
        const auto size = std::filesystem::file_size(pdf_partial, error);
        if (error || size == 0) return fail_pdf(error ? error.message() : "nothing was written");
        std::filesystem::rename(pdf_partial, pdf_path, error);
        if (error) return fail_pdf(error.message());
    }
    return true;
}

}  // namespace fv
