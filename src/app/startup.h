// Start-up checks shared by batch and desktop mode: the program's own folder,
// which must hold the rate file and a sound topics file.
#pragma once

#include <optional>
#include <string>

#include "app/topics.h"

namespace fv {

// The folder of the running executable, ending in "/"; empty when unknown.
std::string program_directory();

extern const char* const rate_file_missing_message;
// The message for a rate file that is there but cannot be read (`reason`:
// "it is not a regular file", ...).
std::string rate_file_unreadable_message(const std::string& reason);

// Notes the program's data files in the folder (rates.txt, topics.txt and the
// spreadsheet templates) as files no output may be written over.
void note_program_data_files(const std::string& directory);

struct startup_files {
    std::string rate_file;  // full path of rates.txt
    topics help;            // loaded topics.txt
};

// Requires `rates.txt` (a regular file of sane size; an empty file passes) and
// a topics file that loads; the failure text is the message to show before
// exiting.
struct startup_result {
    std::optional<startup_files> files;
    std::string failure;
};
startup_result check_startup_files(const std::string& directory);

}  // namespace fv
