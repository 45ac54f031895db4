// The batch run's printing behind the console host: printing through the PDF
// target, and no GUI until the first print (checked in a fresh process, since
// other tests of this program start one).
#include "gui/batch_printer.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPrinterInfo>

#include <clocale>
#include <cstring>

#include "app/console_host.h"
#include "gui/print_text.h"
#include "gui_test_support.h"

namespace fv {
namespace {

using test::scoped_env;

TEST(BatchPrinter, PrintFailureIsShownOnStandardError) {
    test::ensure_gui_application();
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "this machine has a default printer";
    scoped_env no_target(print_pdf_variable, nullptr);
    batch_printer printer;
    console_host host(printer);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(host.print_text("subsidy\r\n", "book.wk1", "Thu 10 Dec 2026 07:39:59"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "There is no printer to print on.\n\nInstall a default printer, or set FERRAVANE_PRINT_PDF to the "
              "name of a PDF file to print into.\n");
    EXPECT_FALSE(printer.started_gui());  // the application was already there
}

// Runs in a child process of its own: returns what went wrong, "" when all is well.
std::string first_print_starts_the_gui(const std::string& pdf) {
    // No display and no platform chosen; a user locale in the environment.
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    ::unsetenv("QT_QPA_PLATFORM");
    ::unsetenv("XDG_RUNTIME_DIR");  // Qt notes its absence; the host keeps such notes off standard error
    ::setenv("LC_ALL", "C.UTF-8", 1);
    ::setenv(print_pdf_variable, pdf.c_str(), 1);
    if (QCoreApplication::instance() != nullptr) return "an application existed before the test";
    batch_printer printer;
    console_host host(printer);
    host.show_message("a message before printing");
    if (!host.print_text("", "book.wk1", "")) return "the empty text failed";
    if (QCoreApplication::instance() != nullptr || printer.started_gui()) return "the GUI started without printing";
    if (!host.print_text("subsidy display\r\n", "/data/book.wk1", "Thu 10 Dec 2026 07:39:59"))
        return "printing failed";
    if (!printer.started_gui() || qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return "printing did not start the GUI";
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        return "platform " + QGuiApplication::platformName().toStdString();
    // Qt took the locale from the environment; the program's own must be back.
    if (std::strcmp(std::setlocale(LC_ALL, nullptr), "C") != 0)
        return std::string("locale ") + std::setlocale(LC_ALL, nullptr);
    if (!host.print_text("messages display\r\n", "/data/book.wk1", "Thu 10 Dec 2026 07:39:59"))
        return "the second print failed";
    std::string text;
    if (test::have_tool("pdftotext")) {
        if (!test::run_command("pdftotext -layout '" + pdf + "' -", text) ||
            text.find("subsidy display") == std::string::npos || text.find("page 1") == std::string::npos)
            return "the PDF reads back as: " + text;
        const std::string second = pdf_job_path(pdf, 2);
        if (!test::run_command("pdftotext -layout '" + second + "' -", text) ||
            text.find("messages display") == std::string::npos)
            return "the second PDF reads back as: " + text;
    }
    return "";
}

TEST(BatchPrinterDeathTest, FirstPrintStartsTheGuiOffscreenAndKeepsTheCLocale) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const std::string folder = test::fs::temp_directory_path() / ("fv-gui-host-" + std::to_string(::getpid()));
            test::fs::create_directories(folder);
            const std::string failure = first_print_starts_the_gui(folder + "/batch.pdf");
            test::fs::remove_all(folder);
            std::fprintf(stderr, "result: %s\n", failure.empty() ? "ok" : failure.c_str());
            std::exit(failure.empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "^a message before printing\nresult: ok\n$");
}

}  // namespace
}  // namespace fv
