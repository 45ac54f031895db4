// Rendering a figure on a scene of its own into an image, an SVG generator or
// a printer.
#include "gui/chart_export.h"

#include <QBuffer>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QSvgGenerator>

#include <cstdlib>
#include <memory>

#include "gui/print_job.h"
#include "gui/print_text.h"
#include "gui/user_prompts.h"
#include "util/file_io.h"
#include "util/run_files.h"

namespace fv {

namespace {

const QSizeF figure_size(1200, 800);

// Lays the figure out at the figure size and paints it into `target`.
void paint_figure(const figure_maker& figure, QPainter& painter, const QRectF& target) {
    QGraphicsScene scene;
    QChart* chart = figure();
    scene.addItem(chart);  // the scene owns it from here
    chart->resize(figure_size);
    if (chart->layout() != nullptr) chart->layout()->activate();
    scene.setSceneRect(QRectF(QPointF(0, 0), figure_size));
    scene.render(&painter, target, scene.sceneRect(), Qt::KeepAspectRatio);
}

bool refused(const std::string& path, const std::string& spreadsheet, std::string& failure) {
    const std::optional<std::string> overwritten = refused_output(path, spreadsheet);
    if (!overwritten) return false;
    failure = "The chart file " + path + " is " + *overwritten + "; it was not overwritten.";
    return true;
}

bool write_whole(const std::string& path, const QByteArray& bytes, std::string& failure) {
    const file_write outcome = replace_file(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (outcome) return true;
    failure = "Unable to write the chart to " + path + ": " + write_failure_reason(outcome) + ".";
    return false;
}

int next_chart_job() {
    static int jobs = 0;
    return ++jobs;
}

}  // namespace

bool save_chart_png(const figure_maker& figure, const std::string& path, const std::string& spreadsheet,
                    std::string& failure) {
    if (refused(path, spreadsheet, failure)) return false;
    QImage image(figure_size.toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        paint_figure(figure, painter, QRectF(QPointF(0, 0), figure_size));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        failure = "Unable to make the PNG image of the chart.";
        return false;
    }
    return write_whole(path, bytes, failure);
}

bool save_chart_svg(const figure_maker& figure, const std::string& path, const std::string& spreadsheet,
                    std::string& failure) {
    if (refused(path, spreadsheet, failure)) return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(figure_size.toSize());
    generator.setViewBox(QRectF(QPointF(0, 0), figure_size));
    generator.setTitle(QStringLiteral("Ferravane chart"));
    {
        QPainter painter(&generator);
        paint_figure(figure, painter, QRectF(QPointF(0, 0), figure_size));
    }
    return write_whole(path, bytes, failure);
}

bool print_chart(const figure_maker& figure, user_prompts& prompts, QWidget* parent, std::string& failure) {
    const char* pdf_named = std::getenv(print_pdf_variable);
    const bool to_pdf = pdf_named != nullptr && *pdf_named != '\0';
    QPrinter printer(QPrinter::HighResolution);
    const std::string pdf_path =
        to_pdf ? pdf_job_path(with_suffix_before_pdf(pdf_named, "-chart"), next_chart_job()) : std::string();
    print_job job(printer, pdf_path, "Ferravane chart");
    if (!to_pdf) {
        std::string no_default;
        job.use_default_printer(no_default);
    }
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!to_pdf && !prompts.print_dialog(parent, printer, 1)) return true;
    if (!to_pdf && printer.outputFormat() == QPrinter::NativeFormat && printer.printerName().isEmpty()) {
        failure = no_printer_text();
        return false;
    }
    QPainter painter;
    if (!job.begin(painter, failure)) return false;
    painter.setRenderHint(QPainter::Antialiasing);
    // The page is printed whole; a margin keeps the figure off its edges.
    const QRectF page(0, 0, printer.width(), printer.height());
    const double margin = page.width() / 20;
    paint_figure(figure, painter, page.adjusted(margin, margin, -margin, -margin));
    return job.finish(painter, failure);
}

}  // namespace fv
