// Finding the program's folder and checking its data files.
#include "app/startup.h"

#include <unistd.h>

#include <cstdio>
#include <vector>

#include "util/text_error.h"

namespace fv {

const char* const rate_file_missing_message =
    "The file \"rates.txt\" in the root directory of this program is missing.\n\nA current copy may be obtained by "
    "contacting technical support.\n(The telephone number is provided under Help-About.)\n\nThis application cannot "
    "run without this file";

std::string program_directory() {
    std::vector<char> buffer(4096);
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return {};
    const std::string path(buffer.data(), static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

startup_result check_startup_files(const std::string& directory) {
    startup_result result;
    startup_files files;
    files.rate_file = directory + "rates.txt";
    std::FILE* rates = std::fopen(files.rate_file.c_str(), "rb");
    if (rates == nullptr) {
        result.failure = rate_file_missing_message;
        return result;
    }
    std::fclose(rates);

    files.help.set_file_name(directory + "topics.txt");
    try {
        files.help.load();
    } catch (const text_error& e) {
        result.failure = topics_defective_message(e.text());
        return result;
    }
    result.files = std::move(files);
    return result;
}

}  // namespace fv
