// The calculation run of a document on real WK1 files: range choice, load
// failures, the calculation and its displays, repeated calculations,
// spreadsheet output, and the batch run's rate choice.
#include "app/document.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "app/settings_keys.h"
#include "util/text_error.h"
#include "workbook/workbook_file.h"
#include "workbook/lotus_writer.h"
#include "workbook/workbook_dump.h"

namespace fv {
namespace {

namespace fs = std::filesystem;
using test::temp_file;
using cells = std::vector<std::vector<std::variant<double, std::string>>>;

struct recording_host : document_host {
    std::vector<std::string> messages;
    std::vector<std::string> statuses;
    std::vector<int> selected;
    std::vector<std::string> printed;
    std::optional<std::string> range_answer;
    int range_questions = 0, wide_notices = 0;
    bool view = true;
    std::optional<bool> keep_calculating;  // none: nobody watches the calculation
    int progress_calls = 0;

    void show_message(const std::string& text) override { messages.push_back(text); }
    cohort_progress calculation_progress() override {
        if (!keep_calculating) return {};
        return [this](std::size_t, std::size_t) {
            ++progress_calls;
            return *keep_calculating;
        };
    }
    std::optional<std::string> choose_range(const std::string&, const std::vector<std::string>&) override {
        ++range_questions;
        return range_answer;
    }
    void wide_lines_notice() override { ++wide_notices; }
    void set_status(const std::string& text) override { statuses.push_back(text); }
    bool has_view() const override { return view; }
    void select_display(int display) override { selected.push_back(display); }
    bool print_text(const std::string& text, const std::string&, const std::string&) override {
        printed.push_back(text);
        return true;
    }
};

// Rows from A1 down; every named range covers them all.
test::bytes workbook(const cells& rows, const std::vector<std::string>& range_names = {"TRQ"}) {
    std::vector<test::wk1::cell_spec> specs;
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            specs.push_back({std::string("A:") + static_cast<char>('A' + c) + std::to_string(r + 1), rows[r][c]});
    std::vector<test::wk1::range_spec> ranges;
    for (const auto& name : range_names) ranges.push_back({name, "A:A1", "A:H" + std::to_string(rows.size())});
    return test::wk1::workbook(specs, ranges);
}

const cells direct_loan = {
    {std::string("Name"), std::string("Test program")},
    {std::string("Program type"), std::string("direct")},
    {std::string("Budget year"), 2001.0},
    {std::string("Obligations")},
    {std::string("Disbursements"), 100.0},
    {std::string("Principal pmts, scheduled"), 60.0, 40.0},
    {std::string("Interest pmts, scheduled"), 5.0, 2.0},
};

struct document_fixture {
    memory_settings_store store;
    recording_host host;
    std::time_t now = 1000000000;  // Sun Sep 9 2001
    std::unique_ptr<fv::document> document;

    document_fixture() { set(settings::budget_year, 2001); }
    void set(const std::string& key, int value) { store.write_int(settings::runtime_options, key, value); }
    fv::document& make() {
        document = std::make_unique<fv::document>(store, host, std::string(FV_BINARY_DIR) + "/", [this] { return now; });
        return *document;
    }
};

// A calculation stopped while its cohorts run leaves every display, message,
// result and status as they were before it started.
TEST(Document, ACancelledCalculationLeavesTheDocumentAsItWas) {
    document_fixture f;
    f.set(settings::online_view_options, 0xFE);  // every display
    temp_file file(workbook(direct_loan), "wk1");
    document& doc = f.make();
    ASSERT_TRUE(doc.load_spreadsheet(file.path()));
    const auto state = [&] {
        std::vector<std::optional<std::string>> texts;
        for (int display = 1; display <= display_count; ++display) texts.push_back(doc.display_text(display));
        return std::make_tuple(texts, doc.messages_text(), doc.calculation_completed(), doc.status(),
                               doc.program()->cohorts.front()->results.subsidy_amount);
    };

    // Before any calculation, and after one: both come back after a cancelled one.
    for (int round = 0; round < 2; ++round) {
        const auto before = state();
        f.host.keep_calculating = false;
        doc.calculate_subsidy();
        EXPECT_GE(f.host.progress_calls, 1);
        EXPECT_EQ(state(), before) << round;
        EXPECT_TRUE(f.host.messages.empty());
        f.host.keep_calculating = true;
        doc.calculate_subsidy();
        ASSERT_TRUE(doc.calculation_completed());
        if (round == 0) {
            EXPECT_FALSE(state() == before);
        }
    }
}

TEST(Document, LoadsAndCalculatesAtOnce) {
    document_fixture f;
    f.set(settings::auto_subsidy_calc, 1);
    temp_file file(workbook(direct_loan), "wk1");
    document& doc = f.make();
    ASSERT_TRUE(doc.load_spreadsheet(file.path())) << (f.host.messages.empty() ? "" : f.host.messages.front());
    ASSERT_TRUE(f.host.messages.empty()) << f.host.messages.front();
    EXPECT_EQ(doc.status(), file.path() + ":  Done");
    EXPECT_TRUE(doc.calculation_completed());
    // The calculation selects its display, then the load does.
    EXPECT_EQ(f.host.selected, (std::vector<int>{2, 2}));
    // Only displays 1, 2 and 7 without output masks.
    for (int display = 1; display <= 7; ++display)
        EXPECT_EQ(doc.has_display(display), display == 1 || display == 2 || display == 7) << display;
    EXPECT_NE(doc.display_text(2).value_or("").find("Budget forecast rates, Budget 2001"), std::string::npos);
    const std::vector<std::string> expected_stages = {
        "", ":  reading spreadsheet", ":  parsing range", ":  editing input", ":  preparing displays",
        ":  Calculating subsidy", ":  Done", ":  Done"};
    ASSERT_EQ(f.host.statuses.size(), expected_stages.size());
    for (std::size_t i = 0; i < expected_stages.size(); ++i)
        EXPECT_EQ(f.host.statuses[i], file.path() + expected_stages[i]);
}

TEST(Document, RangeChoiceAndLoadFailures) {
    {  // Two candidates: the default name decides, ignoring case.
        document_fixture f;
        temp_file file(workbook(direct_loan, {"Alpha", "trq"}), "wk1");
        document& doc = f.make();
        ASSERT_TRUE(doc.load_spreadsheet(file.path()));
        EXPECT_EQ(doc.range_name(), "trq");
        EXPECT_EQ(f.host.selected, std::vector<int>{1});  // no calculation: the source data
    }
    {  // No default name matches: the user is asked; Cancel discards silently.
        document_fixture f;
        temp_file file(workbook(direct_loan, {"Alpha", "Beta"}), "wk1");
        EXPECT_FALSE(f.make().load_spreadsheet(file.path()));
        EXPECT_EQ(f.host.range_questions, 1);
        EXPECT_TRUE(f.host.messages.empty());
    }
    {  // No range qualifies.
        document_fixture f;
        temp_file file(workbook(direct_loan, {}), "wk1");
        EXPECT_FALSE(f.make().load_spreadsheet(file.path()));
        ASSERT_EQ(f.host.messages.size(), 1u);
        EXPECT_EQ(f.host.messages[0], "No named ranges were found in the spreadsheet " + file.path());
    }
    {  // Damaged file: the reader's text is the technical message.
        document_fixture f;
        temp_file file(test::bytes{0x00, 0x00, 0x02}, "wk1");
        EXPECT_FALSE(f.make().load_spreadsheet(file.path()));
        ASSERT_EQ(f.host.messages.size(), 1u);
        EXPECT_EQ(f.host.messages[0].rfind("The spreadsheet file may be damaged or not in the format indicated by the "
                                           "extension\n\nTechnical message: ",
                                           0),
                  0u);
    }
    {  // A parse failure shows its own text.
        document_fixture f;
        cells no_disbursements = direct_loan;
        no_disbursements.erase(no_disbursements.begin() + 4);
        temp_file file(workbook(no_disbursements), "wk1");
        EXPECT_FALSE(f.make().load_spreadsheet(file.path()));
        ASSERT_EQ(f.host.messages.size(), 1u);
        EXPECT_EQ(f.host.messages[0].rfind("E024:", 0), 0u) << f.host.messages[0];
    }
}

TEST(Document, RepeatedCalculationsGiveTheSameDisplaysAndMessages) {
    document_fixture f;
    f.set(settings::online_view_options, 0x7f);
    f.set(settings::calc_single_effective_rate, 1);
    cells warned = direct_loan;
    warned[5] = {std::string("Principal pmts, scheduled"), 60.0, 30.0};  // repays 90 of 100: a warning
    temp_file file(workbook(warned), "wk1");
    document& doc = f.make();
    ASSERT_TRUE(doc.load_spreadsheet(file.path()));
    doc.calculate_subsidy();
    ASSERT_TRUE(doc.calculation_completed());
    for (int display = 1; display <= 7; ++display) EXPECT_TRUE(doc.has_display(display)) << display;
    const std::string first_subsidy = *doc.display_text(2);
    const std::string first_messages = *doc.display_text(7);
    const std::size_t count = doc.program()->messages().count();
    EXPECT_GT(count, 0u);
    doc.calculate_subsidy();
    EXPECT_EQ(*doc.display_text(2), first_subsidy);
    EXPECT_EQ(*doc.display_text(7), first_messages);
    EXPECT_EQ(doc.program()->messages().count(), count);
    EXPECT_NE(first_subsidy.find("(C)"), std::string::npos);
}

TEST(Document, AFailureTextBecomesMessagesThatTheNextCalculationReplaces) {
    document_fixture f;
    cells analysis = direct_loan;
    analysis.insert(analysis.begin() + 3, {std::string("Purpose"), std::string("analysis")});
    analysis.insert(analysis.begin() + 4, {std::string("Rate assumption"), std::string("Actual, 1850")});
    temp_file file(workbook(analysis), "wk1");
    document& doc = f.make();
    ASSERT_TRUE(doc.load_spreadsheet(file.path()));
    doc.calculate_subsidy();
    ASSERT_TRUE(doc.calculation_failed());
    const auto numbers = [&doc] {
        std::vector<unsigned> out;
        for (const auto& message : doc.program()->messages().list()) out.push_back(message.number);
        return out;
    };
    // The first line numbered 56, every further line that ends in a line break numbered 0.
    EXPECT_EQ(numbers(), (std::vector<unsigned>{56, 0, 0, 0}));
    EXPECT_EQ(doc.program()->messages().list().front().text, "Spreadsheet calls for a rate selection that does not exist.");
    EXPECT_TRUE(doc.has_display(7));
    EXPECT_FALSE(doc.has_display(2));
    doc.calculate_subsidy();
    EXPECT_EQ(numbers(), (std::vector<unsigned>{56, 0, 0, 0}));
}

TEST(Document, PrintMaskPrintsAfterTheCalculationAndReloadStartsAgain) {
    document_fixture f;
    f.set(settings::online_print_options, 0x02 | 0x04);
    temp_file file(workbook(direct_loan), "wk1");
    document& doc = f.make();
    ASSERT_TRUE(doc.load_spreadsheet(file.path()));
    EXPECT_TRUE(f.host.printed.empty());
    doc.calculate_subsidy();
    ASSERT_EQ(f.host.printed.size(), 2u);
    EXPECT_NE(f.host.printed[0].find("Subsidy and components display"), std::string::npos);
    EXPECT_NE(f.host.printed[1].find("Present value factor display"), std::string::npos);
    // Built for the printer only: not kept for the view.
    EXPECT_FALSE(doc.has_display(3));

    ASSERT_TRUE(doc.reload());
    EXPECT_FALSE(doc.has_display(2));
    EXPECT_TRUE(doc.has_display(1));
    EXPECT_EQ(doc.path(), file.path());
    EXPECT_EQ(doc.range_name(), "TRQ");
}

TEST(Document, SpreadsheetOutputPutsDisplayNOnSheetN) {
    document_fixture f;
    f.set(settings::online_spreadsheet_options, 0x02 | 0x40);
    temp_file file(workbook(direct_loan), "wk1");
    temp_file output(test::bytes{}, "wk3");
    document& doc = f.make();
    ASSERT_TRUE(doc.load_spreadsheet(file.path()));
    doc.calculate_subsidy(std::nullopt, {}, output.path());
    ASSERT_TRUE(doc.calculation_completed()) << (f.host.messages.empty() ? "" : f.host.messages.front());
    workbook_file written(output.path());
    written.load();
    std::ostringstream dump;
    dump_workbook(written, dump);
    const std::string cells_text = dump.str();
    EXPECT_NE(cells_text.find("cell\tB:A1\t"), std::string::npos);
    EXPECT_NE(cells_text.find("cell\tG:A1\t"), std::string::npos);
    for (const char* empty_sheet : {"cell\tA:", "cell\tC:", "cell\tD:", "cell\tE:", "cell\tF:"})
        EXPECT_EQ(cells_text.find(empty_sheet), std::string::npos) << empty_sheet;
    EXPECT_NE(cells_text.find("Subsidy and components display"), std::string::npos);
}

// An output name ending in .xlsx makes an Excel workbook: a worksheet per
// chosen display, named as the View menu names it, read here by openpyxl.
TEST(Document, SpreadsheetOutputAsAnExcelWorkbook) {
    document_fixture f;
    f.set(settings::online_spreadsheet_options, 0x02 | 0x40);
    temp_file file(workbook(direct_loan), "wk1");
    temp_file output(test::bytes{}, "XLSX");
    document& doc = f.make();
    ASSERT_TRUE(doc.load_spreadsheet(file.path()));
    doc.calculate_subsidy(std::nullopt, {}, output.path());
    ASSERT_TRUE(doc.calculation_completed()) << (f.host.messages.empty() ? "" : f.host.messages.front());
    const std::string script =
        "import sys\ntry:\n    import openpyxl\nexcept ImportError:\n    sys.exit(3)\n"
        "book = openpyxl.load_workbook(sys.argv[1])\n"
        "print(book.sheetnames)\nprint(book['Subsidy']['B3'].value)\n"
        "print([c.value for c in book['Subsidy']['A'] if isinstance(c.value, (int, float))])\n";
    FILE* pipe = ::popen(("/usr/bin/python3 -c \"" + script + "\" '" + output.path() + "' 2>/dev/null").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string read;
    for (int c; (c = std::fgetc(pipe)) != EOF;) read.push_back(static_cast<char>(c));
    const int status = ::pclose(pipe);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3) GTEST_SKIP() << "python3-openpyxl is not installed";
    ASSERT_EQ(status, 0) << read;
    // The cohort year is a number in column A; the header's values are text.
    EXPECT_EQ(read, "['Subsidy', 'Messages']\nSubsidy and components display\n[2000]\n");

    // Without the template the output is not made, and the message names the format.
    document_fixture g;
    g.set(settings::online_spreadsheet_options, 0x02);
    const fs::path empty_folder = fs::temp_directory_path() / ("fv_no_template_" + std::to_string(::getpid()));
    fs::create_directories(empty_folder);
    fs::copy_file(std::string(FV_BINARY_DIR) + "/rates.txt", empty_folder / "rates.txt");
    document bare(g.store, g.host, empty_folder.string() + "/", [&] { return g.now; });
    ASSERT_TRUE(bare.load_spreadsheet(file.path()));
    bare.calculate_subsidy(std::nullopt, {}, output.path());
    ASSERT_FALSE(g.host.messages.empty());
    EXPECT_EQ(g.host.messages.back().rfind("Unable to create spreadsheet output in \"xlsx\" format.", 0), 0u)
        << g.host.messages.back();
    EXPECT_NE(g.host.messages.back().find("clip_xlsx::render unable to open"), std::string::npos);
    fs::remove_all(empty_folder);
}

TEST(Document, OutputSpreadsheetThatIsTheInputIsRefused) {
    document_fixture f;
    f.set(settings::online_spreadsheet_options, 0x02);
    temp_file file(workbook(direct_loan), "wk1");
    const test::bytes before = workbook(direct_loan);
    document& doc = f.make();
    ASSERT_TRUE(doc.load_spreadsheet(file.path()));
    doc.calculate_subsidy(std::nullopt, {}, file.path());
    EXPECT_FALSE(doc.calculation_completed());
    ASSERT_FALSE(f.host.messages.empty());
    EXPECT_NE(f.host.messages.back().find("is the spreadsheet being read"), std::string::npos);
    workbook_file again(file.path());
    EXPECT_NO_THROW(again.load());
    EXPECT_EQ(again.candidate_ranges(), std::vector<std::string>{"TRQ"});
}

TEST(Document, NoFileNameForSpreadsheetOutputEndsTheCalculationWithoutAMessage) {
    document_fixture f;
    f.set(settings::online_spreadsheet_options, 0x02);
    temp_file file(workbook(direct_loan), "wk1");
    document& doc = f.make();
    ASSERT_TRUE(doc.load_spreadsheet(file.path()));
    const std::size_t before = doc.program()->messages().count();
    doc.calculate_subsidy();
    EXPECT_TRUE(doc.calculation_failed());
    ASSERT_FALSE(f.host.messages.empty());
    EXPECT_EQ(f.host.messages.back(), "Options call for spreadsheet output, but no filename provided");
    EXPECT_EQ(doc.program()->messages().count(), before);
}

TEST(Document, BatchRateChoiceMustNameASet) {
    document_fixture f;
    temp_file file(workbook(direct_loan), "wk1");
    document& doc = f.make();
    try {
        doc.run_batch(file.path(), "TRQ", rate_choice{rate_source::budget, "Budget 1850"}, std::nullopt);
        FAIL() << "ran with a rate set that does not exist";
    } catch (const text_error& failure) {
        EXPECT_EQ(failure.text(), "Unable to find selection Budget 1850 among the Budget forecast rates rate choices");
    }
    doc.run_batch(file.path(), "TRQ", rate_choice{rate_source::budget, "Budget 2001"}, std::nullopt);
    EXPECT_TRUE(doc.calculation_completed());
    EXPECT_NE(doc.batch_lines().find("Budget forecast rates, Budget 2001"), std::string::npos);
    // A range that is not there is a load failure thrown to the batch caller.
    try {
        doc.run_batch(file.path(), "NOPE", rate_choice{}, std::nullopt);
        FAIL() << "ran on a range that does not exist";
    } catch (const text_error& failure) {
        EXPECT_EQ(failure.text(), "E026:  Range not found");
    }
}

}  // namespace
}  // namespace fv

namespace fv {
namespace {

// The sums the charts draw, as comparable numbers.
std::vector<double> flow_figures(const document& doc) {
    std::vector<double> figures;
    for (const cohort_flows& flows : doc.flows_by_cohort())
        for (const year_flows& year : flows.years) {
            figures.push_back(year.year);
            figures.insert(figures.end(), year.amounts.begin(), year.amounts.end());
            figures.insert(figures.end(), year.present_values.begin(), year.present_values.end());
        }
    return figures;
}

TEST(Document, KeepsChartFiguresOnlyWhenAskedAndThemAlike) {
    temp_file file(workbook(direct_loan), "wk1");
    document_fixture plain;
    document& batch_like = plain.make();
    ASSERT_TRUE(batch_like.load_spreadsheet(file.path()));
    batch_like.calculate_subsidy();
    ASSERT_TRUE(batch_like.calculation_completed());
    EXPECT_TRUE(batch_like.flows_by_cohort().empty());
    ASSERT_NE(batch_like.calculated_rate_set(), nullptr);
    EXPECT_EQ(batch_like.calculated_rate_set()->title, "Budget 2001");
    const double subsidy = batch_like.program()->cohorts.front()->results.subsidy_percentage;

    // Kept, with and without the derivation display built on the way: the same
    // sums, and the same results as a run that keeps none.
    std::vector<std::vector<double>> kept;
    for (int view : {0, settings::display_bit(derivation_display)}) {
        document_fixture f;
        f.set(settings::online_view_options, view);
        document& doc = f.make();
        doc.keep_chart_figures(true);
        ASSERT_TRUE(doc.load_spreadsheet(file.path()));
        doc.calculate_subsidy();
        ASSERT_TRUE(doc.calculation_completed());
        ASSERT_EQ(doc.flows_by_cohort().size(), 1u);
        EXPECT_EQ(doc.has_display(derivation_display), view != 0);
        EXPECT_EQ(doc.program()->cohorts.front()->results.subsidy_percentage, subsidy);
        kept.push_back(flow_figures(doc));

        // A failed calculation leaves nothing to draw.
        f.set(settings::online_spreadsheet_options, 0x02);
        doc.calculate_subsidy();
        EXPECT_TRUE(doc.calculation_failed());
        EXPECT_TRUE(doc.flows_by_cohort().empty());
        EXPECT_EQ(doc.calculated_rate_set(), nullptr);
    }
    EXPECT_FALSE(kept[0].empty());
    EXPECT_EQ(kept[0], kept[1]);
}

}  // namespace
}  // namespace fv
