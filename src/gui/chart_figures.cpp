// Building the Qt Charts figures: series, axes and legends.
#include "gui/chart_figures.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QLineSeries>
#include <QPen>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <numeric>

namespace fv {

namespace {

QString text(const char* name) { return QString::fromUtf8(name); }

QChart* new_chart(const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

QValueAxis* value_axis(QChart* chart, const QString& title, Qt::Alignment side) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    chart->addAxis(axis, side);
    return axis;
}

void attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

QLineSeries* line_of(const std::vector<chart_point>& points, const char* name) {
    auto* series = new QLineSeries;
    series->setName(text(name));
    for (const chart_point& point : points) series->append(point.x, point.y);
    return series;
}

// Bars from every year's value; the chart takes ownership.
QBarSet* bar_set(const char* name, const std::vector<double>& values) {
    auto* set = new QBarSet(text(name));
    for (double value : values) set->append(value);
    return set;
}

QBarCategoryAxis* year_axis(QChart* chart, const QStringList& years, const QString& title) {
    auto* axis = new QBarCategoryAxis;
    axis->append(years);
    axis->setTitleText(title);
    chart->addAxis(axis, Qt::AlignBottom);
    return axis;
}

}  // namespace

double total_present_value(const year_flows& year) {
    return std::accumulate(year.present_values.begin(), year.present_values.end(), 0.0);
}

QChart* make_yield_curve_figure(const yield_curve_chart& curve) {
    QChart* chart = new_chart(QStringLiteral("Yield curve: %1").arg(QString::fromStdString(curve.title)));
    auto* years = value_axis(chart, QStringLiteral("Years to maturity"), Qt::AlignBottom);
    years->setRange(0, 30);
    years->setTickCount(7);
    years->setLabelFormat(QStringLiteral("%.0f"));
    auto* rates = value_axis(chart, QStringLiteral("Percent"), Qt::AlignLeft);

    // Pens and colours set after the series join the chart, which would
    // otherwise give them the theme's.
    QLineSeries* zero = line_of(curve.zero_curve, zero_curve_name);
    attach(chart, zero, years, rates);
    zero->setPen(QPen(Qt::darkGray, 1.5, Qt::DashLine));
    QLineSeries* par = line_of(curve.par_curve, par_curve_name);
    attach(chart, par, years, rates);
    par->setPen(QPen(QColor(0x1f, 0x5f, 0xa8), 2.5));
    auto* entered = new QScatterSeries;
    entered->setName(text(entered_rates_name));
    entered->setMarkerSize(10);
    for (const chart_point& point : curve.entered) entered->append(point.x, point.y);
    attach(chart, entered, years, rates);
    entered->setColor(QColor(0xe0, 0x6c, 0x00));
    rates->applyNiceNumbers();
    return chart;
}

QChart* make_cash_flow_figure(const cohort_flows& flows) {
    QChart* chart = new_chart(QStringLiteral("Cash flows of the %1 cohort").arg(flows.year));
    QStringList years;
    for (const year_flows& year : flows.years) years << QString::number(year.year);

    auto* bars = new QStackedBarSeries;
    for (cash_flow_kind kind : all_cash_flow_kinds) {
        std::vector<double> amounts;
        bool any = false;
        for (const year_flows& year : flows.years) {
            amounts.push_back(year.amounts[kind_index(kind)]);
            any = any || amounts.back() != 0.0;
        }
        if (any) bars->append(bar_set(cash_flow_kind_name(kind), amounts));
    }
    auto* present_value = new QLineSeries;
    present_value->setName(text(present_value_name));
    present_value->setPointsVisible(true);
    for (std::size_t k = 0; k < flows.years.size(); ++k)
        present_value->append(static_cast<double>(k), total_present_value(flows.years[k]));

    QBarCategoryAxis* x = year_axis(chart, years, QStringLiteral("Fiscal year"));
    QValueAxis* y = value_axis(chart, QStringLiteral("Amount"), Qt::AlignLeft);
    attach(chart, bars, x, y);
    attach(chart, present_value, x, y);
    present_value->setPen(QPen(Qt::black, 2));
    y->applyNiceNumbers();
    return chart;
}

QChart* make_subsidy_figure(const std::vector<cohort_subsidy_bar>& cohorts) {
    QChart* chart = new_chart(QStringLiteral("Subsidy by cohort"));
    QStringList years;
    std::vector<double> financing, defaults, fees, other;
    for (const cohort_subsidy_bar& cohort : cohorts) {
        years << QString::number(cohort.year);
        financing.push_back(cohort.financing);
        defaults.push_back(cohort.defaults);
        fees.push_back(cohort.fees);
        other.push_back(cohort.other);
    }
    auto* bars = new QStackedBarSeries;
    bars->append(bar_set(financing_name, financing));
    bars->append(bar_set(default_name, defaults));
    bars->append(bar_set(fees_name, fees));
    bars->append(bar_set(other_name, other));

    auto* total = new QScatterSeries;
    total->setName(text(subsidy_name));
    total->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    total->setMarkerSize(11);
    for (std::size_t k = 0; k < cohorts.size(); ++k) total->append(static_cast<double>(k), cohorts[k].total);

    QBarCategoryAxis* x = year_axis(chart, years, QStringLiteral("Cohort"));
    QValueAxis* y = value_axis(chart, QStringLiteral("Percent of disbursements"), Qt::AlignLeft);
    attach(chart, bars, x, y);
    attach(chart, total, x, y);
    total->setColor(Qt::black);
    y->applyNiceNumbers();

    auto* rate = new QLineSeries;
    rate->setName(text(single_effective_rate_name));
    rate->setPointsVisible(true);
    for (std::size_t k = 0; k < cohorts.size(); ++k)
        if (cohorts[k].single_effective_rate) rate->append(static_cast<double>(k), *cohorts[k].single_effective_rate);
    if (rate->count() == 0) {
        delete rate;
        return chart;
    }
    QValueAxis* rate_axis = value_axis(chart, QStringLiteral("Single effective rate (percent)"), Qt::AlignRight);
    attach(chart, rate, x, rate_axis);
    rate->setPen(QPen(QColor(0xa0, 0x10, 0x10), 2));
    rate_axis->applyNiceNumbers();
    return chart;
}

QChart* make_empty_figure(const QString& why) {
    QChart* chart = new_chart(why);
    chart->legend()->hide();
    return chart;
}

}  // namespace fv
