// The files a run reads besides its spreadsheet: the settings file, the
// user's own-rate files and the program's data files. They are noted where
// they are found, so that no output the user names (an import or text file, a
// log, a spreadsheet output) can be written over one of them, whatever
// spelling or link leads to it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace fv {

// Notes a file the run reads, with what to call it in a message ("the
// settings file"). Noting the same path again keeps one entry.
void note_run_file(const std::string& path, const std::string& description);

// The description of the noted file that the path names (same device and
// inode once links are followed), or nothing.
std::optional<std::string> run_file_at(const std::string& path);
// The same for a file already opened.
std::optional<std::string> run_file_of(int fd);

// What an output named `output` would overwrite: "the spreadsheet being read"
// when it is `spreadsheet`, a noted file's description, or nothing when the
// output may be written.
std::optional<std::string> refused_output(const std::string& output, const std::string& spreadsheet);

struct noted_run_file {
    std::string path;
    std::string description;
};
// Every noted file, in the order noted (to hand them to a part of the program
// that keeps its own list, such as the desktop module).
std::vector<noted_run_file> noted_run_files();

// Forgets every noted file (tests, and a list about to be handed over).
void forget_run_files();

}  // namespace fv
