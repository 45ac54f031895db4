// Finding and loading the desktop module (the desktop program and printing).
// It is looked for beside the executable (a build folder), then in the
// installed library folder's ferravane/ relative to it (an installed program:
// ../lib/ferravane, or ../lib/<multiarch>/ferravane as Debian lays it out). It is loaded at
// most once and never unloaded; a module that cannot be loaded, has no entry
// table or a table of another version gives a message naming the file and
// the reason.
#pragma once

#include <string>
#include <vector>

#include "app/desktop_entry.h"

namespace fv {

inline constexpr const char* desktop_module_name = "ferravane-desktop.so";
// The installed library folder relative to the prefix ("lib", "lib/x86_64-linux-gnu").
extern const char* const installed_library_folder;

// The places the module is looked for, in order.
std::vector<std::string> desktop_module_places(const std::string& program_dir);

struct desktop_module_load {
    const fv_desktop_entry* entry = nullptr;  // nothing when it failed
    std::string failure;                      // the message to show then
};

// Loads the module from the first place that holds it.
desktop_module_load load_desktop_module(const std::string& program_dir);

}  // namespace fv
