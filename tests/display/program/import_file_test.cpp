// The import file line by line (expected lines worked out by hand from the
// formats), and its write: replaced whole or not at all, message 42 on
// failure, never over the spreadsheet being read.
#include "display/program/import_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <csignal>

#include "output_test_support.h"

namespace fv {
namespace {

using namespace fv::testing;

std::string label(const std::string& text) { return "\"" + text + std::string(54 - text.size(), '.') + "\""; }

std::vector<std::string> messages_42(const credit_program& program) {
    std::vector<std::string> out;
    for (const message& m : program.messages().list())
        if (m.number == 42) out.push_back(m.text);
    return out;
}

TEST(ImportFile, HeaderLinesBeforeACalculation) {
    credit_program program(0);
    set_identity(program);
    program.loan_type = loan_model::multiple;
    const auto lines = crlf_lines(import_file_text(program));
    ASSERT_GE(lines.size(), 13u);
    EXPECT_EQ(lines[0], label("Ferravane version") + "  \"Release version (Nov. 26, 1999)\"");
    EXPECT_EQ(lines[1], label("Run date/time") + "  \"Thu Dec 10 08:00:00 2026\"");
    EXPECT_EQ(lines[2], label("Program name") + "  \"Rural housing\"");
    // No description and no rate assumptions yet: empty quoted values.
    EXPECT_EQ(lines[3], label("Description") + "  \"\"");
    EXPECT_EQ(lines[4], label("Program type") + "  \"direct loan\"");
    EXPECT_EQ(lines[5], label("Spreadsheet name") + "  \"/data/program.wk1\"");
    EXPECT_EQ(lines[6], label("Range name and coordinates") + "  \"LOANS  A:A1..A:H12\"");
    EXPECT_EQ(lines[7], label("Last updated on") + "  \"Wed Dec 09 17:30:00 2026\"");
    EXPECT_EQ(lines[8], "\"Pro-rata method.......................................\", \"Multiple loan model\"");
    EXPECT_EQ(lines[9], label("Interest rate assumptions") + "  \"\"");
    EXPECT_EQ(lines[10], "");
    EXPECT_EQ(lines[11], "\"Cohort\"  \"Total\"    \"Interest\"  \"Default\"   \"Fee\"     \"Other\"    \"Single effective\"");
    EXPECT_EQ(lines[12], "\"Year\"    \"Subsidy\"  \"Subsidy\"   \"Subsidy\"  \"Subsidy\"  \"Subsidy\"  \"Rate\"            ");

    program.description = "Section 502";
    program.rate_assumptions = "Budget forecast rates, Budget 2001";
    program.loan_type = loan_model::construction;
    program.program_type = 2;
    const auto after = crlf_lines(import_file_text(program));
    EXPECT_EQ(after[3], label("Description") + "  \"Section 502\"");
    EXPECT_EQ(after[4], label("Program type") + "  \"loan guarantee\"");
    EXPECT_EQ(after[8], label("Pro-rata method") + ", \"Construction model\"");
    EXPECT_EQ(after[9], label("Interest rate assumptions") + "  \"Budget forecast rates, Budget 2001\"");
}

TEST(ImportFile, CohortLinesFootnotesAndMarks) {
    credit_program program(0);
    set_identity(program);
    add_cohort(program, 2001, {9, 5, 5, -1, 0}, 6.09, true);
    add_cohort(program, 2002, {1.234, 1.234, 0, 0, 0}, 5.5, false);
    add_cohort(program, 2003, {0.25, 0, 0, 0, 0.25}, na);
    add_cohort(program, 2004, {na, na, na, na, na}, na);  // its calculation did not finish
    const std::string text = import_file_text(program);
    const auto lines = crlf_lines(text);
    ASSERT_EQ(lines.size(), 13u + 4 + 7 + 3 + 1);
    EXPECT_EQ(lines[13], "2001       9.00       5.00         5.00       -1.00       0.00     6.0900   \"(C)\"");
    EXPECT_EQ(lines[14], "2002       1.23       1.23         0.00        0.00       0.00     5.5000   \"(P)\"");
    EXPECT_EQ(lines[15], "2003       0.25       0.00         0.00        0.00       0.25       0.00   \"(X)\"");
    EXPECT_EQ(lines[16], "2004         \"\"         \"\"           \"\"          \"\"         \"\"       0.00   \"(X)\"");
    EXPECT_EQ(text.find(printed_marker), std::string::npos);

    const std::vector<std::string> tail(lines.begin() + 17, lines.end());
    const std::vector<std::string> expected = {
        "",
        "\"Footnotes:\"",
        "",
        "\"    (C) - Single effective rate was computed (see Actions and Preferences).\"",
        "\"    (P) - Single effective rate from the spreadsheet was used instead of basket-of-zeros method.\"",
        "\"    (X) - Single effective rate was not provided in the spreadsheet\"",
        "\"          and computation was disabled (see Actions and Preferences).\"",
        "",
        "",
        "\"Error messages:\"",
        "\"(none)\"",
    };
    EXPECT_EQ(tail, expected);
}

TEST(ImportFile, MessagesInListOrder) {
    credit_program program(0);
    set_identity(program);
    program.add(37, "Recoveries exceed defaults");
    program.add(0, "    a further line");
    program.add(5, "Five");
    const auto lines = crlf_lines(import_file_text(program));
    const std::vector<std::string> tail(lines.end() - 4, lines.end());
    const std::vector<std::string> expected = {"\"Error messages:\"", "\"W037:  Recoveries exceed defaults\"",
                                               "\"W000:      a further line\"", "\"W005:  Five\""};
    EXPECT_EQ(tail, expected);
}

TEST(ImportFile, LineBreaksInCellTextsBecomeBlanks) {
    credit_program program(0);
    set_identity(program);
    program.name = "Two\r\nlines";
    program.description = "tab\there\x7f";
    program.range_name = "R\nX";
    program.add(30, "cell A1\nW099:  forged");
    const std::string text = import_file_text(program);
    const auto lines = crlf_lines(text);
    EXPECT_EQ(lines[2], label("Program name") + "  \"Two  lines\"");
    EXPECT_EQ(lines[3], label("Description") + "  \"tab here \"");
    EXPECT_EQ(lines[6], label("Range name and coordinates") + "  \"R X  A:A1..A:H12\"");
    EXPECT_EQ(lines.back(), "\"W030:  cell A1 W099:  forged\"");
    // Same line count as a program with plain texts.
    credit_program plain(0);
    set_identity(plain);
    plain.add(30, "x");
    EXPECT_EQ(lines.size(), crlf_lines(import_file_text(plain)).size());
}

TEST(ImportFile, QuotesInsideQuotedTextsAreDoubled) {
    credit_program program(0);
    set_identity(program);
    program.name = "The \"best\" loans";
    program.add(25, "\"Budget 1850\" not found");
    const auto lines = crlf_lines(import_file_text(program));
    EXPECT_EQ(lines[2], label("Program name") + "  \"The \"\"best\"\" loans\"");
    EXPECT_EQ(lines.back(), "\"W025:  \"\"Budget 1850\"\" not found\"");
}

TEST(ImportFile, WrittenFileHoldsTheText) {
    scratch_folder folder;
    credit_program program(0);
    set_identity(program);
    add_cohort(program, 2001, {9, 5, 5, -1, 0}, 6.09);
    const std::string path = folder / "out.csv";
    write_file(path, "an older, longer import file that is replaced whole\n");
    ASSERT_TRUE(write_import_file(program, path));
    EXPECT_EQ(read_file(path), import_file_text(program));
    EXPECT_EQ(folder.names(), std::vector<std::string>{"out.csv"});
    EXPECT_TRUE(messages_42(program).empty());
}

TEST(ImportFile, FailedWritesLeaveOneMessage42AndNoFile) {
    scratch_folder folder;
    credit_program program(0);
    set_identity(program);
    write_file(folder / "plain", "x");
    // A missing folder, a path below a regular file, a folder, an empty path.
    for (const std::string& path : {folder / "missing/out.csv", folder / "plain/out.csv", folder.path(),
                                   std::string()}) {
        SCOPED_TRACE(path);
        for (int attempt = 0; attempt < 3; ++attempt) EXPECT_FALSE(write_import_file(program, path));
        EXPECT_EQ(messages_42(program), std::vector<std::string>{"Unable to open output file " + path});
    }
    EXPECT_EQ(program.messages().count(), 1u);
    EXPECT_EQ(read_file(folder / "plain"), "x");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"plain"});
}

TEST(ImportFile, ReadOnlyFolderKeepsTheOldFile) {
    scratch_folder folder;
    const std::string path = folder / "out.csv";
    write_file(path, "old");
    ASSERT_EQ(::chmod(folder.path().c_str(), 0555), 0);
    // Root writes into any folder: the write is then tried by a child that
    // gave up root for an ordinary user.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        credit_program program(0);
        set_identity(program);
        const bool written = write_import_file(program, path);
        ::_exit(written ? 1 : program.messages().count() == 1 ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ::chmod(folder.path().c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3) GTEST_SKIP() << "cannot give up root to try a read-only folder";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: written anyway, 2: not one message 42";
    EXPECT_EQ(read_file(path), "old");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"out.csv"});
}

TEST(ImportFile, AWriteCutShortLeavesNoHalfFile) {
    scratch_folder folder;
    credit_program program(0);
    set_identity(program);
    const std::string path = folder / "out.csv";
    write_file(path, "old");
    // A file size limit makes the write stop part way, as a full disk would.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = write_import_file(program, path);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_FALSE(written);
    EXPECT_EQ(read_file(path), "old");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"out.csv"});
    EXPECT_EQ(messages_42(program), std::vector<std::string>{"Unable to open output file " + path});
}

TEST(ImportFile, NeverReplacesTheSpreadsheetBeingRead) {
    scratch_folder folder;
    credit_program program(0);
    set_identity(program);
    const std::string book = folder / "book.wk1";
    const std::string bytes("\x00\x00\x02\x00\x06\x04", 6);
    write_file(book, bytes);
    program.workbook_path = book;
    ASSERT_EQ(::symlink(book.c_str(), (folder / "link.csv").c_str()), 0);
    ASSERT_EQ(::link(book.c_str(), (folder / "hard.csv").c_str()), 0);
    ASSERT_EQ(::mkdir((folder / "sub").c_str(), 0755), 0);
    for (const std::string& path : {book, folder / "link.csv", folder / "hard.csv", folder / "sub/../book.wk1"}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(write_import_file(program, path));
        EXPECT_EQ(read_file(book), bytes);
        EXPECT_EQ(messages_42(program),
                  std::vector<std::string>{"Output file " + path + " is the spreadsheet being read; it was not overwritten"});
    }
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.csv"));
}

}  // namespace
}  // namespace fv
