// Whether the command-line words ask for the desktop program rather than a
// batch run, decided before anything of the desktop is loaded.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace fv {

// What the command-line words ask of the desktop program: the files to open
// (none for plain "ferravane"), or nothing when the words are a batch run.
std::optional<std::vector<std::string>> desktop_files(const std::vector<std::string>& words);

}  // namespace fv
