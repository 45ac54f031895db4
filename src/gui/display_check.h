// Watching the desktop's start for a display that is named but not there.
#pragma once

#include "app/display_presence.h"

namespace fv {

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
