#include "util/time_text.h"

#include <sys/stat.h>

#include <cstdio>

namespace fv {

std::string time_text(std::time_t t) {
    static const char* const weekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm parts{};
    if (localtime_r(&t, &parts) == nullptr) return std::string();
    long year = 1900L + parts.tm_year;
    if (year > 9999) year = 9999;
    if (year < 0) year = 0;
    char text[64];
    std::snprintf(text, sizeof text, "%s %2d %s %04ld %02d:%02d:%02d", weekdays[parts.tm_wday % 7],
                  parts.tm_mday, months[parts.tm_mon % 12], year, parts.tm_hour, parts.tm_min,
                  parts.tm_sec);
    return std::string(text);
}

std::string file_date_text(const std::string& path) {
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0) return std::string();
    return time_text(status.st_mtime);
}

}  // namespace fv
