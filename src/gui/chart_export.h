// Writing a chart out: a PNG or SVG file, or printed on one landscape page.
// Each draws a figure built afresh for the purpose at a size of its own, so
// the file does not depend on how large the window happens to be. Files
// are written whole or not at all, and never over the spreadsheet being read
// or another file the run reads.
#pragma once

#include <functional>
#include <string>

class QChart;
class QWidget;

namespace fv {

class user_prompts;

// Makes a new figure the exporter owns.
using figure_maker = std::function<QChart*()>;

// Each false with the reason in `failure`; `spreadsheet` is the document's file.
bool save_chart_png(const figure_maker& figure, const std::string& path, const std::string& spreadsheet,
                    std::string& failure);
bool save_chart_svg(const figure_maker& figure, const std::string& path, const std::string& spreadsheet,
                    std::string& failure);

// Through the print dialog, or with FERRAVANE_PRINT_PDF set straight into a
// PDF file beside the one named ("out.pdf" gives "out-chart.pdf", then
// "out-chart-2.pdf"). True when printed or cancelled.
bool print_chart(const figure_maker& figure, user_prompts& prompts, QWidget* parent, std::string& failure);

}  // namespace fv
