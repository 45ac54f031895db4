// The desktop program: the main window and its event loop, started when the
// program is run without command-line words.
#pragma once

#include "app/startup.h"

namespace fv {

// Creates the application and the main window (settings from the INI store),
// shows "Getting Started" when the settings ask for it, and runs until the
// user exits. Returns the exit status.
int run_desktop(int argc, char** argv, const startup_files& files);

}  // namespace fv
