// The console host of batch runs: messages on standard error, and display
// texts handed to its printer only when there is something to print.
#include "app/console_host.h"

#include <gtest/gtest.h>

namespace fv {
namespace {

struct recording_printer : display_printer {
    std::vector<std::string> printed;
    std::string refusal;  // empty: prints
    bool print(const std::string& text, const std::string& spreadsheet, const std::string& run_time,
               std::string& failure) override {
        printed.push_back(text + "|" + spreadsheet + "|" + run_time);
        failure = refusal;
        return refusal.empty();
    }
};

TEST(ConsoleHost, MessagesGoToStandardErrorWithALineEnd) {
    recording_printer printer;
    console_host host(printer);
    batch_host& batch = host;
    document_host& document = host;
    ::testing::internal::CaptureStderr();
    batch.show_message("Command line error:  the range name appears to be missing from the command line.");
    document.show_message("two\nlines");
    document.show_message("");
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Command line error:  the range name appears to be missing from the command line.\ntwo\nlines\n\n");
    EXPECT_FALSE(document.has_view());
}

TEST(ConsoleHost, NobodyChoosesARange) {
    recording_printer printer;
    console_host host(printer);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(host.choose_range("/data/book.wk1", {"A", "B"}), std::nullopt);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("/data/book.wk1"), std::string::npos);
}

TEST(ConsoleHost, PrintsThroughItsPrinterOnlyWhenThereIsAText) {
    recording_printer printer;
    console_host host(printer);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(host.print_text("", "book.wk1", "Thu 10 Dec 2026 07:39:59"));
    EXPECT_TRUE(printer.printed.empty());  // nothing to print: the printer (and its GUI) is never asked
    EXPECT_TRUE(host.print_text("subsidy\r\n", "book.wk1", "Thu 10 Dec 2026 07:39:59"));
    printer.refusal = "There is no printer to print on.";
    EXPECT_FALSE(host.print_text("messages\r\n", "book.wk1", "Thu 10 Dec 2026 07:40:00"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "There is no printer to print on.\n");
    EXPECT_EQ(printer.printed, (std::vector<std::string>{"subsidy\r\n|book.wk1|Thu 10 Dec 2026 07:39:59",
                                                         "messages\r\n|book.wk1|Thu 10 Dec 2026 07:40:00"}));
}

}  // namespace
}  // namespace fv
