// Print jobs on a QPrinter: printer or PDF file, and their failures.
#include "gui/print_job.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStringDecoder>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "gui/print_text.h"
#include "util/ascii.h"
#include "util/safe_text.h"
#include "util/utf8_text.h"

namespace fv {

QString printable_text(const std::string& raw) {
    // A line break or escape in a cell text or path must not break the page's
    // lines; every byte that is not valid UTF-8 becomes one U+FFFD.
    return QString::fromStdString(valid_utf8(safe_text(raw)));
}

std::string no_printer_text() {
    return std::string("There is no printer to print on.\n\nInstall a default printer, or set ") + print_pdf_variable +
           " to the name of a PDF file to print into.";
}

QFont print_font(int pixel_height) {
    QFont font(QStringLiteral("courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(pixel_height);
    return font;
}

std::string with_suffix_before_pdf(const std::string& named, const std::string& suffix) {
    if (named.size() > 4 && ends_with_ignoring_case(named, ".pdf"))
        return named.substr(0, named.size() - 4) + suffix + named.substr(named.size() - 4);
    return named + suffix;
}

print_job::print_job(QPrinter& printer, std::string pdf_path, const char* document_name)
    : printer_(printer), pdf_path_(std::move(pdf_path)) {
    if (to_pdf()) {
        pdf_partial_ = pdf_path_ + ".partial-" + std::to_string(::getpid());
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setPageSize(QPageSize(QPageSize::Letter));
        printer_.setPageOrientation(QPageLayout::Portrait);
        printer_.setFullPage(true);
        printer_.setOutputFileName(QString::fromLocal8Bit(pdf_partial_.c_str()));
    }
    printer_.setDocName(QString::fromLatin1(document_name));
}

bool print_job::use_default_printer(std::string& failure) {
    const QPrinterInfo default_printer = QPrinterInfo::defaultPrinter();
    if (default_printer.isNull()) {
        failure = no_printer_text();
        return false;
    }
    printer_.setPrinterName(default_printer.printerName());
    return true;
}

bool print_job::fail_pdf(const std::string& why, std::string& failure) {
    std::error_code ignored;
    std::filesystem::remove(pdf_partial_, ignored);
    failure = "Unable to print into the PDF file:\n" + pdf_path_ + (why.empty() ? "" : "\n\n(" + why + ")");
    return false;
}

bool print_job::begin(QPainter& painter, std::string& failure) {
    if (!painter.begin(&printer_)) {
        if (to_pdf()) return fail_pdf("", failure);
        failure = "Unable to start printing on the printer \"" + printer_.printerName().toStdString() + "\".";
        return false;
    }
    if (printer_.width() <= 0 || printer_.height() <= 0) {
        printer_.abort();
        painter.end();
        if (to_pdf()) return fail_pdf("the page has no size", failure);
        failure = "The printer reports a page without size; nothing was printed.";
        return false;
    }
    return true;
}

bool print_job::new_page(QPainter& painter, int page, std::string& failure) {
    if (printer_.newPage()) return true;
    painter.end();
    if (to_pdf()) return fail_pdf("a new page could not be started", failure);
    failure = "Printing stopped: the printer could not start page " + std::to_string(page) + ".";
    return false;
}

bool print_job::finish(QPainter& painter, std::string& failure) {
    if (!painter.end()) {
        if (to_pdf()) return fail_pdf("the file could not be completed", failure);
        failure = "Printing failed while the job was being finished.";
        return false;
    }
    if (to_pdf()) {
        std::error_code error;
        const auto size = std::filesystem::file_size(pdf_partial_, error);
        if (error || size == 0) return fail_pdf(error ? error.message() : "nothing was written", failure);
        std::filesystem::rename(pdf_partial_, pdf_path_, error);
        if (error) return fail_pdf(error.message(), failure);
    }
    return true;
}

}  // namespace fv
