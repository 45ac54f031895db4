// Finding the program's folder and checking its data files.
#include "app/startup.h"

#include <unistd.h>

#include <vector>

#include "rates/cr_rates.h"
#include "util/file_io.h"
#include "util/run_files.h"
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

std::string rate_file_unreadable_message(const std::string& reason) {
    return "The file \"rates.txt\" in the root directory of this program cannot be read: " + reason +
           ".\n\nA current copy may be obtained by contacting technical support.\n(The telephone number is provided "
           "under Help-About.)\n\nThis application cannot run without this file";
}

void note_program_data_files(const std::string& directory) {
    for (const char* name : {"rates.txt", "topics.txt", "1.bin", "3.bin", "4.bin"})
        note_run_file(directory + name, std::string("the data file ") + name + " of this program");
}

startup_result check_startup_files(const std::string& directory) {
    startup_result result;
    startup_files files;
    note_program_data_files(directory);
    files.rate_file = directory + "rates.txt";
    // Opened as the documents will read it, so a pipe or folder there is refused now.
    const opened_file rates = open_regular_file(files.rate_file, largest_rate_file);
    if (rates.status == read_status::missing) {
        result.failure = rate_file_missing_message;
        return result;
    }
    if (rates.status != read_status::read) {
        result.failure = rate_file_unreadable_message(read_failure_reason(rates.status, rates.error, largest_rate_file));
        return result;
    }

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
