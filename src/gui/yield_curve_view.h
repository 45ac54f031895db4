// A small view of a rate set's yield curve, for the rate selection dialog:
// the entered rates and the curve built from them, or why there is none.
#pragma once

#include <QChartView>

namespace fv {

class rate_set;

class yield_curve_view : public QChartView {
public:
    explicit yield_curve_view(QWidget* parent = nullptr);
    ~yield_curve_view() override;

    // The set's curve; none (a blank chart) for a null set.
    void show_rate_set(const rate_set* set);

private:
    void replace_chart(QChart* figure);
};

}  // namespace fv
