// The noted files, kept by path and compared by device and inode when an
// output is checked, so a file replaced since it was noted is still known.
#include "util/run_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "util/file_io.h"

namespace fv {

namespace {

std::vector<noted_run_file>& noted() {
    static std::vector<noted_run_file> files;
    return files;
}

std::optional<std::string> noted_match(const struct stat& target) {
    for (const noted_run_file& file : noted()) {
        struct stat st;
        if (::stat(file.path.c_str(), &st) == 0 && st.st_dev == target.st_dev && st.st_ino == target.st_ino)
            return file.description;
    }
    return std::nullopt;
}

}  // namespace

void note_run_file(const std::string& path, const std::string& description) {
    if (path.empty()) return;
    auto& files = noted();
    const auto same =
        std::find_if(files.begin(), files.end(), [&](const noted_run_file& f) { return f.path == path; });
    if (same != files.end())
        same->description = description;
    else
        files.push_back({path, description});
}

std::optional<std::string> run_file_at(const std::string& path) {
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
    return noted_match(st);
}

std::optional<std::string> run_file_of(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return std::nullopt;
    return noted_match(st);
}

std::optional<std::string> refused_output(const std::string& output, const std::string& spreadsheet) {
    if (!output.empty() && !spreadsheet.empty() && same_file(output, spreadsheet))
        return std::string("the spreadsheet being read");
    return run_file_at(output);
}

std::vector<noted_run_file> noted_run_files() { return noted(); }

void forget_run_files() { noted().clear(); }

}  // namespace fv
