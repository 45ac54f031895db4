// The rate dialog's curve view.
#include "gui/yield_curve_view.h"

#include <QChart>

#include "display/program/yield_curve_chart.h"
#include "gui/chart_figures.h"
#include "util/text_error.h"

namespace fv {

yield_curve_view::yield_curve_view(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(440, 300);
    replace_chart(make_empty_figure(QString()));
}

yield_curve_view::~yield_curve_view() = default;

void yield_curve_view::replace_chart(QChart* figure) {
    // The view does not delete the chart it gives up.
    QChart* old = chart();
    setChart(figure);
    delete old;
}

void yield_curve_view::show_rate_set(const rate_set* set) {
    if (set == nullptr) {
        replace_chart(make_empty_figure(QString()));
        return;
    }
    try {
        replace_chart(make_yield_curve_figure(make_yield_curve_chart(*set)));
    } catch (const text_error& failure) {
        replace_chart(make_empty_figure(QString::fromStdString(set->title + ": " + failure.text())));
    }
}

}  // namespace fv
