// Printing display texts and free texts: the page geometry worked out by hand,
// line splitting, and whole jobs printed into PDF files that poppler's
// pdftotext and pdfinfo read back independently.
#include "gui/print_text.h"

#include <gtest/gtest.h>

#include <QPrinterInfo>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gui_test_support.h"

namespace fv {
namespace {

using test::scoped_env;
using test::scratch_folder;

TEST(PageLayout, ValuesWorkedOutByHand) {
    struct expected {
        const char* what;
        page_layout layout;
        int line_step, font_height, left_margin, later_left_margin, right_end, centre, top, bottom_limit,
            lines_per_page, lines_fitting;
    };
    const expected cases[] = {
        // Portrait 5100 x 6600: 6600/99 = 66, 6600/116 = 56, 5100*3/32 = 478; depth 6600+56+1-792 = 5865
        // = 88*66 + 57, so the dialog is told 90 lines and 89 baselines fit above 6600+56+1-396 = 6261.
        {"portrait", display_page_layout(5100, 6600), 66, 56, 478, 425, 4622, 2550, 396, 6261, 90, 89},
        // Landscape 6600 x 5100: 5100/72 = 70, 5100/85 = 60, 6600/14 = 471; depth 5100+60+1-840 = 4321
        // = 61*70 + 51.
        {"landscape", display_page_layout(6600, 5100), 70, 60, 471, 550, 6129, 3300, 420, 4741, 63, 62},
        // US Letter at 1200 dpi: 13200/99 = 133, 13200/116 = 113, 10200*3/32 = 956; depth
        // 13200+113+1-1596 = 11718 = 88*133 + 14.
        {"letter", display_page_layout(10200, 13200), 133, 113, 956, 850, 9244, 5100, 798, 12516, 90, 89},
        // A free text takes the larger type on a portrait page: 13200/72 = 183, 13200/85 = 155;
        // depth 13200+155+1-2196 = 11160 = 60*183 + 180.
        {"free text", free_text_page_layout(10200, 13200), 183, 155, 956, 850, 9244, 5100, 1098, 12258, 62, 61},
        // A square page counts as portrait; the depth divides evenly: 9900/99 = 100, 9900/116 = 85,
        // depth 9900+85+1-1200 = 8786 = 87*100 + 86.
        {"square", display_page_layout(9900, 9900), 100, 85, 928, 825, 8972, 4950, 600, 9386, 89, 88},
    };
    for (const expected& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.layout.line_step, c.line_step);
        EXPECT_EQ(c.layout.font_height, c.font_height);
        EXPECT_EQ(c.layout.left_margin, c.left_margin);
        EXPECT_EQ(c.layout.later_left_margin, c.later_left_margin);
        EXPECT_EQ(c.layout.right_end, c.right_end);
        EXPECT_EQ(c.layout.centre, c.centre);
        EXPECT_EQ(c.layout.top, c.top);
        EXPECT_EQ(c.layout.bottom_limit, c.bottom_limit);
        EXPECT_EQ(c.layout.lines_per_page, c.lines_per_page);
        EXPECT_EQ(c.layout.lines_fitting(), c.lines_fitting);
        // The footer: the rule a line step less one below the bottom limit, the texts a line step lower.
        EXPECT_EQ(c.layout.rule_y(), c.bottom_limit + c.line_step - 1);
        EXPECT_EQ(c.layout.footer_y(), c.bottom_limit + 2 * c.line_step - 1);
        EXPECT_LT(c.layout.footer_y(), c.layout.height);
    }
}

TEST(PageLayout, TinyAndHugePagesStayUsable) {
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {50, 40}, {0, 0}, {2000000, 3000000}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        const page_layout layout = display_page_layout(w, h);
        EXPECT_GE(layout.line_step, 1);
        EXPECT_GE(layout.font_height, 1);
        EXPECT_GE(layout.lines_per_page, 1);
        EXPECT_GE(layout.lines_fitting(), 1);
        EXPECT_GE(layout.left_margin, 0);
    }
    // Widths past 16 bits are full integers, not wrapped.
    EXPECT_EQ(display_page_layout(2000000, 3000000).left_margin, 187500);
}

TEST(PrintLines, BreaksAndPairs) {
    using lines = std::vector<std::string>;
    const std::pair<std::string, lines> cases[] = {
        {"", {}},
        {"one", {"one"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\n\rb", {"a", "b"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\nb\n", {"a", "", "b"}},
        {"\r\n", {""}},
        {"\r\n\r\nx", {"", "", "x"}},
        {"a\r\r\nb", {"a", "", "b"}},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(print_lines(text), expected) << '"' << text << '"';
}

TEST(PdfJobPath, LaterJobsGetNumbers) {
    EXPECT_EQ(pdf_job_path("/tmp/out.pdf", 1), "/tmp/out.pdf");
    EXPECT_EQ(pdf_job_path("/tmp/out.pdf", 2), "/tmp/out-2.pdf");
    EXPECT_EQ(pdf_job_path("/tmp/OUT.PDF", 3), "/tmp/OUT-3.PDF");
    EXPECT_EQ(pdf_job_path("/tmp/out", 2), "/tmp/out-2");
    EXPECT_EQ(pdf_job_path(".pdf", 2), ".pdf-2");
}

// A PDF read back by poppler: the pages of `pdftotext -layout`, and the words
// with their boxes in points from `pdftotext -bbox`.
struct pdf_reading {
    std::vector<std::string> pages;  // text of each page
    std::string info;                // pdfinfo output
    struct word {
        int page;
        double x_min, y_min, x_max, y_max;
        std::string text;
    };
    std::vector<word> words;
};

bool read_pdf(const std::string& path, pdf_reading& reading) {
    std::string text;
    if (!test::run_command("pdftotext -layout '" + path + "' -", text)) return false;
    std::size_t start = 0;
    for (std::size_t feed; (feed = text.find('\f', start)) != std::string::npos; start = feed + 1)
        reading.pages.push_back(text.substr(start, feed - start));
    if (!test::run_command("pdfinfo '" + path + "'", reading.info)) return false;
    std::string boxes;
    if (!test::run_command("pdftotext -bbox '" + path + "' -", boxes)) return false;
    // Lines such as <word xMin="57.36" yMin="41.2" xMax="99.1" yMax="48.3">Line001</word>.
    int page = 0;
    for (std::size_t at = 0; at < boxes.size();) {
        const std::size_t next_page = boxes.find("<page ", at);
        const std::size_t next_word = boxes.find("<word ", at);
        if (next_word == std::string::npos) break;
        if (next_page < next_word) {
            ++page;
            at = next_page + 1;
            continue;
        }
        auto number = [&](const char* name) {
            const std::size_t found = boxes.find(std::string(name) + "=\"", next_word);
            return std::strtod(boxes.c_str() + found + std::strlen(name) + 2, nullptr);
        };
        const std::size_t text_start = boxes.find('>', next_word) + 1;
        const std::size_t text_end = boxes.find("</word>", text_start);
        reading.words.push_back({page, number("xMin"), number("yMin"), number("xMax"), number("yMax"),
                                 boxes.substr(text_start, text_end - text_start)});
        at = text_end;
    }
    return true;
}

// Runs of blanks as one blank: pdftotext spaces words by their positions.
std::string squeezed(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != ' ' || out.empty() || out.back() != ' ') out.push_back(c);
    return out;
}

std::vector<std::string> non_blank_lines(const std::string& page) {
    std::vector<std::string> lines;
    std::istringstream in(page);
    for (std::string line; std::getline(in, line);) {
        const auto first = line.find_first_not_of(' ');
        if (first == std::string::npos) continue;
        lines.push_back(line.substr(first, line.find_last_not_of(' ') - first + 1));
    }
    return lines;
}

class PrintIntoPdf : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::have_tool("pdftotext") || !test::have_tool("pdfinfo"))
            GTEST_SKIP() << "pdftotext/pdfinfo (poppler-utils) are not installed";
        test::ensure_gui_application();
    }
    scratch_folder folder{"print"};
};

constexpr double points_per_unit = 72.0 / 1200.0;  // the PDF is printed at 1200 dpi

TEST_F(PrintIntoPdf, DisplayTextBreaksPagesWhereTheLayoutSays) {
    // A US Letter page at 1200 dpi is 10200 x 13200 units; 89 lines fit a page (see
    // PageLayout.ValuesWorkedOutByHand), so 200 lines make pages of 89, 89 and 22 lines.
    std::string text;
    for (int i = 1; i <= 200; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "  Line%03d  amount %8.3f\r\n", i, i * 1.5);
        text += line;
    }
    const std::string pdf = folder.at("three.pdf");
    const std::string spreadsheet = "/data/programs/loans.wk1";
    const std::string run_time = "Thu 10 Dec 2026 07:39:59";
    scoped_env target(print_pdf_variable, pdf.c_str());
    std::string failure;
    ASSERT_TRUE(print_display_text(text, spreadsheet, run_time, failure)) << failure;

    pdf_reading reading;
    ASSERT_TRUE(read_pdf(pdf, reading));
    EXPECT_NE(reading.info.find("Pages:           3"), std::string::npos) << reading.info;
    EXPECT_NE(reading.info.find("Page size:       612 x 792 pts (letter)"), std::string::npos) << reading.info;
    EXPECT_NE(reading.info.find("Title:           Test"), std::string::npos) << reading.info;
    ASSERT_EQ(reading.pages.size(), 3u);

    const int first_line[] = {1, 90, 179};
    const int line_count[] = {89, 89, 22};
    for (int p = 0; p < 3; ++p) {
        SCOPED_TRACE("page " + std::to_string(p + 1));
        const std::vector<std::string> lines = non_blank_lines(reading.pages[p]);
        ASSERT_EQ(lines.size(), static_cast<std::size_t>(line_count[p] + 1));  // the text lines and the footer
        for (int i = 0; i < line_count[p]; ++i) {
            char expected[64];
            const int n = first_line[p] + i;
            std::snprintf(expected, sizeof expected, "Line%03d  amount %8.3f", n, n * 1.5);
            EXPECT_EQ(squeezed(lines[i]), squeezed(expected));
        }
        const std::string footer = squeezed(lines.back());
        if (p < 2)
            EXPECT_EQ(footer, spreadsheet + " page " + std::to_string(p + 1) + " " + run_time);
        else
            EXPECT_EQ(footer, "page 3");
    }

    // Positions, from the word boxes (points; 1200 units to the inch).
    auto find_word = [&](int page, const std::string& text) -> const pdf_reading::word* {
        for (const auto& w : reading.words)
            if (w.page == page && w.text == text) return &w;
        return nullptr;
    };
    const auto* first = find_word(1, "Line001");
    const auto* second = find_word(1, "Line002");
    const auto* last_on_1 = find_word(1, "Line089");
    const auto* first_on_2 = find_word(2, "Line090");
    ASSERT_TRUE(first && second && last_on_1 && first_on_2);
    // "  Line001" starts two character widths after the left margin; the second page's lines
    // start at a twelfth of the width instead.
    const double char_width = (first->x_max - first->x_min) / 7;
    EXPECT_NEAR(first->x_min - 2 * char_width, 956 * points_per_unit, 0.5);
    EXPECT_NEAR(first_on_2->x_min - 2 * char_width, 850 * points_per_unit, 0.5);
    EXPECT_NEAR(second->y_max - first->y_max, 133 * points_per_unit, 0.05);
    EXPECT_NEAR(last_on_1->y_max - first->y_max, 88 * 133 * points_per_unit, 0.05);
    EXPECT_NEAR(first_on_2->y_max, first->y_max, 0.05);
    // The footer: the path where that page's lines start, "page n" centred, the time ending at the right end.
    const auto* path_1 = find_word(1, spreadsheet);
    const auto* path_2 = find_word(2, spreadsheet);
    const auto* page_1 = find_word(1, "1");
    const auto* clock = find_word(1, "07:39:59");
    ASSERT_TRUE(path_1 && path_2 && page_1 && clock);
    EXPECT_NEAR(path_1->x_min, 956 * points_per_unit, 0.5);
    EXPECT_NEAR(path_2->x_min, 850 * points_per_unit, 0.5);
    EXPECT_NEAR(clock->x_max, 9244 * points_per_unit, 0.5);
    const auto* page_word = find_word(1, "page");
    ASSERT_TRUE(page_word);
    EXPECT_NEAR((page_word->x_min + page_1->x_max) / 2, 5100 * points_per_unit, 0.5);
    // The footer texts sit 2 line steps less one unit below the lowest baseline a line may take
    // (12516), so 12516 + 265 - (798 + 88*133) units below the last full page's last line.
    EXPECT_NEAR(path_1->y_max - last_on_1->y_max, (12516 + 265 - (798 + 88 * 133)) * points_per_unit, 0.05);
}

TEST_F(PrintIntoPdf, EmptyTextPrintsNothing) {
    const std::string pdf = folder.at("empty.pdf");
    scoped_env target(print_pdf_variable, pdf.c_str());
    std::string failure;
    EXPECT_TRUE(print_display_text("", "book.wk1", "Thu 10 Dec 2026 07:39:59", failure));
    EXPECT_TRUE(print_free_text("", failure));
    EXPECT_FALSE(test::fs::exists(pdf));
    EXPECT_TRUE(failure.empty());
}

TEST_F(PrintIntoPdf, FreeTextFootersHoldOnlyThePageNumber) {
    // Free texts take the larger type: 61 lines fit a Letter page, so 70 lines make two pages.
    std::string text;
    for (int i = 1; i <= 70; ++i) text += "Tip line " + std::to_string(i) + "\n";
    const std::string pdf = folder.at("tip.pdf");
    scoped_env target(print_pdf_variable, pdf.c_str());
    std::string failure;
    ASSERT_TRUE(print_free_text(text, failure)) << failure;
    pdf_reading reading;
    ASSERT_TRUE(read_pdf(pdf, reading));
    ASSERT_EQ(reading.pages.size(), 2u);
    const auto page_1 = non_blank_lines(reading.pages[0]);
    const auto page_2 = non_blank_lines(reading.pages[1]);
    ASSERT_EQ(page_1.size(), 62u);
    ASSERT_EQ(page_2.size(), 10u);
    EXPECT_EQ(page_1[60], "Tip line 61");
    EXPECT_EQ(page_2[0], "Tip line 62");
    EXPECT_EQ(page_1.back(), "page 1");
    EXPECT_EQ(page_2.back(), "page 2");
}

TEST_F(PrintIntoPdf, AwkwardTextsPrint) {
    // A Latin-1 byte that is not UTF-8 (printed as U+FFFD), UTF-8, a very long
    // line and a text without a final line end.
    const std::string text = "caf\xe9 au lait\r\nna\xc3\xafve\r\n" + std::string(5000, 'x') + "\r\nlast";
    const std::string pdf = folder.at("awkward.pdf");
    scoped_env target(print_pdf_variable, pdf.c_str());
    std::string failure;
    ASSERT_TRUE(print_display_text(text, "", "", failure)) << failure;
    pdf_reading reading;
    ASSERT_TRUE(read_pdf(pdf, reading));
    ASSERT_EQ(reading.pages.size(), 1u);
    const auto lines = non_blank_lines(reading.pages[0]);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "caf\xef\xbf\xbd au lait");
    EXPECT_EQ(lines[1], "na\xc3\xafve");
    EXPECT_EQ(lines[3], "last");
}

TEST_F(PrintIntoPdf, LaterJobsOfTheSameTargetDoNotReplaceTheFirst) {
    const std::string pdf = folder.at("jobs.pdf");
    scoped_env target(print_pdf_variable, pdf.c_str());
    std::string failure;
    ASSERT_TRUE(print_display_text("subsidy display\r\n", "book.wk1", "Thu 10 Dec 2026 07:39:59", failure)) << failure;
    ASSERT_TRUE(print_display_text("messages display\r\n", "book.wk1", "Thu 10 Dec 2026 07:39:59", failure)) << failure;
    pdf_reading first, second;
    ASSERT_TRUE(read_pdf(pdf, first));
    ASSERT_TRUE(read_pdf(folder.at("jobs-2.pdf"), second));
    EXPECT_EQ(non_blank_lines(first.pages.at(0)).at(0), "subsidy display");
    EXPECT_EQ(non_blank_lines(second.pages.at(0)).at(0), "messages display");
}

TEST_F(PrintIntoPdf, FailuresSayWhyAndLeaveNoFile) {
    std::string failure;
    {
        const std::string pdf = folder.at("missing-folder/out.pdf");
        scoped_env target(print_pdf_variable, pdf.c_str());
        EXPECT_FALSE(print_display_text("text\r\n", "book.wk1", "", failure));
        EXPECT_NE(failure.find("Unable to print into the PDF file:\n" + pdf), std::string::npos) << failure;
        EXPECT_FALSE(test::fs::exists(folder.path / "missing-folder"));
    }
    {
        // The PDF target must never replace the spreadsheet being printed.
        const std::string book = folder.at("book.wk1");
        std::ofstream(book) << "spreadsheet bytes";
        scoped_env target(print_pdf_variable, book.c_str());
        failure.clear();
        EXPECT_FALSE(print_display_text("text\r\n", book, "", failure));
        EXPECT_NE(failure.find("spreadsheet itself"), std::string::npos) << failure;
        EXPECT_EQ(test::file_content(book), "spreadsheet bytes");
    }
    {
        // A target that is a folder: the partial file is removed again.
        const std::string pdf = folder.at("a-folder");
        test::fs::create_directories(pdf);
        scoped_env target(print_pdf_variable, pdf.c_str());
        failure.clear();
        EXPECT_FALSE(print_display_text("text\r\n", "book.wk1", "", failure));
        EXPECT_NE(failure.find("Unable to print into the PDF file"), std::string::npos) << failure;
        EXPECT_TRUE(test::fs::is_directory(pdf));
        for (const auto& entry : test::fs::directory_iterator(folder.path))
            EXPECT_EQ(entry.path().filename().string().find(".partial"), std::string::npos) << entry.path();
    }
}

TEST(PrintWithoutTarget, NoPrinterAndNoPdfIsAClearMessage) {
    test::ensure_gui_application();
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "this machine has a default printer";
    scoped_env no_target(print_pdf_variable, nullptr);
    std::string failure;
    EXPECT_FALSE(print_display_text("text\r\n", "book.wk1", "", failure));
    EXPECT_EQ(failure,
              "There is no printer to print on.\n\nInstall a default printer, or set FERRAVANE_PRINT_PDF to the "
              "name of a PDF file to print into.");
    failure.clear();
    scoped_env empty_target(print_pdf_variable, "");
    EXPECT_FALSE(print_free_text("text\r\n", failure));
    EXPECT_NE(failure.find("no printer"), std::string::npos);
}

}  // namespace
}  // namespace fv
