// Start-up checks shared by batch and desktop mode: where the data files are
// (the rate file, the topics file, the spreadsheet templates), and whether
// the rate file and a sound topics file are there.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/topics.h"

namespace fv {

// The folder of the running executable, ending in "/"; empty when unknown.
std::string program_directory();

// The places a data file is looked for, in order, each ending in "/": the
// program's own folder (a build folder keeps its data beside the executable),
// then ../share/ferravane beside it (an installed program).
std::vector<std::string> data_file_places(const std::string& program_dir);

// The full path of a data file in the first place that holds it; nothing
// when none does.
std::optional<std::string> find_data_file(const std::string& name, const std::string& program_dir);

// A paragraph naming every place a missing data file was looked for.
std::string data_file_places_text(const std::string& name, const std::string& program_dir);

extern const char* const rate_file_missing_message;
// The message for a rate file that is there but cannot be read (`reason`:
// "it is not a regular file", ...).
std::string rate_file_unreadable_message(const std::string& reason);

// Notes the program's data files in the folder (rates.txt, topics.txt and the
// spreadsheet templates) as files no output may be written over.
void note_program_data_files(const std::string& directory);

struct startup_files {
    std::string data_directory;  // the place of rates.txt: the templates are read there too
    std::string rate_file;       // full path of rates.txt
    topics help;                 // loaded topics.txt
};

// Requires `rates.txt` (a regular file of sane size; an empty file passes) and
// a topics file that loads, each in one of the data-file places; the failure
// text is the message to show before exiting.
struct startup_result {
    std::optional<startup_files> files;
    std::string failure;
};
startup_result check_startup_files(const std::string& program_dir);

}  // namespace fv
