// Batch words: mode choice, rate choice, the order of the command-line errors and the run failure texts.
#include "app/batch_command.h"

#include <gtest/gtest.h>

#include "util/text_error.h"

namespace fv {
namespace {

batch_words words_of(std::vector<std::string> arguments) { return split_batch_words(arguments); }

// The first error a runner would report, checking the words in order.
std::optional<std::string> first_missing(const std::vector<std::string>& arguments) {
    const batch_words words = words_of(arguments);
    const batch_mode mode = choose_batch_mode(words.at(0));
    for (int index = 1; index <= 3; ++index) {
        if (auto error = missing_word_error(mode, words, index)) return error;
    }
    return std::nullopt;
}

TEST(BatchCommand, FirstWordChoosesTheModeOverTheCommandWordsLength) {
    const struct {
        const char* word;
        batch_mode mode;
    } cases[] = {{"PRINT", batch_mode::print},   {"Print", batch_mode::print},   {"printer", batch_mode::print},
                 {"log", batch_mode::logfile},   {"logbook", batch_mode::logfile}, {"LOGFILE", batch_mode::logfile},
                 {"wk3", batch_mode::wk3},       {"Files", batch_mode::file},    {"import", batch_mode::import},
                 {"impor", batch_mode::calculate}, {"prin", batch_mode::calculate}, {"loans.wk1", batch_mode::calculate},
                 {"", batch_mode::calculate}};
    for (const auto& c : cases) EXPECT_EQ(choose_batch_mode(c.word), c.mode) << c.word;
}

TEST(BatchCommand, OnlySevenWordsTakePart) {
    const batch_words words = words_of({"1", "2", "3", "4", "5", "6", "7", "8"});
    EXPECT_EQ(words.count, 7);
    EXPECT_EQ(words.at(6), "7");
    EXPECT_EQ(words.at(7), "");
}

TEST(BatchCommand, RateChoiceFromCategoryAndName) {
    const struct {
        const char* category;
        const char* name;
        rate_source source;
        const char* selection;
    } cases[] = {{"a", "1998", rate_source::actual, "FY 1998 average"}, {"Actual", "Mine", rate_source::actual, "Mine"},
                 {"b", "2001", rate_source::budget, "Budget 2001"},     {"BUDGET", "x2001", rate_source::budget, "x2001"},
                 {"own", "Base", rate_source::own, "Base"},             {"client", "1998", rate_source::own, "1998"}};
    for (const auto& c : cases) {
        const rate_choice choice = read_rate_choice(words_of({"print", "f.wk1", "r", c.category, c.name}), 3);
        EXPECT_EQ(choice.source, c.source) << c.category;
        EXPECT_EQ(choice.selection, c.selection) << c.category;
    }
    EXPECT_THROW(read_rate_choice(words_of({}), 7), text_error);
    try {
        read_rate_choice(words_of({}), -1);
    } catch (const text_error& e) {
        EXPECT_EQ(e.text(), "CKdmApp::GetSelection called with out-of-range value");
    }
}

TEST(BatchCommand, MissingWordsReportTheFirstGap) {
    const std::string single = "Command line error:  the command line has a single word ";
    const std::string file_words =
        "\n\nThe file command must be followed by an output file name,\nthe name of the spreadsheet file to use and the "
        "range name";
    const struct {
        std::vector<std::string> arguments;
        std::optional<std::string> error;
    } cases[] = {
        {{"loans.wk1"}, "Command line error:  the range name appears to be missing from the command line."},
        {{"loans.wk1", "DATA"}, std::nullopt},
        {{"print"},
         single + "\"print\"\n\nThe print command must be followed by the name of the spreadsheet file\nto use and "
                  "the range name."},
        {{"print", "loans.wk1"},
         single + "\"print\"\n\nThe print command must be followed by the name of the spreadsheet file\nto use and "
                  "the range name.  The range name was missing."},
        {{"file"}, single + "\"file\"" + file_words + "."},
        {{"file", "out.txt"},
         single + "\"file\" and a filename\n\nAfter the output file name,there should be the name of the "
                  "spreadsheet file to use \nand the range name."},
        {{"wk3", "out.wk3", "loans.wk1"}, single + "\"wk3\"" + file_words + "\n(the range name appears to be missing)."},
        {{"logbook", "run.log", "loans.wk1"},
         single + "\"logfile\"" + file_words + "\n(the range name appears to be missing)."},
        {{"import"},
         single + "\"import\"\n\nThe import command must be followed by an output file name,\nthe name of the "
                  "spreadsheet file to use and the range name.\n"},
        {{"import", "out.csv"},
         single + "\"import\" and a filename\n\nAfter the output file name, there should be the name of the "
                  "spreadsheet file to use."},
        {{"import", "out.csv", "loans.wk1"},
         single + "\"import\"\n\nThe import command must be followed by an output file name,\nthe name of the "
                  "spreadsheet file to use and the range name.\n(the range name appears to be missing)."},
        {{"import", "out.csv", "loans.wk1", "DATA"}, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(first_missing(c.arguments), c.error) << c.arguments[0];
}

TEST(BatchCommand, CategoryWithoutNameIsIncomplete) {
    EXPECT_TRUE(rate_choice_incomplete(batch_mode::file, words_of({"file", "o", "s", "r", "a"})));
    EXPECT_FALSE(rate_choice_incomplete(batch_mode::file, words_of({"file", "o", "s", "r", "a", "1998"})));
    EXPECT_FALSE(rate_choice_incomplete(batch_mode::calculate, words_of({"s", "r"})));
    EXPECT_TRUE(rate_choice_incomplete(batch_mode::calculate, words_of({"s", "r", "b"})));
}

TEST(BatchCommand, Wk3OutputNeedsItsExtension) {
    EXPECT_TRUE(has_wk3_extension("out.wk3"));
    EXPECT_TRUE(has_wk3_extension("OUT.WK3"));
    EXPECT_TRUE(has_wk3_extension("wk3"));
    EXPECT_FALSE(has_wk3_extension("out.xls"));
    EXPECT_FALSE(has_wk3_extension("k3"));
    EXPECT_EQ(wk3_extension_error("out.xls"),
              "Command line error:  the command line has a single word \"wk3\"\nand the filename \"out.xls\"\n\nThe "
              "filename MUST have a \"wk3\" extension.");
}

TEST(BatchCommand, RunFailureTextsPerMode) {
    const std::optional<std::string> technical = "Range not found.";
    EXPECT_EQ(run_failure_text(batch_mode::print, "a.wk1", "DATA", technical),
              "An error occured while calculating a subsidy from\nspreadsheet a.wk1 and range DATA\n\n(Technical "
              "message:  Range not found.)");
    EXPECT_EQ(run_failure_text(batch_mode::import, "a.wk1", "DATA", std::nullopt),
              "An error occured while calculating a subsidy from:\nspreadsheet a.wk1 and range DATA");
    EXPECT_EQ(run_failure_text(batch_mode::wk3, "a.wk1", "DATA", technical),
              "Spreadsheet/range:  a.wk1 (DATA)\nAn error occured while calculating a subsidy.\n\nTechnical message:  "
              "Range not found.\n");
    EXPECT_EQ(run_failure_text(batch_mode::logfile, "a.wk1", "DATA", std::nullopt),
              "\"a.wk1 (DATA)\",  \"An error occured while calculating a subsidy.  No technical message\"\r\n");
    // A technical message of several lines stays on the log's one line.
    EXPECT_EQ(run_failure_text(batch_mode::logfile, "a.wk1", "DATA", std::string("E024:  line one\nline two")),
              "\"a.wk1 (DATA)\",  \"An error occured while calculating a subsidy.  Technical message:  E024:  line "
              "one line two\"\r\n");
}

}  // namespace
}  // namespace fv
