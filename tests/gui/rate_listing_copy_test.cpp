// "&Copy to clipboard" of the rate listing: "Wk1", then "Wk3", then the text
// unless spreadsheet formats only are wanted; the worksheets read back by
// gnumeric's ssconvert hold the listing's titles and rates; a template that
// cannot be read, or a clipboard that refuses, ends the copy with its message.
#include <gtest/gtest.h>

#include <fstream>

#include "dialog_test_support.h"
#include "gui/clipboard_copy.h"
#include "gui/display_rates_dialog.h"
#include "workbook/workbook_file.h"

namespace fv {
namespace {

using test::file_content;
using test::have_tool;
using test::run_command;
using test::scratch_folder;

struct recording_clipboard : clipboard_target {
    std::vector<std::pair<std::string, std::vector<unsigned char>>> placed;
    std::string refuse = "<none>";  // a format whose put is refused
    bool opens = true;
    int closes = 0;
    bool open() override { return opens; }
    bool empty() override { return true; }
    bool register_format(const std::string&) override { return true; }
    put_result put(const std::string& format, const std::vector<unsigned char>& data) override {
        if (format == refuse) return put_result::refused;
        placed.emplace_back(format, data);
        return put_result::placed;
    }
    void close() override { ++closes; }
    std::vector<std::string> formats() const {
        std::vector<std::string> out;
        for (const auto& entry : placed) out.push_back(entry.first);
        return out;
    }
};

class RateListingCopy : public ::testing::Test {
protected:
    rate_collection rates;
    std::string directory = FV_SOURCE_DIR "/data/";
    std::vector<std::string> messages;
    std::function<void(const std::string&)> tell = [this](const std::string& text) { messages.push_back(text); };

    void SetUp() override {
        rates.load_rate_file(directory + "rates.txt", true);
        rates.load_own_file_text("own", "#CLIENT-RATE-FILE\n\n\"Mine\" 6.5 6.5 6.5 6.5 6.5 6.5 6.5 6.5 6.5\n");
    }
};

TEST_F(RateListingCopy, WorksheetsFirstThenTextAndBothSheetsReadBack) {
    recording_clipboard clipboard;
    ASSERT_TRUE(copy_rate_listing(rates, directory, false, clipboard, tell)) << (messages.empty() ? "" : messages[0]);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(clipboard.formats(), (std::vector<std::string>{"Wk1", "Wk3", ""}));
    const std::string text(clipboard.placed[2].second.begin(), clipboard.placed[2].second.end());
    EXPECT_EQ(text, rates.list_text(true));
    EXPECT_EQ(clipboard.closes, 1);

    recording_clipboard only_sheets;
    ASSERT_TRUE(copy_rate_listing(rates, directory, true, only_sheets, tell));
    EXPECT_EQ(only_sheets.formats(), (std::vector<std::string>{"Wk1", "Wk3"}));

    // The WK3 sheet through our own WK3 reader (gnumeric reads no WK3).
    scratch_folder folder("listing");
    const auto save = [&](std::size_t n, const std::string& name) {
        const std::string path = folder.at(name);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(clipboard.placed[n].second.data()),
                  static_cast<std::streamsize>(clipboard.placed[n].second.size()));
        return path;
    };
    {
        workbook_file book(save(1, "listing.wk3"));
        book.load();
        std::string text;
        double number = 0;
        EXPECT_EQ(book.read_cell("A:A1", text), 0);
        EXPECT_EQ(text, "ACTUAL RATES");
        EXPECT_EQ(book.read_cell("A:A4", text), 0);
        EXPECT_EQ(text, "FY 2023 average");  // the second set, newest first
        EXPECT_EQ(book.read_cell("A:B4", number), 0);
        EXPECT_DOUBLE_EQ(number, 4.94);
    }

    // The WK1 sheet through gnumeric.
    if (!have_tool("ssconvert")) GTEST_SKIP() << "gnumeric's ssconvert is not installed";
    const std::string sheet = save(0, "listing.wk1");
    const std::string csv = folder.at("listing.csv");
    std::string output;
    ASSERT_TRUE(run_command("ssconvert '" + sheet + "' '" + csv + "' 2>/dev/null", output));
    const std::string cells = file_content(csv);
    for (const char* expected :
         {"\"ACTUAL RATES\"", "\"FY 2022 average\",1.05", "\nMine,6.5,6.5,6.5,"})
        EXPECT_NE(cells.find(expected), std::string::npos) << expected << "\n" << cells;
}

TEST_F(RateListingCopy, FailuresEndTheCopyWithTheirMessage) {
    recording_clipboard clipboard;
    EXPECT_FALSE(copy_rate_listing(rates, FV_SOURCE_DIR "/no-such-directory/", false, clipboard, tell));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("1.bin"), std::string::npos) << messages[0];
    EXPECT_TRUE(clipboard.placed.empty());

    messages.clear();
    clipboard.opens = false;
    EXPECT_FALSE(copy_rate_listing(rates, directory, false, clipboard, tell));
    EXPECT_EQ(messages, std::vector<std::string>{"DisplayRates::OnEcopy was unable to open the clipboard"});

    messages.clear();
    clipboard.opens = true;
    clipboard.refuse = "Wk3";
    EXPECT_FALSE(copy_rate_listing(rates, directory, false, clipboard, tell));
    EXPECT_EQ(messages, std::vector<std::string>{"DisplayRates::OnEcopy was unable to set clipboard data"});
    EXPECT_EQ(clipboard.formats(), std::vector<std::string>{"Wk1"});  // nothing after the refused format
}

}  // namespace
}  // namespace fv
