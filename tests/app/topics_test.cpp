#include "app/topics.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include <unistd.h>

#include "util/text_error.h"

namespace {

// "Hello" checks to 72 + 108 + 111 + 2 * (101 + 108) = 709 = 197 (mod 256) and
// "#eof" to 35 + 111 + 2 * (101 + 102) = 552 = 40: the file checksum is 237.
const std::string checked_part = "Hello\r\n#eof\r\n";
const std::string checksum_line = "000000000000237\r\n";
const std::string index_lines = "\"greeting\" 0 5\r\n\"GREETING\" 1 4\r\n\"far\" 100 5\r\n\"broken 0 1\r\n";
const std::string offset_line = "0000000013\r\n";

std::string write_file(const std::string& bytes) {
    static int serial = 0;
    // The process id keeps tests that run side by side off each other's files.
    const std::string path = testing::TempDir() + "topics_" + std::to_string(getpid()) + "_" +
                             std::to_string(serial++) + ".txt";
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

fv::topics loaded(const std::string& bytes) {
    fv::topics file;
    file.set_file_name(write_file(bytes));
    file.load();
    return file;
}

std::string load_failure(const std::string& bytes) {
    try {
        loaded(bytes);
    } catch (const fv::text_error& failure) {
        return failure.text();
    }
    return "loaded";
}

TEST(TopicsChecksum, WeighsEvenBytesTwiceAndStopsAtTheLineEnd) {
    EXPECT_EQ(fv::topics_line_checksum("abc"), 136);
    EXPECT_EQ(fv::topics_line_checksum("abc\r\nzzz"), 136);
    EXPECT_EQ(fv::topics_line_checksum("\r\nabc"), 0);
    EXPECT_EQ(fv::topics_line_checksum("\xff\xff"), (255 + 2 * 255) % 256);
}

TEST(Topics, LoadsTheIndexAndReadsTopicsFromTheFile) {
    const fv::topics file = loaded(checked_part + checksum_line + index_lines + offset_line);
    ASSERT_EQ(file.index().size(), 3u);  // the line without its closing quote adds nothing
    EXPECT_EQ(file.lookup("Greeting").value_or("none"), "Hello");  // the earlier of two names in other case
    EXPECT_FALSE(file.lookup("far").has_value());                  // reaches past the end of the file
    EXPECT_FALSE(file.lookup("absent").has_value());
}

TEST(Topics, ReadsTheSameFileWithLineFeedsAlone) {
    const fv::topics file =
        loaded("Hello\n#eof\n000000000000237\n\"greeting\" 0 5\n0000000011\n");
    EXPECT_EQ(file.lookup("greeting").value_or("none"), "Hello");
}

TEST(Topics, ReportsEachDefect) {
    struct defect_case {
        std::string bytes;
        std::string failure;
    };
    const defect_case cases[] = {
        {checked_part + checksum_line + index_lines + "1000000013\r\n", "topics::load File offset is defective."},
        {checked_part + checksum_line + index_lines + "0000099999\r\n", "topics::load File offset is defective."},
        {checked_part + checksum_line + index_lines + "0000000000\r\n", "topics::load Checksum is defective."},
        {"Jello\r\n#eof\r\n" + checksum_line + index_lines + offset_line,
         "topics::load checksum failure.  File may be damaged."},
        // What follows the "#eof" line is not checked.
        {checked_part + checksum_line + "\"other\" 0 2\r\n" + offset_line, "loaded"},
        {"", "topics::load File offset is defective."},
    };
    for (const auto& c : cases) EXPECT_EQ(load_failure(c.bytes), c.failure) << c.bytes;

    fv::topics unnamed;
    try {
        unnamed.load();
        FAIL() << "loaded without a file name";
    } catch (const fv::text_error& failure) {
        EXPECT_EQ(failure.text(), "topics::load Filename is missing.");
    }
    fv::topics missing;
    missing.set_file_name("/nonexistent/topics.txt");
    EXPECT_THROW(missing.load(), fv::text_error);
}

TEST(Topics, ShippedFileHasEveryTopicTheProgramAsksFor) {
    const fv::topics file = [] {
        fv::topics shipped;
        shipped.set_file_name(FV_BINARY_DIR "/topics.txt");
        shipped.load();
        return shipped;
    }();
    const char* const names[] = {"explain-views", "display-limits", "check-list", "process", "explain-flat-rate",
                                 "whats-new", "explain-preferences", "explain-output", "explain-create",
                                 "explain-rates", "explain-zero", "trouble-shooting", "compare-results",
                                 "option-settings", "explain-ser", "explain-navigation", "explain-reestimates",
                                 "explain-clipboard"};
    for (const char* name : names) {
        const auto text = file.lookup(name);
        ASSERT_TRUE(text.has_value()) << name;
        EXPECT_GT(text->size(), 80u) << name;
        EXPECT_EQ(text->find('\0'), std::string::npos) << name;
    }
}

}  // namespace
