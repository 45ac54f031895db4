// The messages of a failure nobody expected (anything but a text_error):
// "Fatal error <while>.  Please try again.  If this error persists, please call
// technical support" and the ending each has always had. Users see these
// texts, so their words, spaces and endings never change.
#pragma once

#include <string>
#include <string_view>

namespace fv {

// What the calculation was doing when a window reports its failure; the
// calculation's own messages name it too.
inline constexpr std::string_view while_calculating = "calculating the subsidy or creating displays";

// "Fatal error <while>.  Please try again."
inline std::string fatal_error_first_sentence(std::string_view while_doing) {
    return "Fatal error " + std::string(while_doing) + ".  Please try again.";
}

// The advice that follows, without its ending.
inline constexpr std::string_view persisting_error_advice = "If this error persists, please call technical support";

// The whole message: most end in a comma, a few in a full stop.
enum class fatal_error_ending { comma, full_stop };

inline std::string fatal_error_text(std::string_view while_doing, fatal_error_ending ending) {
    return fatal_error_first_sentence(while_doing) + "  " + std::string(persisting_error_advice) +
           (ending == fatal_error_ending::comma ? "," : ".");
}

}  // namespace fv
