// Batch modes against a recording document: what runs, what is delivered, what is reported.
#include "app/batch_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "util/run_files.h"
#include "util/text_error.h"

namespace fv {
namespace {

namespace fs = std::filesystem;

struct fake_document : batch_document {
    // Set by the test.
    std::optional<std::string> throws;  // a text_error with this text
    bool completes = true;
    bool messages = false;
    bool template_missing = false;
    // Recorded.
    int runs = 0;
    std::string spreadsheet, range;
    rate_choice rates;
    std::optional<std::string> wk3_output;
    std::vector<std::string> imports;
    std::vector<std::string> printed;

    void run_batch(const std::string& s, const std::string& r, const rate_choice& c,
                  const std::optional<std::string>& w) override {
        ++runs;
        spreadsheet = s;
        range = r;
        rates = c;
        wk3_output = w;
        if (throws) throw text_error(*throws);
    }
    bool calculation_completed() const override { return runs > 0 && completes; }
    std::optional<std::string> display_text(int display) const override {
        if (runs == 0) return std::nullopt;
        return "display " + std::to_string(display) + "\r\n";
    }
    bool print_display(int display) override {
        if (auto text = display_text(display)) printed.push_back(*text);
        return true;
    }
    bool has_messages() const override { return messages; }
    std::string messages_text() const override { return "W034:  a warning\r\n"; }
    void write_import_file(const std::string& path) override { imports.push_back(path); }
    std::string batch_lines() const override { return "\"book.wk1 (DATA)\", 2001, 1.000\n"; }
    bool spreadsheet_output_failed() const override { return template_missing; }
};

struct fake_host : batch_host {
    std::vector<std::string> shown;
    void show_message(const std::string& text) override { shown.push_back(text); }
};

struct scratch_folder {
    fs::path path = fs::temp_directory_path() / ("fv-batch-" + std::to_string(::getpid()));
    scratch_folder() { fs::create_directories(path); }
    ~scratch_folder() { fs::remove_all(path); }
    std::string at(const char* name) const { return (path / name).string(); }
};

std::string content(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(BatchRun, DefaultModePrintsSubsidyThenMessagesDisplay) {
    fake_document doc;
    fake_host host;
    EXPECT_EQ(run_batch({"book.wk1", "DATA", "a", "1998"}, doc, host), 0);
    EXPECT_EQ(doc.spreadsheet, "book.wk1");
    EXPECT_EQ(doc.range, "DATA");
    EXPECT_EQ(doc.rates.selection, "FY 1998 average");
    EXPECT_EQ(doc.printed, (std::vector<std::string>{"display 2\r\n", "display 7\r\n"}));
    EXPECT_TRUE(host.shown.empty());
}

TEST(BatchRun, PrintModePrintsMessagesOnlyWhenThereAreSome) {
    fake_document doc;
    fake_host host;
    EXPECT_EQ(run_batch({"Print", "book.wk1", "DATA"}, doc, host), 0);
    EXPECT_EQ(doc.printed.size(), 1u);
    fake_document with_messages;
    with_messages.messages = true;
    run_batch({"printer", "book.wk1", "DATA", "own", "Base"}, with_messages, host);
    EXPECT_EQ(with_messages.printed.size(), 2u);
    EXPECT_EQ(with_messages.rates.source, rate_source::own);
}

TEST(BatchRun, FileModeWritesTheSubsidyDisplayAndWarnings) {
    scratch_folder folder;
    fake_document doc;
    doc.messages = true;
    fake_host host;
    const std::string out = folder.at("out.txt");
    EXPECT_EQ(run_batch({"file", out, "book.wk1", "DATA"}, doc, host), 0);
    EXPECT_EQ(content(out), "display 2\r\n\n\nWarning messages:\nW034:  a warning\r\n");
}

TEST(BatchRun, IncompleteRateChoiceRunsNothingAndWritesNothing) {
    scratch_folder folder;
    fake_document doc;
    fake_host host;
    const std::string out = folder.at("out.txt");
    EXPECT_NE(run_batch({"file", out, "book.wk1", "DATA", "a"}, doc, host), 0);
    EXPECT_EQ(doc.runs, 0);
    EXPECT_EQ(host.shown, std::vector<std::string>{"Command line error:  A choice of rate assumptions was incomplete."});
    EXPECT_FALSE(fs::exists(out));
}

TEST(BatchRun, RunFailuresAreReportedPerModeAndDeliverNothing) {
    scratch_folder folder;
    fake_document doc;
    doc.throws = "Range not found.";
    fake_host host;
    const std::string out = folder.at("out.csv");
    EXPECT_NE(run_batch({"import", out, "book.wk1", "DATA"}, doc, host), 0);
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0],
              "An error occured while calculating a subsidy from:\nspreadsheet book.wk1 and range DATA\n\n(Technical "
              "message:  Range not found.)");
    EXPECT_TRUE(doc.imports.empty());

    // logfile: the failure goes to the log, no message.
    const std::string log = folder.at("run.log");
    fake_host quiet;
    EXPECT_NE(run_batch({"logbook", log, "book.wk1", "DATA"}, doc, quiet), 0);
    EXPECT_TRUE(quiet.shown.empty());
    EXPECT_EQ(content(log),
              "\"book.wk1 (DATA)\",  \"An error occured while calculating a subsidy.  Technical message:  Range not "
              "found.\"\r\n");
}

TEST(BatchRun, CalculationThatStoppedEarlyIsAFailedRun) {
    scratch_folder folder;
    fake_document doc;
    doc.completes = false;
    fake_host host;
    EXPECT_NE(run_batch({"import", folder.at("out.csv"), "book.wk1", "DATA"}, doc, host), 0);
    EXPECT_TRUE(doc.imports.empty());
    EXPECT_NE(run_batch({"file", folder.at("out.txt"), "book.wk1", "DATA"}, doc, host), 0);
    EXPECT_FALSE(fs::exists(folder.at("out.txt")));
}

TEST(BatchRun, Wk3ModeChecksTheExtensionThenCreatesTheFileThenLooksForTheRange) {
    scratch_folder folder;
    fake_document doc;
    fake_host host;
    EXPECT_NE(run_batch({"wk3", folder.at("out.xls"), "book.wk1", "DATA"}, doc, host), 0);
    EXPECT_FALSE(fs::exists(folder.at("out.xls")));
    EXPECT_EQ(host.shown.back().rfind("Command line error:  the command line has a single word \"wk3\"\nand the filename", 0), 0u);

    const std::string out = folder.at("OUT.WK3");
    EXPECT_NE(run_batch({"wk3", out, "book.wk1"}, doc, host), 0);
    EXPECT_TRUE(fs::exists(out));  // opened before the missing range was noticed
    EXPECT_EQ(doc.runs, 0);

    EXPECT_EQ(run_batch({"wk3", out, "book.wk1", "DATA"}, doc, host), 0);
    EXPECT_EQ(doc.wk3_output, out);

    // An Excel workbook name is the other output the word takes.
    const std::string xlsx = folder.at("out.Xlsx");
    EXPECT_EQ(run_batch({"wk3", xlsx, "book.wk1", "DATA"}, doc, host), 0);
    EXPECT_EQ(doc.wk3_output, xlsx);
}

// A failed wk3 run leaves no spreadsheet output behind that it made itself;
// a file that was there before stays.
TEST(BatchRun, AFailedWk3RunRemovesTheEmptyOutputItCreated) {
    scratch_folder folder;
    const struct {
        const char* failure;
        void (*set)(fake_document&);
    } cases[] = {
        {"calculation stopped", [](fake_document& d) { d.completes = false; }},
        {"run failed", [](fake_document& d) { d.throws = "E026:  Range not found"; }},
        {"template missing", [](fake_document& d) { d.template_missing = true; }},
    };
    for (const auto& c : cases) {
        fake_document doc;
        c.set(doc);
        fake_host host;
        const std::string made = folder.at("made.wk3");
        EXPECT_NE(run_batch({"wk3", made, "book.wk1", "DATA"}, doc, host), 0) << c.failure;
        EXPECT_FALSE(fs::exists(made)) << c.failure;
        const std::string kept = folder.at("kept.wk3");
        std::ofstream(kept) << "";
        EXPECT_NE(run_batch({"wk3", kept, "book.wk1", "DATA"}, doc, host), 0) << c.failure;
        EXPECT_TRUE(fs::exists(kept)) << c.failure;
    }
}

TEST(BatchRun, OutputsOverFilesTheRunReadsAreRefused) {
    scratch_folder folder;
    forget_run_files();
    const std::string settings = folder.at("settings.ini");
    std::ofstream(settings) << "[Runtime%20options]\n";
    note_run_file(settings, "the settings file");
    fs::create_symlink(settings, folder.path / "alias.wk3");
    for (const char* mode : {"file", "import", "logfile", "wk3"}) {
        fake_document doc;
        fake_host host;
        EXPECT_NE(run_batch({mode, folder.at("alias.wk3"), "book.wk1", "DATA"}, doc, host), 0) << mode;
        EXPECT_EQ(doc.runs, 0) << mode;
        ASSERT_EQ(host.shown.size(), 1u) << mode;
        EXPECT_EQ(host.shown[0], "The output file " + folder.at("alias.wk3") +
                                     " is the settings file.\nChoose another output file name; that file was left as "
                                     "it is.");
        EXPECT_EQ(content(settings), "[Runtime%20options]\n") << mode;
    }
    forget_run_files();
}

TEST(BatchRun, LogfileAppendsOneLinePerCohort) {
    scratch_folder folder;
    fake_document doc;
    fake_host host;
    const std::string log = folder.at("run.log");
    EXPECT_EQ(run_batch({"log", log, "book.wk1", "DATA"}, doc, host), 0);
    EXPECT_EQ(run_batch({"log", log, "book.wk1", "DATA"}, doc, host), 0);
    EXPECT_EQ(content(log), "\"book.wk1 (DATA)\", 2001, 1.000\n\"book.wk1 (DATA)\", 2001, 1.000\n");
}

TEST(BatchRun, OutputThatIsTheSpreadsheetIsRefused) {
    scratch_folder folder;
    const std::string book = folder.at("book.wk1");
    std::ofstream(book) << "original";
    fake_document doc;
    fake_host host;
    EXPECT_NE(run_batch({"file", book, book, "DATA"}, doc, host), 0);
    EXPECT_NE(run_batch({"import", (folder.path / "." / "book.wk1").string(), book, "DATA"}, doc, host), 0);
    EXPECT_EQ(content(book), "original");
    EXPECT_EQ(doc.runs, 0);
    EXPECT_EQ(host.shown.size(), 2u);
}

TEST(BatchRun, MissingWordsStopBeforeAnythingRuns) {
    fake_document doc;
    fake_host host;
    EXPECT_NE(run_batch({"book.wk1"}, doc, host), 0);
    EXPECT_EQ(host.shown, std::vector<std::string>{
                              "Command line error:  the range name appears to be missing from the command line."});
    EXPECT_EQ(doc.runs, 0);
}

}  // namespace
}  // namespace fv
