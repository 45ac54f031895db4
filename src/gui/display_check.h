// The desktop program needs a display server. Without one Qt ends the program
// with an abort (SIGABRT) from inside the application's constructor; the
// program says instead that no display is available, points to the batch
// commands, which need none, and exits with status 2.
#pragma once

namespace fv {

extern const char* const no_display_message;
inline constexpr int no_display_status = 2;

// False when nothing names a display: no DISPLAY, no WAYLAND_DISPLAY and no
// platform chosen with QT_QPA_PLATFORM.
bool display_expected();

// While it watches, a platform that fails to start (a DISPLAY naming no
// server, say) ends the program with no_display_message and
// no_display_status instead of an abort.
class platform_start_guard {
public:
    platform_start_guard();
    ~platform_start_guard() { stop(); }
    platform_start_guard(const platform_start_guard&) = delete;
    platform_start_guard& operator=(const platform_start_guard&) = delete;

    // The platform started: Qt's messages go where they went before.
    void stop();

private:
    bool watching_ = true;
};

}  // namespace fv
