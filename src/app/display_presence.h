// The desktop program needs a display server. Without one Qt ends the program
// with an abort (SIGABRT) from inside the application's constructor; the
// program says instead that no display is available, points to the batch
// commands, which need none, and exits with status 2. The check reads only
// the environment, so it runs before any GUI library is loaded.
#pragma once

namespace fv {

extern const char* const no_display_message;
inline constexpr int no_display_status = 2;

// False when nothing names a display: no DISPLAY, no WAYLAND_DISPLAY and no
// platform chosen with QT_QPA_PLATFORM.
bool display_expected();

}  // namespace fv
