// What every print job shares: the printer set up for the default printer or
// for a PDF file (Letter, full page, written beside its name and moved into
// place only when complete, so a failed job never leaves half a file where an
// earlier one was), the start, page breaks and end of painting with their
// failure texts, the fixed-pitch font of printed displays, and the decoding
// of text bytes.
#pragma once

#include <QFont>
#include <QString>

#include <string>

class QPainter;
class QPrinter;

namespace fv {

// Cell texts may carry UTF-8; anything that is not valid UTF-8 is taken byte for byte.
QString printable_text(const std::string& bytes);

// What is said when there is neither a printer nor a PDF file to print into.
std::string no_printer_text();

// The display font at a pixel height.
QFont print_font(int pixel_height);

// "out.pdf" with "-view" gives "out-view.pdf"; a name without ".pdf" gets the suffix at its end.
std::string with_suffix_before_pdf(const std::string& named, const std::string& suffix);

class print_job {
public:
    // An empty `pdf_path` prints on the printer as the caller set it up (or
    // on the default printer after use_default_printer).
    print_job(QPrinter& printer, std::string pdf_path, const char* document_name);

    bool to_pdf() const { return !pdf_path_.empty(); }
    // The default printer; false with the failure text when there is none.
    bool use_default_printer(std::string& failure);
    // Starts painting on a page with a size.
    bool begin(QPainter& painter, std::string& failure);
    // Page `page` (1-based) begins.
    bool new_page(QPainter& painter, int page, std::string& failure);
    // Ends painting; a PDF is moved into place.
    bool finish(QPainter& painter, std::string& failure);

private:
    bool fail_pdf(const std::string& why, std::string& failure);

    QPrinter& printer_;
    std::string pdf_path_;
    std::string pdf_partial_;
};

}  // namespace fv
