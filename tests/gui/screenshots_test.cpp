// Not a check: the pictures for the documentation. With FV_SCREENSHOTS_DIR
// set (scripts/screenshots does, under Xvfb) it writes the main window with
// the subsidy display, each chart and the rate dialog with its curve there as
// PNG files; otherwise it is skipped.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMdiSubWindow>
#include <QPixmap>

#include <cstdlib>

#include "desktop_test_support.h"
#include "gui/document_window.h"
#include "gui/rate_selection_dialog.h"

namespace fv {
namespace {

using command = main_window::command;

void settle() {
    for (int pass = 0; pass < 5; ++pass) QApplication::processEvents();
}

bool save(QWidget* widget, const std::string& folder, const char* name) {
    settle();
    return widget->grab().save(QString::fromStdString(folder + "/" + name), "PNG");
}

TEST(Screenshots, DesktopChartsAndRateDialog) {
    const char* folder = std::getenv("FV_SCREENSHOTS_DIR");
    if (folder == nullptr || *folder == '\0') GTEST_SKIP() << "FV_SCREENSHOTS_DIR is not set (scripts/screenshots sets it)";
    const std::string out = folder;

    test::desktop d("screenshots");
    d.frame->resize(1100, 720);
    d.frame->show();
    document_window* window = d.frame->open_file(test::example("direct_loan.wk1"));
    ASSERT_NE(window, nullptr);
    d.action(command::calculate)->trigger();
    ASSERT_TRUE(window->document().calculation_completed());
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) sub->showMaximized();
    EXPECT_TRUE(save(d.frame.get(), out, "screenshot-main-window.png"));

    const std::pair<command, const char*> charts[] = {
        {command::chart_yield_curve, "chart-yield-curve.png"},
        {command::chart_cash_flows, "chart-cash-flows.png"},
        {command::chart_subsidy, "chart-subsidy-by-cohort.png"},
    };
    for (const auto& [which, name] : charts) {
        d.action(which)->trigger();
        chart_window* shown = window->charts();
        ASSERT_NE(shown, nullptr);
        shown->resize(1000, 660);
        if (which == command::chart_cash_flows) shown->cohort_chooser()->setCurrentIndex(0);
        EXPECT_TRUE(save(shown, out, name));
    }
    window->charts()->hide();

    rate_dialog_memory memory;
    rate_selection_dialog dialog(*d.store, window->document().rates(), memory, {}, dialog_services{}, d.frame.get());
    dialog.show();
    EXPECT_TRUE(save(&dialog, out, "rate-dialog-curve.png"));
}

}  // namespace
}  // namespace fv
