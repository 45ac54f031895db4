// The charts of one document, in a window of its own beside the document's
// displays: a chooser of the three charts, a cohort chooser for the cash
// flows, and Save as PNG, Save as SVG and Print. It follows the document's
// current calculation; while there is no completed one it says so and draws
// no figure, so it never shows figures of an earlier run.
#pragma once

#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "display/program/subsidy_chart.h"
#include "display/program/yield_curve_chart.h"
#include "gui/chart_export.h"
#include "subsidy/flows_by_year.h"

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;

namespace fv {

class document;
class user_prompts;

enum class chart_kind { yield_curve, cash_flows, subsidy_by_cohort };

class chart_window : public QWidget {
public:
    chart_window(const document& document, user_prompts& prompts, QWidget* parent = nullptr);

    // Chooses the chart and brings the window forward.
    void show_chart(chart_kind kind);
    // Draws again from the document as it is now (after a calculation or a reload).
    void follow_document();

    // The figure shown; null while the document has no completed calculation.
    QChart* chart() const;
    chart_kind current_kind() const;
    QComboBox* chart_chooser() const { return chart_chooser_; }
    QComboBox* cohort_chooser() const { return cohort_chooser_; }
    QLabel* notice() const { return notice_; }

    // The buttons' work with the file name given; false with the reason.
    bool save_png(const std::string& path, std::string& failure) const;
    bool save_svg(const std::string& path, std::string& failure) const;
    bool print(std::string& failure);

    // Asks for the file to save into; tests answer in place of the dialog.
    std::function<std::optional<std::string>(const QString& caption, const QString& filter)> ask_save_name;

private:
    void draw();
    // A maker of the chosen figure; empty without a calculation.
    figure_maker current_figure() const;
    void save_as(bool svg);

    const document& document_;
    user_prompts& prompts_;
    std::optional<yield_curve_chart> curve_;
    std::string curve_failure_;
    std::vector<cohort_flows> flows_;
    std::vector<cohort_subsidy_bar> subsidies_;
    bool calculated_ = false;

    QComboBox* chart_chooser_;
    QComboBox* cohort_chooser_;
    QLabel* cohort_label_;
    QLabel* notice_;
    QChartView* view_;
    std::vector<QPushButton*> buttons_;
};

}  // namespace fv
