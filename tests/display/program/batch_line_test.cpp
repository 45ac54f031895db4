// Batch log lines (expected lines worked out by hand from the formats) and
// their append: whole lines or nothing, never into the spreadsheet read.
#include "display/program/batch_line.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "output_test_support.h"

namespace fv {
namespace {

using namespace fv::testing;

TEST(BatchLine, OneLinePerCohortByWhatIsAvailable) {
    credit_program program(0);
    set_identity(program);
    program.rate_selection = "Budget forecast rates, Budget 2001";
    add_cohort(program, 2001, {9, 5, 5, -1, 0}, 6.09);
    add_cohort(program, 2002, {1.2345, 0.0004, 0, 0, 1.234}, na);
    add_cohort(program, 2003, {na, na, na, na, na}, na);
    add_cohort(program, 2004, {na, 1, 1, 1, 1}, 5.0);
    const std::string text = batch_lines(program);
    const std::string tail = ",  \"Budget forecast rates, Budget 2001\",  \"(no warning messages)\"\r\n";
    EXPECT_EQ(text,
              "\"/data/program.wk1 (LOANS)\", 2001, 9.000, 5.000, 5.000, -1.000, 0.000, 6.090" + tail +
                  "\"/data/program.wk1 (LOANS)\", 2002, 1.234, 0.000, 0.000, 0.000, 1.234" + tail +
                  "\"/data/program.wk1 (LOANS)\", \"Subsidy has not been computed\"" + tail +
                  "\"/data/program.wk1 (LOANS)\", \"Subsidy has not been computed\"" + tail);
    EXPECT_EQ(text.find(printed_marker), std::string::npos);
}

TEST(BatchLine, RateSelectionAndWarningCounts) {
    struct example {
        std::optional<std::string> selection;
        int messages;
        std::string tail;
    };
    const example examples[] = {
        {std::nullopt, 0, ",  \"(unknown rate selection)\",  \"(no warning messages)\"\r\n"},
        {"", 1, ",  \"(unknown rate selection)\",  \"(1 warning message)\"\r\n"},
        {"Own rates, Test set", 2, ",  \"Own rates, Test set\",  \"(2 warning messages)\"\r\n"},
        {"Actual rates, 1999", 12, ",  \"Actual rates, 1999\",  \"(12 warning messages)\"\r\n"},
    };
    for (const example& e : examples) {
        credit_program program(0);
        set_identity(program);
        program.rate_selection = e.selection;
        // Every kind of message counts, continuation lines (number 0) too.
        for (int i = 0; i < e.messages; ++i) program.add(i % 2 == 0 ? 37 : 0, "m");
        add_cohort(program, 1999, {1, 1, 0, 0, 0}, 4.5);
        EXPECT_EQ(batch_lines(program), "\"/data/program.wk1 (LOANS)\", 1999, 1.000, 1.000, 0.000, 0.000, 0.000, 4.500" + e.tail);
    }
}

TEST(BatchLine, CellTextsCannotAddLines) {
    credit_program program(0);
    set_identity(program);
    program.workbook_path = "/data/a\nb.wk1";
    program.range_name = "R\r\n";
    program.rate_selection = "x\ty";
    add_cohort(program, 2001, {na, na, na, na, na}, na);
    EXPECT_EQ(batch_lines(program),
              "\"/data/a b.wk1 (R  )\", \"Subsidy has not been computed\",  \"x y\",  \"(no warning messages)\"\r\n");
}

TEST(BatchLine, QuotesInsideQuotedTextsAreDoubled) {
    credit_program program(0);
    set_identity(program);
    program.workbook_path = "/data/\"q\".wk1";
    program.rate_selection = "Own, \"Base\"";
    add_cohort(program, 2001, {na, na, na, na, na}, na);
    EXPECT_EQ(batch_lines(program), "\"/data/\"\"q\"\".wk1 (LOANS)\", \"Subsidy has not been computed\",  "
                                    "\"Own, \"\"Base\"\"\",  \"(no warning messages)\"\r\n");
}

TEST(BatchLine, NoCohortsNoLines) {
    credit_program program(0);
    set_identity(program);
    EXPECT_EQ(batch_lines(program), "");
}

credit_program& logged_program(credit_program& program) {
    set_identity(program);
    add_cohort(program, 2001, {9, 5, 5, -1, 0}, 6.09);
    add_cohort(program, 2002, {9, 5, 5, -1, 0}, 6.09);
    return program;
}

TEST(BatchLine, AppendsToAPathCreatingIt) {
    scratch_folder folder;
    credit_program program(0);
    logged_program(program);
    const std::string log = folder / "runs.log";
    ASSERT_TRUE(write_batch_line(program, log));
    ASSERT_TRUE(write_batch_line(program, log));
    EXPECT_EQ(read_file(log), batch_lines(program) + batch_lines(program));
    EXPECT_FALSE(write_batch_line(program, folder / "missing/runs.log"));
    EXPECT_FALSE(write_batch_line(program, folder.path()));
    EXPECT_FALSE(write_batch_line(program, std::string()));
}

TEST(BatchLine, AppendsToAnOpenLog) {
    scratch_folder folder;
    credit_program program(0);
    logged_program(program);
    const std::string log = folder / "runs.log";
    write_file(log, "earlier\r\n");
    std::FILE* file = std::fopen(log.c_str(), "a");
    ASSERT_NE(file, nullptr);
    std::fputs("buffered\r\n", file);  // what the caller wrote first stays first
    EXPECT_TRUE(write_batch_line(program, file));
    std::fputs("after\r\n", file);
    EXPECT_EQ(std::fclose(file), 0);
    EXPECT_EQ(read_file(log), "earlier\r\nbuffered\r\n" + batch_lines(program) + "after\r\n");
    EXPECT_FALSE(write_batch_line(program, static_cast<std::FILE*>(nullptr)));
}

TEST(BatchLine, AFailedAppendLeavesNoPartLine) {
    scratch_folder folder;
    credit_program program(0);
    logged_program(program);
    const std::string log = folder / "runs.log";
    const std::string earlier(50, 'e');
    write_file(log, earlier);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 80;  // room for part of the first line only
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool by_path = write_batch_line(program, log);
    std::FILE* file = std::fopen(log.c_str(), "a");
    const bool by_file = file != nullptr && write_batch_line(program, file);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);
    if (file != nullptr) {
        EXPECT_EQ(std::fclose(file), 0);
    }
    EXPECT_FALSE(by_path);
    EXPECT_FALSE(by_file);
    EXPECT_EQ(read_file(log), earlier);

    std::FILE* full = std::fopen("/dev/full", "a");
    if (full == nullptr) GTEST_SKIP() << "no /dev/full";
    EXPECT_FALSE(write_batch_line(program, full));
    std::fclose(full);
}

TEST(BatchLine, NeverAppendsToTheSpreadsheetBeingRead) {
    scratch_folder folder;
    credit_program program(0);
    logged_program(program);
    const std::string book = folder / "book.wk1";
    const std::string bytes("\x00\x00\x02\x00\x06\x04", 6);
    write_file(book, bytes);
    program.workbook_path = book;
    ASSERT_EQ(::symlink(book.c_str(), (folder / "link.log").c_str()), 0);
    EXPECT_FALSE(write_batch_line(program, book));
    EXPECT_FALSE(write_batch_line(program, folder / "link.log"));
    std::FILE* file = std::fopen((folder / "link.log").c_str(), "a");
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(write_batch_line(program, file));
    std::fclose(file);
    EXPECT_EQ(read_file(book), bytes);
}

}  // namespace
}  // namespace fv
