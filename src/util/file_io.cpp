// Whole-file reading and safe replacement.
#include "util/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

namespace fv {

namespace {

struct fd_closer {
    int fd;
    ~fd_closer() {
        if (fd >= 0) ::close(fd);
    }
};

bool write_all(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Closes and reports whether the close succeeded (it may report a delayed write error).
bool close_checked(fd_closer& file) {
    const int fd = file.fd;
    file.fd = -1;
    return ::close(fd) == 0;
}

// The file a path names once a symbolic link is followed, so replacing it
// keeps the link.
std::string resolve_link(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : path;
}

}  // namespace

std::optional<std::vector<unsigned char>> read_whole_file(const std::string& path, std::size_t max_size) {
    // Non-blocking, so a pipe in the template's place cannot hang the export.
    fd_closer file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0) return std::nullopt;
    struct stat st;
    if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    if (static_cast<std::uint64_t>(st.st_size) > max_size) return std::nullopt;
    std::vector<unsigned char> bytes(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(file.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return std::nullopt;
        done += static_cast<std::size_t>(n);
    }
    return bytes;
}

bool write_file_replacing(const std::string& path, std::string_view image, bool* opened) {
    if (opened != nullptr) *opened = false;
    const std::string target = resolve_link(path);
    struct stat st;
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return false;

    if (exists && !S_ISREG(st.st_mode)) {
        // A device or pipe cannot be replaced by a file; write into it.
        fd_closer file{::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
        if (file.fd < 0) return false;
        if (opened != nullptr) *opened = true;
        if (!write_all(file.fd, image)) return false;
        return close_checked(file);
    }

    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.size() > 200) base.resize(200);  // the temporary name must stay a legal file name

    std::string temporary;
    fd_closer file{-1};
    for (int attempt = 0; attempt < 100 && file.fd < 0; ++attempt) {
        temporary = folder + (slash == std::string::npos ? "/." : ".") + base + ".tmp" +
                    std::to_string(::getpid()) + "_" + std::to_string(attempt);
        file.fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (file.fd < 0 && errno != EEXIST) return false;
    }
    if (file.fd < 0) return false;
    if (opened != nullptr) *opened = true;

    if (exists) (void)::fchmod(file.fd, st.st_mode & 07777);  // keep the replaced file's permissions
    bool good = write_all(file.fd, image) && ::fsync(file.fd) == 0;
    good = close_checked(file) && good;
    if (good) good = ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!good) ::unlink(temporary.c_str());
    return good;
}

bool append_to_file(const std::string& path, std::string_view bytes, const std::string& never_into) {
    // Non-blocking: a pipe without a reader fails instead of hanging the run.
    fd_closer file{::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666)};
    if (file.fd < 0) return false;
    struct stat st;
    if (::fstat(file.fd, &st) != 0) return false;
    struct stat refused;
    if (!never_into.empty() && ::stat(never_into.c_str(), &refused) == 0 && refused.st_dev == st.st_dev &&
        refused.st_ino == st.st_ino)
        return false;
    const bool regular = S_ISREG(st.st_mode);
    bool good = write_all(file.fd, bytes) && (!regular || ::fsync(file.fd) == 0);
    // The append has failed already; a cut that fails too changes nothing to report.
    if (!good && regular && ::ftruncate(file.fd, st.st_size) != 0) good = false;
    return close_checked(file) && good;
}

bool same_file(const std::string& a, const std::string& b) {
    struct stat first;
    struct stat second;
    if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace fv
