// The failure text an action throws, or "" when it throws none.
#pragma once

#include <functional>
#include <string>

#include "util/text_error.h"

inline std::string message_of(const std::function<void()>& action) {
    try {
        action();
    } catch (const fv::text_error& e) {
        return e.text();
    }
    return "";
}
