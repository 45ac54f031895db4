// The numbered message list: adding, suppression by number, removal of
// ranges, the suppression grammar and the printed forms.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "cashflow/message_list.h"

namespace fv {
namespace {

const std::string start_above_end = "A \"supress-warnings\" message has a defective range of values ( start > end )";
const std::string start_above_99 = "A \"supress-warnings\" message has a defective range of values (start > 99 )";
const std::string end_above_99 = "A \"supress-warnings\" message has a defective range of values (end > 99 )";

// The suppressed numbers, as a list.
std::vector<unsigned> suppressed(const message_list& m) {
    std::vector<unsigned> out;
    for (unsigned n = 0; n < 100; ++n)
        if (m.suppressed(n)) out.push_back(n);
    return out;
}

std::vector<unsigned> span(unsigned first, unsigned last) {
    std::vector<unsigned> out;
    for (unsigned n = first; n <= last; ++n) out.push_back(n);
    return out;
}

std::vector<std::string> texts(const message_list& m) {
    std::vector<std::string> out;
    for (const auto& message : m.list()) out.push_back(std::to_string(message.number) + " " + message.text);
    return out;
}

TEST(MessageList, AddKeepsOrderAndDropsNumbersAbove99) {
    message_list m;
    m.add(38, "first");
    m.add(0, "");
    m.add(100, "never");
    m.add(4000000000u, "never");
    m.add(99, "last");
    EXPECT_EQ(m.count(), 3u);
    EXPECT_EQ(texts(m), (std::vector<std::string>{"38 first", "0 ", "99 last"}));
}

TEST(MessageList, TextsOfAnyLengthAreKeptWhole) {
    message_list m;
    const std::string cell(100000, 'x');
    m.add(39, "Cell A:A1:  unrecognized keyword ( " + cell + " )");
    ASSERT_EQ(m.count(), 1u);
    EXPECT_EQ(m.list()[0].text.size(), cell.size() + 37);
    EXPECT_EQ(m.print_text(false).size(), cell.size() + 37 + 8);
    // Embedded NULs survive too.
    m.add(30, std::string_view("a\0b", 3));
    EXPECT_EQ(m.list()[1].text, std::string("a\0b", 3));
}

TEST(MessageList, RemoveRangeIsInclusive) {
    message_list m;
    for (unsigned n : {10u, 42u, 50u, 42u, 99u, 49u, 0u}) m.add(n, "t");
    m.remove_range(42, 42);
    EXPECT_EQ(texts(m), (std::vector<std::string>{"10 t", "50 t", "99 t", "49 t", "0 t"}));
    m.remove_range(50, 99);
    EXPECT_EQ(texts(m), (std::vector<std::string>{"10 t", "49 t", "0 t"}));
    m.remove_range(60, 20);  // an empty range removes nothing
    EXPECT_EQ(m.count(), 3u);
    m.remove_range(0, 99);
    EXPECT_EQ(m.count(), 0u);
}

TEST(MessageList, SuppressionActsWhenAMessageIsAdded) {
    message_list m;
    m.add(30, "before");
    ASSERT_EQ(m.apply_suppression("30"), 0);
    m.add(30, "dropped");
    m.add(31, "kept");
    EXPECT_EQ(m.count(), 2u);  // a suppressed message does not count
    ASSERT_EQ(m.apply_suppression("none"), 0);
    EXPECT_EQ(texts(m), (std::vector<std::string>{"30 before", "31 kept"}));
}

struct suppression_case {
    const char* text;
    int result;                       // 0 understood
    std::vector<unsigned> suppressed;  // afterwards, from nothing suppressed
    std::vector<std::string> messages;  // messages 33 added
};

TEST(MessageList, SuppressionGrammar) {
    const std::vector<suppression_case> cases = {
        {"", 0, {}, {}},
        {" , ,", 0, {}, {}},
        {"30", 0, {30}, {}},
        {"30-35", 0, span(30, 35), {}},
        {"30, 32-35, 37", 0, {30, 32, 33, 34, 35, 37}, {}},
        {"30 -35", 0, span(30, 35), {}},
        {"0-99", 0, span(0, 99), {}},
        {"ALL", 0, span(0, 99), {}},
        {"all", 0, span(0, 99), {}},
        {"ALL, None", 0, {}, {}},
        {"None 30-35", 0, span(30, 35), {}},
        {"NONE,40", 0, {40}, {}},
        {"Nonesuch 5", 0, {5}, {}},
        {"0007", 0, {7}, {}},
        {"30 - 35", 0, {35}, {start_above_end}},
        {"40-30", 0, {}, {start_above_end}},
        {"5-", 0, {}, {start_above_end}},
        {"0-", 0, {0}, {}},
        {"120-130", 0, {}, {start_above_99}},
        {"90-120", 0, {}, {end_above_99}},
        {"99-100", 0, {}, {end_above_99}},
        {"100", 0, {}, {start_above_99}},
        {"7, 100, 8", 0, {7, 8}, {start_above_99}},
        // Huge numbers saturate: they are too large, never wrapped into 0-99.
        {"4294967326", 0, {}, {start_above_99}},
        {"99999999999999999999999999999", 0, {}, {start_above_99}},
        {"1-4294967297", 0, {}, {end_above_99}},
        {"4294967297-4294967298", 0, {}, {start_above_99}},
        {"99999999999999999999-5", 0, {}, {start_above_end}},
        // Texts that are not understood; what came before stays.
        {"x", 1, {}, {}},
        {"30;31", 1, {30}, {}},
        {"30-35x", 1, span(30, 35), {}},
        {"AL", 1, {}, {}},
        {"-5", 1, {}, {}},
        {"\t30", 1, {}, {}},
        {"ALLx", 1, span(0, 99), {}},
    };
    for (const auto& c : cases) {
        message_list m;
        EXPECT_EQ(m.apply_suppression(c.text), c.result) << c.text;
        EXPECT_TRUE(m.suppression_given()) << c.text;
        EXPECT_EQ(suppressed(m), c.suppressed) << c.text;
        std::vector<std::string> added;
        for (const auto& message : m.list()) {
            EXPECT_EQ(message.number, 33u) << c.text;
            added.push_back(message.text);
        }
        EXPECT_EQ(added, c.messages) << c.text;
    }
}

TEST(MessageList, ArbitrarySuppressionTextsOnlyAddMessage33) {
    std::mt19937 random(1357);
    const std::string alphabet = "0123456789-, AaLlNnOoEe;\t";
    for (int n = 0; n < 20000; ++n) {
        std::string text(random() % 30, ' ');
        for (char& ch : text) ch = alphabet[random() % alphabet.size()];
        message_list m;
        const int result = m.apply_suppression(text);
        ASSERT_TRUE(result == 0 || result == 1) << text;
        for (const auto& message : m.list()) ASSERT_EQ(message.number, 33u) << text;
    }
}

TEST(MessageList, DefectiveRangeMessageCanItselfBeSuppressed) {
    message_list m;
    EXPECT_EQ(m.apply_suppression("33, 40-30"), 0);
    EXPECT_EQ(m.count(), 0u);
    EXPECT_EQ(m.apply_suppression("None, 40-30"), 0);
    EXPECT_EQ(m.count(), 1u);
}

TEST(MessageList, NumbersInTheCellAreReadWhole) {
    const struct {
        double value;
        int result;
        std::vector<unsigned> suppressed;
        std::size_t messages;
    } cases[] = {
        {35.0, 0, {35}, 0},
        {34.6, 0, {35}, 0},
        {0.0, 0, {0}, 0},
        {1e300, 0, {}, 1},  // far too large: reported, nothing suppressed
        {-3.0, 1, {}, 0},
        {std::numeric_limits<double>::quiet_NaN(), 1, {}, 0},
        {std::numeric_limits<double>::infinity(), 1, {}, 0},
    };
    for (const auto& c : cases) {
        message_list m;
        EXPECT_EQ(m.apply_suppression(c.value), c.result) << c.value;
        EXPECT_EQ(suppressed(m), c.suppressed) << c.value;
        EXPECT_EQ(m.count(), c.messages) << c.value;
    }
}

TEST(MessageList, ResetEmptiesTheListAndClearsSuppression) {
    message_list m;
    EXPECT_FALSE(m.suppression_given());
    m.add(56, "x");
    m.apply_suppression("ALL");
    m.reset();
    EXPECT_EQ(m.count(), 0u);
    EXPECT_TRUE(suppressed(m).empty());
    m.add(56, "y");
    EXPECT_EQ(m.count(), 1u);
}

// What print wrote to a real file.
std::string printed(const message_list& m, bool quoted) {
    std::FILE* file = std::tmpfile();
    if (file == nullptr) return "<no temporary file>";
    m.print(file, quoted);
    std::rewind(file);
    std::string out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) out.append(buffer, n);
    std::fclose(file);
    return out;
}

TEST(MessageList, PrintedForms) {
    message_list m;
    EXPECT_EQ(printed(m, false), "");
    EXPECT_EQ(printed(m, true), "");
    m.add(0, "Stopped");
    m.add(38, "Non-numeric or invalid cell value in cell A:C7.  Zero used instead.");
    m.add(5, "");
    m.add(99, "say \"x\" 100%");
    const std::string plain =
        "W000:  Stopped\n"
        "W038:  Non-numeric or invalid cell value in cell A:C7.  Zero used instead.\n"
        "W005:  \n"
        "W099:  say \"x\" 100%\n";
    const std::string quoted =
        "\"W000:  Stopped\"\n"
        "\"W038:  Non-numeric or invalid cell value in cell A:C7.  Zero used instead.\"\n"
        "\"W005:  \"\n"
        "\"W099:  say \"x\" 100%\"\n";
    EXPECT_EQ(printed(m, false), plain);
    EXPECT_EQ(printed(m, true), quoted);
    EXPECT_EQ(m.print_text(false), plain);
    EXPECT_EQ(m.print_text(true), quoted);
    m.print(nullptr, false);  // no file: nothing happens
}

TEST(MessageList, PrintWritesLongTextsWhole) {
    message_list m;
    const std::string long_text(70000, 'q');
    m.add(30, long_text);
    EXPECT_EQ(printed(m, true), "\"W030:  " + long_text + "\"\n");
}

TEST(FormatMessage, GrowsToFitAndFormatsNumbers) {
    EXPECT_EQ(format_message("Total disbursements and total principal payments differ by %.1lf percent in cohort %d",
                             12.25, 2001),
              "Total disbursements and total principal payments differ by 12.2 percent in cohort 2001");
    EXPECT_EQ(format_message("     Target subsidy was.... %7.3lf percent", 1.5),
              "     Target subsidy was....   1.500 percent");
    const std::string cell(5000, 'c');
    EXPECT_EQ(format_message("Cell %s:  unrecognized keyword ( %s )", "A:B2", cell.c_str()),
              "Cell A:B2:  unrecognized keyword ( " + cell + " )");
    EXPECT_EQ(format_message("%s", ""), "");
}

}  // namespace
}  // namespace fv
