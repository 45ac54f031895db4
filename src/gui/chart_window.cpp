// The chart window: choosing the chart and the cohort, and handing the chosen
// figure to the view, the files and the printer.
#include "gui/chart_window.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/document.h"
#include "gui/chart_figures.h"
#include "gui/user_prompts.h"
#include "util/text_error.h"

namespace fv {

namespace {

constexpr const char* no_calculation_text =
    "There is no completed calculation: calculate the subsidy to see its charts.";

QString file_title(const std::string& path) {
    return QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).fileName();
}

}  // namespace

chart_window::chart_window(const document& document, user_prompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window),
      document_(document),
      prompts_(prompts),
      chart_chooser_(new QComboBox(this)),
      cohort_chooser_(new QComboBox(this)),
      cohort_label_(new QLabel(QStringLiteral("Co&hort:"), this)),
      notice_(new QLabel(QString::fromLatin1(no_calculation_text), this)),
      view_(new QChartView(this)) {
    chart_chooser_->addItem(QStringLiteral("Yield curve"));
    chart_chooser_->addItem(QStringLiteral("Cash flows of a cohort"));
    chart_chooser_->addItem(QStringLiteral("Subsidy by cohort"));
    cohort_label_->setBuddy(cohort_chooser_);
    auto* chart_label = new QLabel(QStringLiteral("&Chart:"), this);
    chart_label->setBuddy(chart_chooser_);
    view_->setRenderHint(QPainter::Antialiasing);
    notice_->setAlignment(Qt::AlignCenter);
    notice_->setWordWrap(true);

    auto* choosers = new QHBoxLayout;
    choosers->addWidget(chart_label);
    choosers->addWidget(chart_chooser_);
    choosers->addSpacing(12);
    choosers->addWidget(cohort_label_);
    choosers->addWidget(cohort_chooser_);
    choosers->addStretch(1);
    auto* actions = new QHBoxLayout;
    actions->addStretch(1);
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"Save as &PNG...", [this] { save_as(false); }},
        {"Save as &SVG...", [this] { save_as(true); }},
        {"P&rint...", [this] {
             std::string failure;
             if (!print(failure)) prompts_.message(this, failure);
         }},
    };
    for (const auto& [text, work] : commands) {
        auto* button = new QPushButton(QString::fromLatin1(text), this);
        connect(button, &QPushButton::clicked, this, work);
        actions->addWidget(button);
        buttons_.push_back(button);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choosers);
    layout->addWidget(notice_, 1);
    layout->addWidget(view_, 1);
    layout->addLayout(actions);

    ask_save_name = [this](const QString& caption, const QString& filter) -> std::optional<std::string> {
        const QString name = QFileDialog::getSaveFileName(this, caption, QString(), filter);
        if (name.isEmpty()) return std::nullopt;
        return QFile::encodeName(name).toStdString();
    };
    connect(chart_chooser_, &QComboBox::currentIndexChanged, this, [this] { draw(); });
    connect(cohort_chooser_, &QComboBox::currentIndexChanged, this, [this] { draw(); });
    resize(900, 620);
    follow_document();
}

void chart_window::show_chart(chart_kind kind) {
    chart_chooser_->setCurrentIndex(static_cast<int>(kind));
    show();
    raise();
    activateWindow();
}

chart_kind chart_window::current_kind() const {
    switch (chart_chooser_->currentIndex()) {
        case 1: return chart_kind::cash_flows;
        case 2: return chart_kind::subsidy_by_cohort;
        default: return chart_kind::yield_curve;
    }
}

void chart_window::follow_document() {
    setWindowTitle(QStringLiteral("Charts - %1").arg(file_title(document_.path())));
    const rate_set* rates = document_.calculated_rate_set();
    calculated_ = rates != nullptr && document_.program() != nullptr;
    curve_.reset();
    curve_failure_.clear();
    flows_.clear();
    subsidies_.clear();
    if (calculated_) {
        try {
            curve_ = make_yield_curve_chart(*rates);
        } catch (const text_error& failure) {
            curve_failure_ = failure.text();
        }
        flows_ = document_.flows_by_cohort();
        subsidies_ = make_subsidy_chart(*document_.program());
    }
    // The same cohort stays chosen when it is still there.
    const QString chosen = cohort_chooser_->currentText();
    {
        const QSignalBlocker quiet(cohort_chooser_);
        cohort_chooser_->clear();
        for (const cohort_flows& flows : flows_) cohort_chooser_->addItem(QString::number(flows.year));
        const int again = cohort_chooser_->findText(chosen);
        cohort_chooser_->setCurrentIndex(again >= 0 ? again : 0);
    }
    draw();
}

figure_maker chart_window::current_figure() const {
    if (!calculated_) return {};
    switch (current_kind()) {
        case chart_kind::yield_curve:
            if (curve_) return [curve = *curve_] { return make_yield_curve_figure(curve); };
            return [why = QString::fromStdString(curve_failure_)] { return make_empty_figure(why); };
        case chart_kind::cash_flows: {
            const int cohort = cohort_chooser_->currentIndex();
            if (cohort < 0 || cohort >= static_cast<int>(flows_.size()))
                return [] { return make_empty_figure(QStringLiteral("The program has no cohort.")); };
            return [flows = flows_[static_cast<std::size_t>(cohort)]] { return make_cash_flow_figure(flows); };
        }
        case chart_kind::subsidy_by_cohort:
            return [bars = subsidies_] { return make_subsidy_figure(bars); };
    }
    return {};
}

void chart_window::draw() {
    const bool cash_flows = current_kind() == chart_kind::cash_flows;
    cohort_label_->setVisible(cash_flows);
    cohort_chooser_->setVisible(cash_flows);
    QChart* old = view_->chart();
    const figure_maker figure = current_figure();
    view_->setChart(figure ? figure() : new QChart);
    delete old;
    notice_->setVisible(!figure);
    view_->setVisible(static_cast<bool>(figure));
    for (QPushButton* button : buttons_) button->setEnabled(static_cast<bool>(figure));
}

QChart* chart_window::chart() const { return calculated_ ? view_->chart() : nullptr; }

bool chart_window::save_png(const std::string& path, std::string& failure) const {
    const figure_maker figure = current_figure();
    if (!figure) {
        failure = no_calculation_text;
        return false;
    }
    return save_chart_png(figure, path, document_.path(), failure);
}

bool chart_window::save_svg(const std::string& path, std::string& failure) const {
    const figure_maker figure = current_figure();
    if (!figure) {
        failure = no_calculation_text;
        return false;
    }
    return save_chart_svg(figure, path, document_.path(), failure);
}

bool chart_window::print(std::string& failure) {
    const figure_maker figure = current_figure();
    if (!figure) {
        failure = no_calculation_text;
        return false;
    }
    return print_chart(figure, prompts_, this, failure);
}

void chart_window::save_as(bool svg) {
    const std::optional<std::string> name =
        svg ? ask_save_name(QStringLiteral("Save the chart as SVG"), QStringLiteral("SVG images (*.svg)"))
            : ask_save_name(QStringLiteral("Save the chart as PNG"), QStringLiteral("PNG images (*.png)"));
    if (!name) return;
    // A name typed without an extension gets the format's.
    std::string path = *name;
    const std::size_t base = path.find_last_of('/');
    if (path.find('.', base == std::string::npos ? 0 : base + 1) == std::string::npos) path += svg ? ".svg" : ".png";
    std::string failure;
    if (!(svg ? save_svg(path, failure) : save_png(path, failure))) prompts_.message(this, failure);
}

}  // namespace fv
