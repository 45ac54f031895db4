// The ferravane program. Without command-line words (or with --open and the
// files to open) it is the desktop program. With other words it makes one batch calculation run and exits: nothing of
// the desktop starts unless the run prints, and the exit status is 0 only when
// the run delivered its result. The desktop program and printing live in the
// desktop module, loaded only when they are needed: the program itself links
// no GUI library, so a batch run that does not print loads none.
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/batch_run.h"
#include "app/console_host.h"
#include "app/desktop_module.h"
#include "app/desktop_request.h"
#include "app/display_presence.h"
#include "app/document.h"
#include "app/ini_settings_store.h"
#include "app/module_printer.h"
#include "app/startup.h"
#include "ferravane_version.h"

namespace {

const char* const usage =
    "Usage: ferravane [COMMAND [OUTPUT]] SPREADSHEET RANGE [CATEGORY NAME]\n"
    "       ferravane                (the desktop program)\n"
    "       ferravane --open FILE...  (the desktop program with these spreadsheets open)\n"
    "\n"
    "Computes the subsidy of every cohort of the credit program in the named range\n"
    "of SPREADSHEET (Lotus WK1, WK3, WK4, 123, Excel XLS or XLSX, or ODS).\n"
    "\n"
    "Commands:\n"
    "  (none)              print the subsidy display and the messages display\n"
    "  print               print the subsidy display, and the messages when there are any\n"
    "  file OUTPUT         write the subsidy display (and the messages) as text to OUTPUT\n"
    "  import OUTPUT       write the import file (quoted values) to OUTPUT\n"
    "  wk3 OUTPUT          write the displays the output settings choose to OUTPUT, a\n"
    "                      WK3 worksheet, or an Excel workbook when it ends in .xlsx\n"
    "  logfile OUTPUT      append one summary line per cohort to OUTPUT\n"
    "\n"
    "CATEGORY NAME chooses the interest rates: \"actual 1999\" (FY 1999 average),\n"
    "\"budget 2001\" (Budget 2001), or \"own TITLE\" for a set of your own rate file.\n"
    "Without them the purpose and the preferences decide.\n"
    "\n"
    "Printing goes to the default printer, or into the PDF file that\n"
    "FERRAVANE_PRINT_PDF names. Settings are kept in the INI file that\n"
    "FERRAVANE_SETTINGS names, else in the user's configuration folder.\n"
    "\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
    "\n"
    "Exit status: 0 when the run delivered its result, 1 when it did not (the\n"
    "messages on standard error say why).\n"
    "\n"
    "More in the manual page: man ferravane. The user's guide (range layout,\n"
    "keywords, timing, displays, messages): ";

}  // namespace

int main(int argc, char** argv) {
    // Numbers are read and written with a decimal point whatever the user's locale.
    std::setlocale(LC_ALL, "C");
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.size() == 1 && (words[0] == "--help" || words[0] == "-h")) {
        // A program run from its build folder has no installed guide.
        std::error_code ignored;
        const bool installed = std::filesystem::exists(fv::program_guide, ignored);
        std::printf("%s%s\n", usage, installed ? fv::program_guide : "docs/guide.md in Ferravane's sources");
        return 0;
    }
    if (words.size() == 1 && words[0] == "--version") {
        std::printf("ferravane %s\n", fv::program_version);
        return 0;
    }

    const std::string program_dir = fv::program_directory();
    fv::module_printer printer(program_dir);
    fv::console_host host(printer);
    const fv::startup_result started = fv::check_startup_files(program_dir);
    if (!started.files) {
        host.show_message(started.failure);
        return 1;
    }
    // Without words, or with --open and files: the desktop program, when there
    // is a display to show it on.
    if (const auto files_to_open = fv::desktop_files(words)) {
        if (!fv::display_expected()) {
            host.show_message(fv::no_display_message);
            return fv::no_display_status;
        }
        const fv::desktop_module_load desktop = fv::load_desktop_module(program_dir);
        if (!desktop.entry) {
            host.show_message(desktop.failure);
            return 1;
        }
        std::vector<const char*> files;
        for (const std::string& file : *files_to_open) files.push_back(file.c_str());
        return desktop.entry->run_desktop(argc, argv, files.data(), files.size());
    }

    fv::ini_settings_store store;
    const std::string problem_at_start = store.problem();
    if (!problem_at_start.empty()) host.show_message(problem_at_start);
    // A large program holds hundreds of thousands of rows. Freeing them one by
    // one just before the process ends costs about a tenth of a large run, so
    // the batch document stays (reachable) until the system takes the memory back.
    static fv::document* kept_until_exit = nullptr;
    kept_until_exit = new fv::document(store, host, started.files->data_directory);
    fv::document& document = *kept_until_exit;
    if (document.rates().failure) host.show_message(*document.rates().failure);
    const int status = fv::run_batch(words, document, host);
    // A settings file that could not be written shows only once something was written to it.
    if (!store.problem().empty() && store.problem() != problem_at_start) host.show_message(store.problem());
    return status;
}
