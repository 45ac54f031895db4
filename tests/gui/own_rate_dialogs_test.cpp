// The two dialogs that create an own rate set: the yield-curve dialog shows
// the core's messages and the interpolated rates in its boxes; the flat-rate
// dialog remembers its kind and alert switch and asks the conversion alert
// only when a converted rate is to be told.
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <cmath>

#include "app/settings_keys.h"
#include "dialog_test_support.h"
#include "gui/flat_rate_dialog.h"
#include "gui/yield_curve_dialog.h"
#include "rates/own_rates.h"

namespace fv {
namespace {

using test::message_recorder;
namespace keys = settings;
const std::string& section = keys::runtime_options;

TEST(YieldCurveDialog, InterpolateFillsEveryBoxWithFourDecimals) {
    message_recorder recorder;
    yield_curve_dialog dialog(recorder.services(), {});
    dialog.title()->setText("Mine");
    dialog.rate(0)->setText("4.5");
    dialog.rate(7)->setText(" 5.123456 ");
    dialog.rate(5)->setText("0.01");  // counts as not entered
    ASSERT_TRUE(dialog.interpolate()) << recorder.last();
    for (int n = 0; n < 9; ++n) {
        const std::string text = dialog.rate(n)->text().toStdString();
        ASSERT_EQ(text.size() - text.find('.'), 5u) << n << ": " << text;  // four decimals
        EXPECT_GT(std::stod(text), 0.01) << n;
    }
    EXPECT_EQ(dialog.rate(0)->text().toStdString(), "4.5000");
    EXPECT_EQ(dialog.rate(7)->text().toStdString(), "5.1235");
    EXPECT_NE(dialog.rate(5)->text().toStdString(), "0.0100");
    EXPECT_TRUE(dialog.take_values()) << recorder.last();
    EXPECT_EQ(dialog.entry().rates[7], 5.1235);
    EXPECT_EQ(dialog.entry().title, "Mine");
}

TEST(YieldCurveDialog, MessagesKeepTheDialogOpenAndTheBoxesAsTyped) {
    message_recorder recorder;
    yield_curve_entry shown;
    shown.title = "Seventeen chars!!";
    shown.rate_texts = {"1", "2", "3", "4", "5", "6", "7", "8", "9"};
    yield_curve_dialog dialog(recorder.services(), shown);
    EXPECT_EQ(dialog.rate(8)->text().toStdString(), "9");  // a dialog shown again keeps the entries

    dialog.accept();
    EXPECT_EQ(recorder.last(), "Title must be 16 characters or less");
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    dialog.rate(3)->setText("");  // left empty: 0, checked before the title
    dialog.accept();
    EXPECT_EQ(recorder.last(), "Interest rates must be non-zero values.");
    dialog.rate(3)->setText("four");
    EXPECT_FALSE(dialog.take_values());
    EXPECT_EQ(recorder.last(), "Please enter a number.");

    dialog.rate(0)->setText("");
    dialog.rate(3)->setText("4");
    EXPECT_FALSE(dialog.interpolate());
    EXPECT_EQ(recorder.last(),
              "Interpolation requires, at a minimum, a 13-week rate and a 10 year rate.\n\nPlease enter the 13-week "
              "rate");
    EXPECT_EQ(dialog.rate(1)->text().toStdString(), "2");  // boxes untouched

    dialog.rate(0)->setText("1");
    dialog.title()->setText("Sixteen chars ok");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

class FlatRateDialog : public ::testing::Test {
protected:
    memory_settings_store store;
    message_recorder recorder;
    std::vector<std::pair<double, double>> alerts;
    bool go_on = true;

    void watch(flat_rate_dialog& dialog) {
        dialog.confirm_conversion = [this](double before, double after) {
            alerts.emplace_back(before, after);
            return go_on;
        };
    }
};

TEST_F(FlatRateDialog, RemembersKindAndSwitchRepairingOddValues) {
    store.write_int(section, keys::flat_rate_type, 7);
    store.write_int(section, keys::conversion_alert, 5);
    {
        flat_rate_dialog dialog(store, recorder.services(), nullptr);
        EXPECT_TRUE(dialog.kind_button(0)->isChecked());
        EXPECT_TRUE(dialog.alert_switch()->isChecked());
        EXPECT_EQ(store.read_int(section, keys::flat_rate_type, -1), 0);
        EXPECT_EQ(store.read_int(section, keys::conversion_alert, -1), 1);
        dialog.kind_button(2)->setChecked(true);
        dialog.alert_switch()->setChecked(false);
        dialog.title()->setText("x");
        dialog.rate()->setText("-1");
        EXPECT_FALSE(dialog.take_values());
        EXPECT_EQ(recorder.last(), "Interest rate must be a positive value.");
    }
    // Taken values are remembered even when a check then failed.
    flat_rate_dialog again(store, recorder.services(), nullptr);
    EXPECT_TRUE(again.kind_button(2)->isChecked());
    EXPECT_FALSE(again.alert_switch()->isChecked());
}

TEST_F(FlatRateDialog, ConversionAlertOnlyForConvertedRatesWhenAsked) {
    flat_rate_dialog dialog(store, recorder.services(), nullptr);
    watch(dialog);
    dialog.title()->setText("Flat six");
    dialog.rate()->setText("6.09");
    dialog.kind_button(flat_effective_annual)->setChecked(true);
    dialog.alert_switch()->setChecked(true);

    go_on = false;  // "&Go back"
    EXPECT_FALSE(dialog.take_values());
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].first, 6.09);
    EXPECT_EQ(alerts[0].second, 6.0);
    EXPECT_EQ(conversion_alert_texts(6.09), (std::array<std::string, 2>{"6.09  ", "6.00  "}));

    go_on = true;  // "&Continue"
    EXPECT_TRUE(dialog.take_values());
    EXPECT_EQ(dialog.entry().rate, 6.09);  // as entered; the caller converts
    EXPECT_EQ(dialog.entry().kind, flat_effective_annual);

    dialog.alert_switch()->setChecked(false);
    EXPECT_TRUE(dialog.take_values());
    dialog.alert_switch()->setChecked(true);
    dialog.kind_button(flat_bond_equivalent)->setChecked(true);
    EXPECT_TRUE(dialog.take_values());
    EXPECT_EQ(alerts.size(), 2u);  // neither without the switch nor for a bond-equivalent rate

    conversion_alert_dialog alert(6.09, 6.0);
    EXPECT_EQ(alert.before()->text().toStdString(), "6.09  ");
    EXPECT_EQ(alert.after()->text().toStdString(), "6.00  ");
}

}  // namespace
}  // namespace fv
