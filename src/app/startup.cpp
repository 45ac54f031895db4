// Finding the program's folder and checking its data files.
#include "app/startup.h"

#include <unistd.h>

#include <filesystem>
#include <vector>

#include "rates/rate_collection.h"
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

std::vector<std::string> data_file_places(const std::string& program_dir) {
    if (program_dir.empty()) return {std::string()};
    const std::filesystem::path shared =
        (std::filesystem::path(program_dir) / ".." / "share" / "ferravane").lexically_normal();
    std::string installed = shared.string();
    if (installed.back() != '/') installed += '/';
    return {program_dir, installed};
}

std::optional<std::string> find_data_file(const std::string& name, const std::string& program_dir) {
    for (const std::string& place : data_file_places(program_dir)) {
        std::error_code ignored;
        if (std::filesystem::exists(place + name, ignored)) return place + name;
    }
    return std::nullopt;
}

std::string data_file_places_text(const std::string& name, const std::string& program_dir) {
    std::string text = "(Looked for it as:";
    for (const std::string& place : data_file_places(program_dir)) text += "\n  " + place + name;
    return text + ")";
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

startup_result check_startup_files(const std::string& program_dir) {
    startup_result result;
    const std::string rate_file_missing =
        std::string(rate_file_missing_message) + "\n\n" + data_file_places_text("rates.txt", program_dir);
    const std::optional<std::string> rate_file = find_data_file("rates.txt", program_dir);
    if (!rate_file) {
        result.failure = rate_file_missing;
        return result;
    }
    startup_files files;
    files.rate_file = *rate_file;
    files.data_directory = rate_file->substr(0, rate_file->size() - std::string("rates.txt").size());
    note_program_data_files(files.data_directory);
    // Opened as the documents will read it, so a pipe or folder there is refused now.
    const opened_file rates = open_regular_file(files.rate_file, largest_rate_file);
    if (rates.status == read_status::missing) {
        result.failure = rate_file_missing;
        return result;
    }
    if (rates.status != read_status::read) {
        result.failure = rate_file_unreadable_message(read_failure_reason(rates.status, rates.error, largest_rate_file));
        return result;
    }

    const std::optional<std::string> topics_file = find_data_file("topics.txt", program_dir);
    if (topics_file) note_run_file(*topics_file, "the data file topics.txt of this program");
    files.help.set_file_name(topics_file.value_or(files.data_directory + "topics.txt"));
    try {
        files.help.load();
    } catch (const text_error& e) {
        result.failure = topics_defective_message(e.text());
        if (!topics_file) result.failure += "\n\n" + data_file_places_text("topics.txt", program_dir);
        return result;
    }
    result.files = std::move(files);
    return result;
}

}  // namespace fv
