// Recognition of first-column texts: every deciding prefix under each program
// type (unknown, direct loan, guarantee), the tag and blank skipping, and the
// quarter-factor lines.
#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>

#include "cashflow/classify_label.h"

namespace fv {
namespace {

struct label_case {
    const char* text;
    int unknown;    // program type 0
    int direct;     // program type 1
    int guarantee;  // program type 2
};

// Codes worked out from the keyword table by hand, one row per deciding prefix.
const label_case cases[] = {
    // Empty texts and leading tags.
    {"", 0, 0, 0},
    {"    \t ", 0, 0, 0},
    {"(unclosed", 0, 0, 0},
    {"()", 0, 0, 0},
    {"  (12)  \t", 0, 0, 0},
    {"  (3) Principal pmts, scheduled", 70, 49, 58},
    {"(2)Disbursements", 70, 46, 57},
    {"(a) (b) Name", 70, 70, 70},  // only one tag is skipped
    {"\t Name", 14, 14, 14},
    // A
    {"Account type", 1, 1, 1},
    {"AMOUNT", 2, 2, 2},
    {"Annual fees", 70, 70, 60},
    {"A", 70, 70, 70},
    {"Apples", 70, 70, 70},
    // B: any word
    {"Budget year", 43, 43, 43},
    {"b", 43, 43, 43},
    {"Bananas", 43, 43, 43},
    // C
    {"Calculate BA", 41, 41, 41},
    {"cohort 2001", 3, 3, 3},
    {"Commitments", 70, 70, 56},
    {"Compute SER", 5, 5, 5},
    {"Comparable maturity", 4, 4, 4},
    {"COMP", 4, 4, 4},
    {"Com", 70, 70, 70},
    {"Co", 70, 70, 70},
    {"Cx", 70, 70, 70},
    // D
    {"Deflators", 7, 7, 7},
    {"Defaults", 70, 52, 63},
    {"Def", 70, 52, 63},
    {"Description", 8, 8, 8},
    {"Disbursements", 70, 46, 57},
    {"Discount rates", 9, 9, 9},
    {"Dis", 70, 70, 70},
    {"De", 70, 70, 70},
    // E
    {"Enacted BA", 44, 44, 44},
    {"Estimate type", 11, 11, 11},
    {"END", 10, 10, 10},
    {"end of range", 10, 10, 10},
    {"En", 70, 70, 70},
    {"Exit", 70, 70, 70},
    // F: any word, direct loans only
    {"Fees and other income", 70, 51, 70},
    {"f", 70, 51, 70},
    // I
    {"Import file", 6, 6, 6},
    {"Inflows", 70, 47, 62},
    {"Interest pmts", 70, 50, 65},
    {"In", 70, 70, 70},
    {"Ignore", 70, 70, 70},
    // L
    {"Loan type", 12, 12, 12},
    {"Lost fees", 67, 67, 67},
    {"Losses", 70, 53, 70},
    {"Lo", 70, 70, 70},
    // M
    {"Misc. recoveries", 70, 70, 69},
    {"Method", 13, 13, 13},
    {"Monthly", 70, 70, 70},
    // N: any word
    {"Name", 14, 14, 14},
    {"Nonsense", 14, 14, 14},
    // O
    {"Other losses", 70, 53, 70},
    {"Other recoveries", 70, 70, 69},
    {"Other inflows (+)", 70, 47, 62},
    {"OTHER INFLOWS (-)", 70, 70, 66},
    {"Other inflows", 70, 47, 70},
    {"other inflows (x)", 70, 47, 70},
    {"Obligations", 70, 45, 70},
    {"Other outflows", 70, 48, 66},
    {"Outflows", 70, 48, 66},
    {"Outlays from prior BA", 16, 16, 16},
    {"Output file", 15, 15, 15},
    {"Other", 70, 70, 70},
    {"Out", 70, 70, 70},
    // P
    {"Payments of defaults", 70, 52, 63},
    {"Percent guaranteed", 70, 70, 58},
    {"Pct. guaranteed", 70, 70, 70},  // "PC" is no prefix of its own
    {"Program type", 17, 17, 17},
    {"Premiums", 70, 55, 61},
    {"Prepayments", 70, 55, 61},
    {"Principal pmts, scheduled", 70, 49, 58},
    {"PRINCIPAL GUARANTEED", 70, 49, 58},
    {"Purpose", 18, 18, 18},
    {"Pr", 70, 70, 70},
    {"Pz", 70, 70, 70},
    // R
    {"Rate assumption", 35, 35, 35},
    {"REPEAT", 36, 36, 36},
    {"Recoveries", 70, 54, 64},
    {"Round", 42, 42, 42},
    {"Re", 70, 70, 70},
    // S
    {"Saved interest", 70, 70, 68},
    {"Sched. interest", 70, 50, 70},
    {"sched. principal", 70, 49, 70},
    {"Scheduled interest", 70, 50, 70},
    {"Scheduled principal", 70, 49, 70},
    {"Sched.interest", 70, 70, 70},
    {"Sheet file", 40, 40, 40},
    {"Suppress warnings", 39, 39, 39},
    {"SKIP", 37, 37, 37},
    {"Sa", 70, 70, 70},
    {"Sx", 70, 70, 70},
    // T, U: any word
    {"Timing", 38, 38, 38},
    {"Tables", 38, 38, 38},
    {"Upfront fees", 70, 70, 59},
    {"u", 70, 70, 59},
    // Letters with no entry, digits, punctuation.
    {"Gross", 70, 70, 70},
    {"Zero", 70, 70, 70},
    {"2001", 70, 70, 70},
    {"-", 70, 70, 70},
    {"\xe9t\xe9", 70, 70, 70},
    // Quarter-factor lines.
    {"Q1-INFLOW", 19, 19, 19},
    {"Q1-INFLOW-INIT", 20, 20, 20},
    {"Q1-IN-INIT", 20, 20, 20},
    {"Q1-INIT-INFLOW", 20, 20, 20},
    {"q1-i", 19, 19, 19},
    {"Q1-OUTFLOW", 21, 21, 21},
    {"Q1-OUTFLOW-INIT", 22, 22, 22},
    {"Q1-OUT-INIT", 22, 22, 22},
    {"Q1-INIT-OUTFLOW", 22, 22, 22},
    {"Q2-INFLOW", 23, 23, 23},
    {"Q2-inflow-init", 24, 24, 24},
    {"Q2-OUTFLOW", 25, 25, 25},
    {"Q2-OUTFLOW-INIT", 26, 26, 26},
    {"Q3-Inflow", 27, 27, 27},
    {"Q3-IN-INIT", 28, 28, 28},
    {"Q3-O", 29, 29, 29},
    {"Q3-OUT-", 30, 30, 30},
    {"Q4-INFLOW", 31, 31, 31},
    {"Q4-INFLOW-", 32, 32, 32},
    {"Q4-OUTFLOW", 33, 33, 33},
    {"Q4-OUTFLOW-INIT", 34, 34, 34},
    {"Q5-INFLOW", 70, 70, 70},
    {"Q0-OUTFLOW", 70, 70, 70},
    {"Q5-INFLOW-INIT", 70, 70, 70},
    {"Q1INFLOW", 70, 70, 70},
    {"Q1-", 70, 70, 70},
    {"Q1-X", 70, 70, 70},
    {"Q1", 70, 70, 70},
    {"Q", 70, 70, 70},
    {"(1) Q2-OUTFLOW", 25, 25, 25},
};

TEST(ClassifyLabel, KeywordTableUnderEachProgramType) {
    for (const auto& c : cases) {
        EXPECT_EQ(code_number(classify_label(c.text, 0)), c.unknown) << '"' << c.text << "\" unknown type";
        EXPECT_EQ(code_number(classify_label(c.text, 1)), c.direct) << '"' << c.text << "\" direct loan";
        EXPECT_EQ(code_number(classify_label(c.text, 2)), c.guarantee) << '"' << c.text << "\" guarantee";
    }
}

TEST(ClassifyLabel, CaseDoesNotMatter) {
    for (const auto& c : cases) {
        std::string lower = c.text, upper = c.text;
        for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        for (int type = 0; type <= 2; ++type) {
            EXPECT_EQ(classify_label(lower, type), classify_label(c.text, type)) << lower << " type " << type;
            EXPECT_EQ(classify_label(upper, type), classify_label(c.text, type)) << upper << " type " << type;
        }
    }
}

TEST(ClassifyLabel, ProgramTypesOutsideTheKnownOnesFindOnlyCommonWords) {
    EXPECT_EQ(classify_label("Disbursements", 3), line_code::unknown);
    EXPECT_EQ(classify_label("Disbursements", -1), line_code::unknown);
    EXPECT_EQ(classify_label("Lost fees", 7), line_code::lg_lost_fees);
    EXPECT_EQ(classify_label("Name", 99), line_code::name);
}

TEST(ClassifyLabel, TextIsReadOnlyWithinItsBounds) {
    // A view into a longer buffer: nothing past its end may be looked at.
    const std::string buffer = "Q1-INFLOW-INIT";
    EXPECT_EQ(classify_label(std::string_view(buffer).substr(0, 9), 0), line_code::q1_inflow);
    EXPECT_EQ(classify_label(std::string_view(buffer).substr(0, 3), 0), line_code::unknown);
    const std::string disbursements_word = "Disbursements";
    EXPECT_EQ(classify_label(std::string_view(disbursements_word).substr(0, 3), 1), line_code::unknown);
    // Embedded NULs are ordinary characters.
    EXPECT_EQ(classify_label(std::string_view("T\0x", 3), 0), line_code::timing);
    EXPECT_EQ(classify_label(std::string_view("(\0)Name", 7), 0), line_code::name);
}

TEST(ClassifyLabel, ArbitraryTextsGiveACodeInRange) {
    std::mt19937 random(12345);
    const std::string alphabet = "QqPpOoIiNnDdSs0123456789-() \t,.:+[]\xff";
    for (int n = 0; n < 20000; ++n) {
        std::string text(random() % 20, ' ');
        for (char& ch : text) ch = alphabet[random() % alphabet.size()];
        for (int type = 0; type <= 2; ++type) {
            const int code = code_number(classify_label(text, type));
            ASSERT_TRUE(code >= 0 && code < code_number(line_code::end_marker)) << text;
        }
    }
}

}  // namespace
}  // namespace fv
