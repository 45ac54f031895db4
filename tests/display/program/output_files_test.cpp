// The output files a range names: both written whole, each failure its own
// message 42, the spreadsheet being read never replaced.
#include "display/program/output_files.h"

#include <gtest/gtest.h>

#include "display/program/import_file.h"
#include "display/program/program_displays.h"
#include "output_test_support.h"

namespace fv {
namespace {

using namespace fv::testing;

std::vector<std::string> messages_42(const credit_program& program) {
    std::vector<std::string> out;
    for (const message& m : program.messages().list())
        if (m.number == 42) out.push_back(m.text);
    return out;
}

void calculated(credit_program& program) {
    set_identity(program);
    program.rate_assumptions = "Budget forecast rates, Budget 2001";
    add_cohort(program, 2001, {9, 5, 5, -1, 0}, 6.09);
    add_cohort(program, 2002, {na, na, na, na, na}, na);
}

TEST(OutputFiles, BothFilesWritten) {
    scratch_folder folder;
    credit_program program(0);
    calculated(program);
    program.add(42, "Unable to open output file from an earlier run");
    program.csv_file_name = folder / "subsidy.csv";
    program.output_file_name = folder / "subsidy.txt";
    write_file(program.output_file_name, "older text");
    ASSERT_TRUE(write_output_files(program));
    EXPECT_TRUE(messages_42(program).empty());
    EXPECT_EQ(read_file(program.csv_file_name), import_file_text(program));
    const std::string text = read_file(program.output_file_name);
    EXPECT_EQ(text, make_subsidy_display(program).render_text());
    EXPECT_EQ(text, text_output_file_text(program));
    const auto lines = crlf_lines(text);  // CR LF line ends, as rendered
    ASSERT_GT(lines.size(), 13u);
    EXPECT_NE(text.find("  2001 "), std::string::npos);
    EXPECT_EQ(text.find(printed_marker), std::string::npos);
    EXPECT_EQ(folder.names().size(), 2u);
}

TEST(OutputFiles, NothingRequestedWritesNothing) {
    scratch_folder folder;
    credit_program program(0);
    calculated(program);
    program.add(37, "kept");
    EXPECT_TRUE(write_output_files(program));
    EXPECT_EQ(program.messages().count(), 1u);
    EXPECT_TRUE(folder.names().empty());
}

TEST(OutputFiles, TwoFailuresLeaveTwoMessages) {
    scratch_folder folder;
    credit_program program(0);
    calculated(program);
    program.add(42, "Unable to open output file from an earlier run");
    const std::string csv = folder / "missing/subsidy.csv";
    const std::string txt = folder / "missing/subsidy.txt";
    program.csv_file_name = csv;
    program.output_file_name = txt;
    EXPECT_FALSE(write_output_files(program));
    EXPECT_EQ(messages_42(program),
              (std::vector<std::string>{"Unable to open output file " + csv, "Unable to open output file " + txt}));
    // The failed text output path is dropped; the import file is tried again next time.
    EXPECT_TRUE(program.output_file_name.empty());
    EXPECT_EQ(program.csv_file_name, csv);
    EXPECT_FALSE(write_output_files(program));
    EXPECT_EQ(messages_42(program), std::vector<std::string>{"Unable to open output file " + csv});
    EXPECT_TRUE(folder.names().empty());
}

TEST(OutputFiles, NeitherFileMayBeTheSpreadsheet) {
    scratch_folder folder;
    credit_program program(0);
    calculated(program);
    const std::string book = folder / "book.wk1";
    const std::string bytes("\x00\x00\x02\x00\x06\x04", 6);
    write_file(book, bytes);
    ASSERT_EQ(::symlink(book.c_str(), (folder / "link.txt").c_str()), 0);
    program.workbook_path = book;
    program.csv_file_name = book;
    program.output_file_name = folder / "link.txt";
    EXPECT_FALSE(write_output_files(program));
    EXPECT_EQ(read_file(book), bytes);
    EXPECT_EQ(messages_42(program),
              (std::vector<std::string>{"Output file " + book + " is the spreadsheet being read; it was not overwritten",
                                        "Output file " + folder / "link.txt" +
                                            " is the spreadsheet being read; it was not overwritten"}));
}

TEST(OutputFiles, ALongDisplayIsCutWithoutANotice) {
    scratch_folder folder;
    credit_program program(0);
    calculated(program);
    for (int year = 2003; year < 2603; ++year) add_cohort(program, year, {1, 1, 0, 0, 0}, 5.0);
    program.output_file_name = folder / "subsidy.txt";
    ASSERT_TRUE(write_output_files(program));
    const std::string text = read_file(program.output_file_name);
    EXPECT_LE(text.size(), display_page::text_limit);
    EXPECT_GT(text.size(), display_page::text_limit - 200);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(text.find("are not displayed"), std::string::npos);
    EXPECT_NE(text.find("See Tips-Views-Limitations menu for potential problems"), std::string::npos);
}

}  // namespace
}  // namespace fv
