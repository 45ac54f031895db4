// One careful read of a whole spreadsheet file.
#include "workbook/file_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "util/text_error.h"

namespace fv {

namespace {

// Closes the descriptor however the read leaves.
struct file_descriptor {
    int fd;
    ~file_descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

// A read that an interrupting signal does not fail.
ssize_t read_some(int fd, unsigned char* into, std::size_t count) {
    ssize_t got;
    do got = ::read(fd, into, count);
    while (got < 0 && errno == EINTR);
    return got;
}

// Non-blocking, so a FIFO cannot hang the open; only a regular file is read.
int open_regular_file(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    struct stat status {};
    if (fd >= 0 && (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

std::vector<unsigned char> read_file_start(const std::string& path, std::size_t count) {
    std::vector<unsigned char> start(count);
    if (path.empty()) return {};
    file_descriptor file{open_regular_file(path)};
    if (file.fd < 0) return {};
    std::size_t filled = 0;
    while (filled < count) {
        const ssize_t got = read_some(file.fd, start.data() + filled, count - filled);
        if (got <= 0) break;
        filled += static_cast<std::size_t>(got);
    }
    start.resize(filled);
    return start;
}

std::string too_large_message(const std::string& path) {
    return "Spreadsheet file " + path + " is larger than 12 MB.";
}

std::vector<unsigned char> read_spreadsheet_file(const std::string& path, const std::string& unable) {
    return read_spreadsheet_file(path, unable, largest_spreadsheet_file, too_large_message(path));
}

std::vector<unsigned char> read_spreadsheet_file(const std::string& path, const std::string& unable,
                                                 std::size_t limit, const std::string& too_large) {
    if (path.empty()) throw text_error(unable);
    file_descriptor file{open_regular_file(path)};
    struct stat status {};
    if (file.fd < 0 || ::fstat(file.fd, &status) != 0) throw text_error(unable);
    if (static_cast<std::uintmax_t>(status.st_size) > limit) throw text_error(too_large);

    std::vector<unsigned char> image(static_cast<std::size_t>(status.st_size));
    std::size_t filled = 0;
    while (filled < image.size()) {
        const ssize_t got = read_some(file.fd, image.data() + filled, image.size() - filled);
        if (got < 0) throw text_error(unable);
        if (got == 0) break;  // shrank while read
        filled += static_cast<std::size_t>(got);
    }
    // Grown since its size was taken: read the rest, but never past the limit.
    unsigned char more[4096];
    for (ssize_t got; filled == image.size() && (got = read_some(file.fd, more, sizeof more)) != 0;) {
        if (got < 0) throw text_error(unable);
        image.insert(image.end(), more, more + got);
        filled = image.size();
        if (filled > limit) throw text_error(too_large);
    }
    image.resize(filled);
    return image;
}

}  // namespace fv
