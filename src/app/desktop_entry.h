// The entry points of the desktop module: the desktop program and printing,
// with the GUI libraries they need, live in a shared module that the program
// loads only when it starts the desktop or a batch run prints. The module
// carries its own copy of the core, so only plain C types cross: a table of
// functions whose first member is its version, checked before anything else
// in it is read. Raise the version whenever an entry changes.
#pragma once

#include <cstddef>

extern "C" {

enum { fv_desktop_entry_version = 1 };

// The exported function that returns the table.
#define FV_DESKTOP_ENTRY_SYMBOL "fv_desktop_entry_table"

// Receives a text (a failure's reason) that is valid only during the call.
typedef void (*fv_text_receiver)(void* context, const char* text, std::size_t size);

// A file the run reads, which no print file may be written over.
struct fv_run_file {
    const char* path;
    const char* description;
};

struct fv_desktop_entry {
    unsigned version;  // fv_desktop_entry_version of the module's build
    // The desktop program with `files` open (argv as main received it);
    // returns the exit status.
    int (*run_desktop)(int argc, char** argv, const char* const* files, std::size_t file_count);
    // Prints a display text that is not empty (printer, or FERRAVANE_PRINT_PDF);
    // returns 1 when it printed, else 0 with the reason given to `failure`.
    int (*print_text)(const char* text, std::size_t text_size, const char* spreadsheet, const char* run_time,
                      const fv_run_file* run_files, std::size_t run_file_count, fv_text_receiver failure,
                      void* context);
    // Ends what printing started (the application), before the program exits.
    void (*end_printing)(void);
};

typedef const fv_desktop_entry* (*fv_desktop_entry_function)(void);

}  // extern "C"
