// The charts of a document on the offscreen platform: each chart's series hold
// the figures the calculation produced (the results record bit for bit, the
// kept sums by fiscal year, the entered rates), they follow a recalculation
// and a reload, a failed calculation shows none, Save as PNG and SVG write
// files that load back, Print writes a PDF, and the rate dialog draws the
// highlighted set's curve.
#include <gtest/gtest.h>

#include <QAction>
#include <QBarSet>
#include <QChart>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QSvgRenderer>

#include <cmath>
#include <filesystem>
#include <map>

#include "app/settings_keys.h"
#include "cashflow/cohort.h"
#include "desktop_test_support.h"
#include "display/program/yield_curve_chart.h"
#include "gui/chart_figures.h"
#include "gui/document_window.h"
#include "gui/print_job.h"
#include "gui/print_text.h"
#include "gui/rate_selection_dialog.h"

namespace fv {
namespace {

using command = main_window::command;
using test::desktop;
using test::example;

QAbstractSeries* series_named(QChart* chart, const char* name) {
    for (QAbstractSeries* series : chart->series())
        if (series->name() == QString::fromUtf8(name)) return series;
    return nullptr;
}

std::vector<double> xy_values(QAbstractSeries* series, bool y) {
    std::vector<double> values;
    for (const QPointF& point : static_cast<QXYSeries*>(series)->points()) values.push_back(y ? point.y() : point.x());
    return values;
}

// The stacked bars' values by set label.
std::map<std::string, std::vector<double>> bar_values(QChart* chart) {
    std::map<std::string, std::vector<double>> sets;
    for (QAbstractSeries* series : chart->series())
        if (auto* bars = qobject_cast<QStackedBarSeries*>(series))
            for (QBarSet* set : bars->barSets()) {
                std::vector<double>& values = sets[set->label().toStdString()];
                for (int k = 0; k < set->count(); ++k) values.push_back(set->at(k));
            }
    return sets;
}

struct calculated_desktop : desktop {
    document_window* window = nullptr;

    explicit calculated_desktop(const std::string& tag, const std::string& file = "direct_loan.wk1") : desktop(tag) {
        window = frame->open_file(example(file));
        if (window != nullptr) action(command::calculate)->trigger();
    }
    chart_window* show(command which) {
        action(which)->trigger();
        return window->charts();
    }
};

TEST(Charts, SubsidyBarsAreTheResultsRecords) {
    calculated_desktop d("chart-subsidy");
    ASSERT_NE(d.window, nullptr);
    ASSERT_TRUE(d.window->document().calculation_completed());
    chart_window* charts = d.show(command::chart_subsidy);
    ASSERT_NE(charts, nullptr);
    EXPECT_EQ(charts->current_kind(), chart_kind::subsidy_by_cohort);
    QChart* chart = charts->chart();
    ASSERT_NE(chart, nullptr);

    std::vector<double> financing, defaults, fees, other, total, rate;
    for (const auto& cohort : d.window->document().program()->cohorts) {
        const cohort_results& r = cohort->results;
        financing.push_back(r.financing_percentage);
        defaults.push_back(r.default_percentage);
        fees.push_back(r.fee_percentage);
        other.push_back(r.other_percentage);
        total.push_back(r.subsidy_percentage);
        rate.push_back(r.single_effective_rate);
    }
    ASSERT_EQ(total.size(), 3u);
    // The values the example's guide lists, as a check that these are the real figures.
    EXPECT_NEAR(total[0], 2.46, 0.005);
    EXPECT_NEAR(rate[2], 5.2765, 0.00005);

    const auto bars = bar_values(chart);
    EXPECT_EQ(bars.at(financing_name), financing);
    EXPECT_EQ(bars.at(default_name), defaults);
    EXPECT_EQ(bars.at(fees_name), fees);
    EXPECT_EQ(bars.at(other_name), other);
    ASSERT_NE(series_named(chart, subsidy_name), nullptr);
    EXPECT_EQ(xy_values(series_named(chart, subsidy_name), true), total);
    ASSERT_NE(series_named(chart, single_effective_rate_name), nullptr);
    EXPECT_EQ(xy_values(series_named(chart, single_effective_rate_name), true), rate);
    EXPECT_EQ(chart->axes(Qt::Vertical).size(), 2);
}

TEST(Charts, CashFlowsAreTheCalculationsSumsByYear) {
    calculated_desktop d("chart-flows");
    ASSERT_NE(d.window, nullptr);
    chart_window* charts = d.show(command::chart_cash_flows);
    ASSERT_NE(charts, nullptr);
    ASSERT_EQ(charts->cohort_chooser()->count(), 3);
    const document& doc = d.window->document();

    for (int chosen : {0, 2}) {
        charts->cohort_chooser()->setCurrentIndex(chosen);
        const cohort& cohort = *doc.program()->cohorts[static_cast<std::size_t>(chosen)];
        const cohort_flows& flows = doc.flows_by_cohort()[static_cast<std::size_t>(chosen)];
        QChart* chart = charts->chart();
        ASSERT_NE(chart, nullptr);
        EXPECT_EQ(chart->title(), QStringLiteral("Cash flows of the %1 cohort").arg(cohort.year));

        // The bars hold the kept sums; the line each year's present value.
        const auto bars = bar_values(chart);
        for (cash_flow_kind kind : all_cash_flow_kinds) {
            std::vector<double> amounts;
            double any = 0.0;
            for (const year_flows& year : flows.years) {
                amounts.push_back(year.amounts[kind_index(kind)]);
                any += std::fabs(amounts.back());
            }
            const auto found = bars.find(cash_flow_kind_name(kind));
            if (any == 0.0)
                EXPECT_EQ(found, bars.end()) << cash_flow_kind_name(kind);
            else if (found != bars.end())
                EXPECT_EQ(found->second, amounts) << cash_flow_kind_name(kind);
            else
                ADD_FAILURE() << "no bars for " << cash_flow_kind_name(kind);
        }
        std::vector<double> present_values;
        for (const year_flows& year : flows.years) present_values.push_back(total_present_value(year));
        EXPECT_EQ(xy_values(series_named(chart, present_value_name), true), present_values);

        // The sums agree with the results record the engine accumulated row
        // by row: disbursements at their amount, each kind's present value.
        double disbursed = 0.0, principal = 0.0, interest = 0.0, fees_paid = 0.0;
        for (const year_flows& year : flows.years) {
            disbursed += year.present_values[kind_index(cash_flow_kind::disbursements)];
            principal += year.present_values[kind_index(cash_flow_kind::repayments)];
            interest += year.present_values[kind_index(cash_flow_kind::interest)];
            fees_paid += year.present_values[kind_index(cash_flow_kind::fees)];
        }
        const cohort_results& r = cohort.results;
        const int type = cohort.program_type;
        EXPECT_NEAR(disbursed, r.disbursements, 1e-9 * std::fabs(r.disbursements));
        EXPECT_NEAR(principal, line_value(r, type, line_code::dl_principal), 1e-9 * std::fabs(principal));
        EXPECT_NEAR(interest, line_value(r, type, line_code::dl_interest), 1e-9 * std::fabs(interest));
        EXPECT_NEAR(fees_paid, line_value(r, type, line_code::dl_fees), 1e-9 * std::fabs(fees_paid) + 1e-12);
        EXPECT_GT(principal, 0.0);
        // Repayments start after the cohort's year and are discounted.
        EXPECT_EQ(flows.years.front().year, cohort.year);
        EXPECT_LT(principal, [&] {
            double sum = 0.0;
            for (const year_flows& year : flows.years) sum += year.amounts[kind_index(cash_flow_kind::repayments)];
            return sum;
        }());
    }
}

TEST(Charts, YieldCurvePassesThroughTheEnteredRates) {
    calculated_desktop d("chart-curve");
    ASSERT_NE(d.window, nullptr);
    chart_window* charts = d.show(command::chart_yield_curve);
    ASSERT_NE(charts, nullptr);
    QChart* chart = charts->chart();
    ASSERT_NE(chart, nullptr);
    const rate_set* used = d.window->document().calculated_rate_set();
    ASSERT_NE(used, nullptr);
    EXPECT_EQ(used->title, "Budget 2001");
    EXPECT_TRUE(chart->title().contains(QStringLiteral("Budget 2001")));

    const std::vector<double> entered = xy_values(series_named(chart, entered_rates_name), true);
    EXPECT_EQ(entered, std::vector<double>(used->rates.begin(), used->rates.end()));
    const std::vector<double> x = xy_values(series_named(chart, par_curve_name), false);
    const std::vector<double> y = xy_values(series_named(chart, par_curve_name), true);
    EXPECT_EQ(x.front(), 0.0);
    EXPECT_EQ(x.back(), 30.0);
    for (std::size_t j = 0; j < 9; ++j) {
        const auto at = std::find(x.begin(), x.end(), rate_maturity_years[j]);
        ASSERT_NE(at, x.end()) << rate_maturity_years[j];
        EXPECT_NEAR(y[static_cast<std::size_t>(at - x.begin())], used->rates[j], 1e-9) << rate_maturity_years[j];
    }
}

TEST(Charts, FollowRecalculationReloadAndFailure) {
    calculated_desktop d("chart-follow");
    ASSERT_NE(d.window, nullptr);
    chart_window* charts = d.show(command::chart_subsidy);
    ASSERT_NE(charts, nullptr);
    const double before = bar_values(charts->chart()).at(financing_name).at(0);
    ASSERT_NE(series_named(charts->chart(), single_effective_rate_name), nullptr);

    // The preferences win (an analysis, so the rate dialog's choice counts):
    // another budget rate set, no single effective rate.
    d.set(settings::preference_conflict, 1);
    d.set(settings::preference_purpose, 4);
    // The budget list is the dialog's choice unless the user picked another.
    d.window->document().rates().selection.titles[1] = "Budget 2002";
    d.action(command::calculate)->trigger();
    ASSERT_TRUE(d.window->document().calculation_completed()) << (d.prompts.messages.empty() ? "" : d.prompts.messages[0]);
    ASSERT_EQ(d.window->document().calculated_rate_set()->title, "Budget 2002");
    const cohort_results& first = d.window->document().program()->cohorts.front()->results;
    EXPECT_NE(first.financing_percentage, before);
    EXPECT_EQ(bar_values(charts->chart()).at(financing_name).at(0), first.financing_percentage);
    EXPECT_EQ(series_named(charts->chart(), single_effective_rate_name), nullptr);
    charts->chart_chooser()->setCurrentIndex(static_cast<int>(chart_kind::yield_curve));
    EXPECT_TRUE(charts->chart()->title().contains(QStringLiteral("Budget 2002")));

    // A failed calculation: no figure, the entries disabled, the window says why.
    d.set(settings::online_spreadsheet_options, 0x02);
    d.action(command::calculate)->trigger();
    ASSERT_TRUE(d.window->document().calculation_failed());
    EXPECT_EQ(charts->chart(), nullptr);
    EXPECT_TRUE(charts->notice()->isVisibleTo(charts));
    for (command which : {command::charts, command::chart_yield_curve, command::chart_cash_flows, command::chart_subsidy})
        EXPECT_FALSE(d.action(which)->isEnabled());
    std::string failure;
    EXPECT_FALSE(charts->save_png(d.folder.at("none.png"), failure));
    EXPECT_FALSE(std::filesystem::exists(d.folder.at("none.png")));

    // Put right and calculated again, the charts return; a reload clears them.
    d.set(settings::online_spreadsheet_options, 0);
    d.action(command::calculate)->trigger();
    EXPECT_NE(charts->chart(), nullptr);
    EXPECT_FALSE(charts->notice()->isVisibleTo(charts));
    EXPECT_TRUE(d.action(command::chart_subsidy)->isEnabled());
    d.action(command::reload)->trigger();
    EXPECT_EQ(charts->chart(), nullptr);
    EXPECT_FALSE(d.action(command::chart_subsidy)->isEnabled());
}

TEST(Charts, SavedFilesLoadBackAndPrintMakesAPdf) {
    calculated_desktop d("chart-files", "loan_guarantee.wk1");
    ASSERT_NE(d.window, nullptr);
    ASSERT_TRUE(d.window->document().calculation_completed()) << (d.prompts.messages.empty() ? "" : d.prompts.messages[0]);
    for (command which : {command::chart_yield_curve, command::chart_cash_flows, command::chart_subsidy}) {
        chart_window* charts = d.show(which);
        ASSERT_NE(charts, nullptr);
        const std::string tag = std::to_string(static_cast<int>(charts->current_kind()));
        std::string failure;
        const std::string png = d.folder.at("chart" + tag + ".png");
        ASSERT_TRUE(charts->save_png(png, failure)) << failure;
        const QImage image(QString::fromStdString(png));
        EXPECT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(1200, 800));
        // Not a blank page: a good part of it differs from the background.
        int drawn = 0;
        for (int y = 0; y < image.height(); y += 4)
            for (int x = 0; x < image.width(); x += 4) drawn += image.pixel(x, y) != image.pixel(0, 0);
        EXPECT_GT(drawn, image.width() * image.height() / 16 / 200) << tag;

        const std::string svg = d.folder.at("chart" + tag + ".svg");
        ASSERT_TRUE(charts->save_svg(svg, failure)) << failure;
        QSvgRenderer renderer(QString::fromStdString(svg));
        EXPECT_TRUE(renderer.isValid());
        EXPECT_FALSE(renderer.defaultSize().isEmpty());
    }

    // Never over the spreadsheet being read.
    std::string failure;
    const std::string spreadsheet = d.window->document().path();
    const auto size_before = std::filesystem::file_size(spreadsheet);
    EXPECT_FALSE(d.window->charts()->save_png(spreadsheet, failure));
    EXPECT_NE(failure.find("it was not overwritten"), std::string::npos) << failure;
    EXPECT_EQ(std::filesystem::file_size(spreadsheet), size_before);

    // Save as through the buttons' path: the name asked for gets its extension.
    d.window->charts()->ask_save_name = [&](const QString&, const QString&) -> std::optional<std::string> {
        return d.folder.at("asked");
    };
    for (QPushButton* button : d.window->charts()->findChildren<QPushButton*>())
        if (button->text().contains(QStringLiteral("SVG"))) button->click();
    EXPECT_TRUE(std::filesystem::exists(d.folder.at("asked.svg")));

    const std::string pdf = d.folder.at("charts.pdf");
    ::setenv(print_pdf_variable, pdf.c_str(), 1);
    const bool printed = d.window->charts()->print(failure);
    ::unsetenv(print_pdf_variable);
    ASSERT_TRUE(printed) << failure;
    const std::string written = with_suffix_before_pdf(pdf, "-chart");
    ASSERT_TRUE(std::filesystem::exists(written));
    EXPECT_GT(std::filesystem::file_size(written), 1000u);
    if (!test::have_tool("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    std::string text;
    ASSERT_TRUE(test::run_command("pdftotext '" + written + "' -", text));
    EXPECT_NE(text.find("Subsidy by cohort"), std::string::npos) << text;
}

TEST(Charts, RateDialogDrawsTheHighlightedSet) {
    desktop d("chart-dialog");
    document_window* window = d.frame->open_file(example("direct_loan.wk1"));
    ASSERT_NE(window, nullptr);
    document_rates& rates = window->document().rates();
    rate_dialog_memory memory;
    rate_selection_dialog dialog(*d.store, rates, memory, {}, dialog_services{});
    auto entered_of = [&] {
        QAbstractSeries* series = series_named(dialog.curve_view()->chart(), entered_rates_name);
        return series != nullptr ? xy_values(series, true) : std::vector<double>{};
    };
    const rate_set* shown = dialog.highlighted_set();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(entered_of(), std::vector<double>(shown->rates.begin(), shown->rates.end()));

    // The radio buttons and lists in the dialog's order: actual, budget, own.
    const QList<QRadioButton*> buttons = dialog.findChildren<QRadioButton*>();
    const QList<QComboBox*> lists = dialog.findChildren<QComboBox*>();
    ASSERT_EQ(buttons.size(), 3);
    ASSERT_EQ(lists.size(), 3);

    // Another item of the budget list, then the actual rates' category.
    QComboBox* budget = lists[1];
    ASSERT_GT(budget->count(), 1);
    buttons[1]->setChecked(true);
    budget->setCurrentIndex(budget->currentIndex() == 0 ? 1 : 0);
    const rate_set& picked = rates.rates.budget()[static_cast<std::size_t>(budget->currentIndex())];
    EXPECT_EQ(dialog.highlighted_set(), &picked);
    EXPECT_EQ(entered_of(), std::vector<double>(picked.rates.begin(), picked.rates.end()));
    EXPECT_TRUE(dialog.curve_view()->chart()->title().contains(QString::fromStdString(picked.title)));
    buttons[0]->setChecked(true);
    const rate_set& actual = rates.rates.actual()[static_cast<std::size_t>(lists[0]->currentIndex())];
    EXPECT_EQ(entered_of(), std::vector<double>(actual.rates.begin(), actual.rates.end()));
}

}  // namespace
}  // namespace fv
