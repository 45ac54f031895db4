// The 24-character time texts the program shows: "Www dd Mmm yyyy hh:mm:ss",
// the fields of the C library's local-time text put in day-month-year order.
#pragma once

#include <ctime>
#include <string>

namespace fv {

// Local time t as "Www dd Mmm yyyy hh:mm:ss"; days 1 to 9 have a leading blank.
// Years past 9999 are shown as 9999 so the text keeps its 24 characters.
std::string time_text(std::time_t t);

// The last-modification time of a file as time_text, or "" when the file's
// status cannot be read.
std::string file_date_text(const std::string& path);

}  // namespace fv
