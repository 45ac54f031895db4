// The desktop program: the main window and its event loop, started when the
// program is run without command-line words or with --open.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/desktop_request.h"
#include "app/startup.h"

namespace fv {

// Creates the application and the main window (settings from the INI store),
// shows "Getting Started" when the settings ask for it, opens the files given
// (each in its own window, as File, Open does), and runs until the user exits.
// Returns the exit status.
int run_desktop(int argc, char** argv, const startup_files& files, const std::vector<std::string>& files_to_open = {});

}  // namespace fv
