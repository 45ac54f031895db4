// Which side wins each choice under both settings of preference_conflict, and the failure texts.
#include "app/conflict_resolution.h"

#include <gtest/gtest.h>

#include "app/settings_keys.h"
#include "util/text_error.h"

namespace fv {
namespace {

const std::array<double, 9> some_rates = {5, 5, 5, 5, 5, 5, 5, 5, 5};

rate_collection sample_rates(bool with_own = true) {
    rate_collection rates;
    rates.set_rate_file_sets({rate_set(fv::rate_source::actual, "FY 1998 average", some_rates), rate_set(fv::rate_source::actual, "FY 1999 average", some_rates)},
                     {rate_set(fv::rate_source::budget, "Budget 2001", some_rates), rate_set(fv::rate_source::budget, "Budget 2000", some_rates)});
    if (with_own) {
        rates.add_own(rate_set(fv::rate_source::own, "Base case", some_rates));
        rates.add_own(rate_set(fv::rate_source::own, "High case", some_rates));
    }
    return rates;
}

struct fixture {
    memory_settings_store store;
    spreadsheet_choices sheet;
    rate_selection_state dialog;
    rate_collection rates = sample_rates();
    rate_source current_source = rate_source::budget;

    explicit fixture(int conflict) {
        store.write_int(settings::runtime_options, settings::preference_conflict, conflict);
        store.write_int(settings::runtime_options, settings::budget_year, 2000);
        sheet.budget_year = 2001;
    }
    void set(const std::string& key, int value) { store.write_int(settings::runtime_options, key, value); }
    resolved_choices resolve() { return resolve_conflicts(store, sheet, dialog, rates, current_source, 0); }
    std::string failure() {
        try {
            resolve();
        } catch (const text_error& e) {
            return e.text();
        }
        return "(no failure)";
    }
};

TEST(ConflictResolution, DialogsWinBudgetPurposeTakesTheBudgetYearSetting) {
    fixture f(1);
    f.set(settings::preference_purpose, 0);
    f.dialog = {rate_source::own, {"", "", "High case"}};
    const resolved_choices out = f.resolve();
    EXPECT_EQ(out.purpose, calculation_purpose::budget_formulation);
    EXPECT_EQ(out.rate_source, rate_source::budget);
    EXPECT_EQ(out.rate_title, "Budget 2000");  // the setting, not the program's 2001
    EXPECT_TRUE(out.budget_rates_forced);

    f.store.write_int(settings::runtime_options, settings::budget_year, 1995);
    EXPECT_EQ(f.failure(), "Unable to find interest rate assumptions for the 2001 budget");
}

TEST(ConflictResolution, DialogsWinAnalysisTakesTheDialogChoiceByTitle) {
    fixture f(1);
    f.set(settings::preference_purpose, 4);
    f.set(settings::calc_single_effective_rate, 1);
    f.sheet.single_effective_rate = false;  // the spreadsheet loses
    f.dialog = {rate_source::own, {"", "", "High case"}};
    resolved_choices out = f.resolve();
    EXPECT_EQ(out.purpose, calculation_purpose::analysis);
    EXPECT_EQ(out.rate_source, rate_source::own);
    EXPECT_EQ(out.rate_title, "High case");
    EXPECT_TRUE(out.single_effective_rate);
    EXPECT_FALSE(out.budget_rates_forced);

    // A title no longer in the list falls back to the first set of the list.
    f.dialog = {rate_source::actual, {"FY 1970 average", "", ""}};
    out = f.resolve();
    EXPECT_EQ(out.rate_source, rate_source::actual);
    EXPECT_EQ(out.rate_title, "FY 1999 average");  // the lists keep the latest set first

    // An empty own list falls back to the budget list's choice.
    f.rates = sample_rates(false);
    f.dialog = {rate_source::own, {"", "Budget 2000", ""}};
    out = f.resolve();
    EXPECT_EQ(out.rate_source, rate_source::own);
    EXPECT_EQ(out.rate_title, "Budget 2000");
}

TEST(ConflictResolution, OutputNameUnderBothSettings) {
    fixture dialogs(1);
    dialogs.set(settings::online_spreadsheet_options, 3);
    dialogs.sheet.output_file = "out.wk3";
    EXPECT_EQ(dialogs.resolve().output_file, "out.wk3");
    dialogs.store.write_text(settings::runtime_options, settings::online_filename, "out.xls");
    EXPECT_EQ(dialogs.failure(), "Spreadsheet output filename must have a \"wk3\" extension\n\nfilename provided:  out.xls");
    // An Excel workbook's name is accepted as well, in any case; nothing before ".xlsx" is no name.
    dialogs.store.write_text(settings::runtime_options, settings::online_filename, "Out.XLSX");
    EXPECT_EQ(dialogs.resolve().output_file, "Out.XLSX");
    dialogs.store.write_text(settings::runtime_options, settings::online_filename, ".xlsx");
    EXPECT_EQ(dialogs.failure(), "Spreadsheet output filename must have a \"wk3\" extension\n\nfilename provided:  .xlsx");

    fixture sheet_wins(0);
    sheet_wins.set(settings::online_spreadsheet_options, 3);
    EXPECT_EQ(sheet_wins.failure(), "Options call for spreadsheet output, but no filename provided");
    sheet_wins.store.write_text(settings::runtime_options, settings::online_filename, "prefs.wk3");
    EXPECT_EQ(sheet_wins.resolve().output_file, "prefs.wk3");
    sheet_wins.sheet.output_file = "mine.xls";  // accepted: no extension test on this side
    EXPECT_EQ(sheet_wins.resolve().output_file, "mine.xls");

    fixture off(0);
    off.sheet.output_file = "mine.wk3";
    EXPECT_FALSE(off.resolve().output_file.has_value());
}

TEST(ConflictResolution, SpreadsheetWinsPurposeAndRateChoice) {
    fixture f(0);
    f.set(settings::preference_purpose, 4);  // no effect: the program's purpose is budget formulation
    f.current_source = rate_source::own;
    resolved_choices out = f.resolve();
    EXPECT_EQ(out.purpose, calculation_purpose::budget_formulation);
    EXPECT_EQ(out.rate_title, "Budget 2001");
    EXPECT_TRUE(out.budget_rates_forced);

    f.sheet.purpose = calculation_purpose::analysis;
    f.sheet.rate_source = rate_source::actual;
    f.sheet.selection = "fy 1999";
    out = f.resolve();
    EXPECT_EQ(out.rate_source, rate_source::actual);
    EXPECT_EQ(out.rate_title, "FY 1999 average");
    EXPECT_FALSE(out.budget_rates_forced);

    f.sheet.selection = "FY 2050";
    EXPECT_EQ(f.failure(),
              "Spreadsheet calls for a rate selection that does not exist.\n\nIn the Actual rates section, rates named "
              "\"FY 2050\" were not found\n\nPlease update the spreadsheet or make a selection from the \"Actions\" - "
              "\"Rates\" menu");

    f.sheet.rate_source = rate_source::own;
    f.sheet.selection.reset();
    f.dialog = {rate_source::budget, {"", "", "High case"}};
    EXPECT_EQ(f.resolve().rate_title, "High case");
    f.rates = sample_rates(false);
    EXPECT_EQ(f.failure(),
              "Spreadsheet calls for the default \"own\" rate selection and there are none.\n\nPlease update the "
              "spreadsheet or make a selection from the \"Actions\" - \"Rates\" menu");

    f.sheet.rate_source.reset();  // no source in the spreadsheet: the dialog decides
    f.dialog = {rate_source::budget, {"", "Budget 2000", ""}};
    out = f.resolve();
    EXPECT_EQ(out.rate_source, rate_source::budget);
    EXPECT_EQ(out.rate_title, "Budget 2000");
}

TEST(ConflictResolution, SingleEffectiveRateChoice) {
    const struct {
        int conflict;
        std::optional<bool> sheet;
        int setting;
        bool expected;
    } cases[] = {{0, std::nullopt, 1, true}, {0, std::nullopt, 0, false}, {0, false, 1, false},
                 {0, true, 0, true},         {1, false, 1, true},          {1, true, 0, false}};
    for (const auto& c : cases) {
        fixture f(c.conflict);
        f.set(settings::preference_purpose, 4);
        f.sheet.purpose = calculation_purpose::analysis;
        f.sheet.single_effective_rate = c.sheet;
        f.set(settings::calc_single_effective_rate, c.setting);
        EXPECT_EQ(f.resolve().single_effective_rate, c.expected) << c.conflict << " " << c.sheet.value_or(-1) << " " << c.setting;
    }
}

TEST(ConflictResolution, SelectRatesAlert) {
    memory_settings_store store;
    EXPECT_FALSE(select_rates_needs_alert(store, calculation_purpose::budget_formulation));
    store.write_int(settings::runtime_options, settings::preference_conflict, 1);
    store.write_int(settings::runtime_options, settings::preference_purpose, 0);
    EXPECT_TRUE(select_rates_needs_alert(store, calculation_purpose::analysis));
    store.write_int(settings::runtime_options, settings::preference_conflict, 0);
    EXPECT_TRUE(select_rates_needs_alert(store, calculation_purpose::budget_formulation));
    EXPECT_FALSE(select_rates_needs_alert(store, calculation_purpose::analysis));
}

}  // namespace
}  // namespace fv
