// The desktop module, ferravane-desktop.so: the desktop program and printing,
// loaded by the ferravane program only when it needs them. Nothing may be
// thrown across the table: every entry catches and reports.
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/desktop_entry.h"
#include "app/startup.h"
#include "gui/batch_printer.h"
#include "gui/desktop.h"
#include "util/run_files.h"
#include "util/text_error.h"

namespace {

std::unique_ptr<fv::batch_printer>& printer() {
    static std::unique_ptr<fv::batch_printer> the_printer;
    return the_printer;
}

std::string reason_of(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const fv::text_error& e) {
        return e.text();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "an unknown failure";
    }
}

int run_desktop(int argc, char** argv, const char* const* files, std::size_t file_count) {
    try {
        // This module keeps its own list of the files a run reads: the check notes them again.
        const fv::startup_result started = fv::check_startup_files(fv::program_directory());
        if (!started.files) {
            std::fprintf(stderr, "%s\n", started.failure.c_str());
            return 1;
        }
        const std::vector<std::string> to_open(files, files + file_count);
        return fv::run_desktop(argc, argv, *started.files, to_open);
    } catch (...) {
        std::fprintf(stderr, "The desktop program stopped: %s\n", reason_of(std::current_exception()).c_str());
        return 1;
    }
}

int print_text(const char* text, std::size_t text_size, const char* spreadsheet, const char* run_time,
               const fv_run_file* run_files, std::size_t run_file_count, fv_text_receiver failure_receiver,
               void* context) {
    std::string failure;
    try {
        fv::forget_run_files();
        for (std::size_t n = 0; n < run_file_count; ++n)
            fv::note_run_file(run_files[n].path, run_files[n].description);
        if (!printer()) printer() = std::make_unique<fv::batch_printer>();
        if (printer()->print(std::string(text, text_size), spreadsheet, run_time, failure)) return 1;
    } catch (...) {
        failure = "Printing failed: " + reason_of(std::current_exception());
    }
    failure_receiver(context, failure.data(), failure.size());
    return 0;
}

void end_printing() { printer().reset(); }

const fv_desktop_entry entry_table = {fv_desktop_entry_version, run_desktop, print_text, end_printing};

}  // namespace

extern "C" __attribute__((visibility("default"))) const fv_desktop_entry* fv_desktop_entry_table() {
    return &entry_table;
}
