// Whole-file reading and safe replacement.
#include "util/file_io.h"

#include <fcntl.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <tuple>

#include "util/run_files.h"

namespace fv {

file_descriptor::~file_descriptor() {
    if (fd_ >= 0) ::close(fd_);
}

file_descriptor& file_descriptor::operator=(file_descriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

namespace {

bool write_all(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A read that an interrupting signal does not fail.
ssize_t read_some(int fd, unsigned char* into, std::size_t count) {
    ssize_t got;
    do got = ::read(fd, into, count);
    while (got < 0 && errno == EINTR);
    return got;
}

// Closes and reports whether the close succeeded (it may report a delayed write error).
bool close_checked(file_descriptor& file) { return ::close(file.release()) == 0; }

file_write failure(write_status status) { return {status, errno}; }

// ---- the temporary file of a replacement, removed when the run is stopped ----

// The handler may only touch these: a fixed buffer and a flag.
char pending_temporary[PATH_MAX + 1];
volatile sig_atomic_t temporary_pending = 0;

constexpr int stopping_signals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void remove_temporary_and_stop(int signal_number) {
    if (temporary_pending != 0) ::unlink(pending_temporary);
    ::signal(signal_number, SIG_DFL);
    ::raise(signal_number);  // delivered with the default action once the handler returns
}

// Installed once, and only over the default action: a signal the user chose
// to ignore (nohup) stays ignored.
void install_stop_handlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int signal_number : stopping_signals) {
            struct sigaction current {};
            if (::sigaction(signal_number, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
            struct sigaction handler {};
            handler.sa_handler = remove_temporary_and_stop;
            sigemptyset(&handler.sa_mask);
            for (int other : stopping_signals) sigaddset(&handler.sa_mask, other);
            ::sigaction(signal_number, &handler, nullptr);
        }
    });
}

// Keeps the stopping signals waiting while the temporary comes into being or
// goes away, so the handler never sees half a change.
class signals_held {
public:
    signals_held() {
        sigset_t held;
        sigemptyset(&held);
        for (int signal_number : stopping_signals) sigaddset(&held, signal_number);
        ::pthread_sigmask(SIG_BLOCK, &held, &previous_);
    }
    ~signals_held() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    signals_held(const signals_held&) = delete;
    signals_held& operator=(const signals_held&) = delete;

private:
    sigset_t previous_;
};

// A temporary file beside the target, known to the stop handler while it exists.
class temporary_file {
public:
    // Creates the file; false when no name could be created.
    bool create(const std::string& target) {
        install_stop_handlers();
        const std::size_t slash = target.rfind('/');
        const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
        std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
        if (base.size() > 200) base.resize(200);  // the temporary name must stay a legal file name
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name =
                folder + "." + base + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(attempt);
            signals_held held;
            file_ = file_descriptor(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666));
            if (file_.is_open()) {
                name_ = name;
                if (name.size() < sizeof pending_temporary) {
                    std::memcpy(pending_temporary, name.c_str(), name.size() + 1);
                    temporary_pending = 1;
                }
                return true;
            }
            if (errno != EEXIST) return false;
        }
        return false;
    }

    // Moves the file into place; false (and the file removed) when that fails.
    bool move_to(const std::string& target) {
        signals_held held;
        const bool moved = ::rename(name_.c_str(), target.c_str()) == 0;
        const int error = errno;
        if (!moved) ::unlink(name_.c_str());
        forget();
        errno = error;
        return moved;
    }

    ~temporary_file() {
        if (name_.empty()) return;
        signals_held held;
        ::unlink(name_.c_str());
        forget();
    }

    file_descriptor& file() { return file_; }

private:
    void forget() {
        temporary_pending = 0;
        name_.clear();
    }

    file_descriptor file_;
    std::string name_;
};

// ---- where a write goes ----

// The open descriptor a name such as /dev/stdout stands for, or -1. Writing
// through it, as the shell does, keeps an appending redirection appending.
int inherited_descriptor(const std::string& path) {
    if (path == "/dev/stdout") return STDOUT_FILENO;
    if (path == "/dev/stderr") return STDERR_FILENO;
    for (const std::string prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        if (path.size() <= prefix.size() || path.size() > prefix.size() + 6 || path.rfind(prefix, 0) != 0) continue;
        int fd = 0;
        for (std::size_t i = prefix.size(); i < path.size(); ++i) {
            if (path[i] < '0' || path[i] > '9') return -1;
            fd = fd * 10 + (path[i] - '0');
        }
        return ::fcntl(fd, F_GETFD) == -1 ? -1 : fd;
    }
    return -1;
}

// Names under /proc stand for open files of a process; they are written into.
bool under_proc(const std::string& path) { return path.rfind("/proc/", 0) == 0; }

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file a name leads to once symbolic links are followed, even when the
// last link points at a file that does not exist yet.
std::string follow_links(std::string path) {
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return path;
        target.resize(static_cast<std::size_t>(length));
        path = target.front() == '/' ? target : folder_of(path) + target;
    }
    return path;
}

// Writes into an existing file or device as it is (no temporary).
file_write write_into(const std::string& path, std::string_view bytes, bool regular) {
    // Non-blocking open: a pipe without a reader fails instead of hanging; the
    // writes themselves may wait for a reader that is there.
    file_descriptor file(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (regular ? 0 : O_TRUNC)));
    if (!file.is_open()) return failure(errno == EACCES || errno == EPERM ? write_status::not_permitted
                                                                          : write_status::cannot_create);
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags >= 0) (void)::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK);
    if (!write_all(file.get(), bytes)) return failure(write_status::failed);
    if (regular && (::ftruncate(file.get(), static_cast<off_t>(bytes.size())) != 0 || ::fsync(file.get()) != 0))
        return failure(write_status::failed);
    if (!close_checked(file)) return failure(write_status::failed);
    return {write_status::written, 0};
}

}  // namespace

// ---- reading ----

opened_file open_regular_file(const std::string& path, std::size_t max_size) {
    opened_file opened;
    if (path.empty()) {
        opened.status = read_status::missing;
        opened.error = ENOENT;
        return opened;
    }
    // Non-blocking, so a pipe in the file's place cannot hang the open.
    file_descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!file.is_open()) {
        opened.error = errno;
        opened.status = errno == ENOENT || errno == ENOTDIR ? read_status::missing : read_status::unreadable;
        return opened;
    }
    struct stat st;
    if (::fstat(file.get(), &st) != 0) {
        opened.error = errno;
        return opened;
    }
    if (!S_ISREG(st.st_mode)) {
        opened.status = read_status::not_regular;
        return opened;
    }
    if (static_cast<std::uintmax_t>(st.st_size) > max_size) {
        opened.status = read_status::too_large;
        return opened;
    }
    opened.status = read_status::read;
    opened.size = static_cast<std::uint64_t>(st.st_size);
    opened.file = std::move(file);
    return opened;
}

file_contents read_regular_file(const std::string& path, std::size_t max_size) {
    opened_file opened = open_regular_file(path, max_size);
    file_contents contents;
    contents.status = opened.status;
    contents.error = opened.error;
    if (opened.status != read_status::read) return contents;

    std::vector<unsigned char>& bytes = contents.bytes;
    bytes.resize(static_cast<std::size_t>(opened.size));
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = read_some(opened.file.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0) return {read_status::unreadable, errno, {}};
        if (got == 0) break;  // shrank while read
        filled += static_cast<std::size_t>(got);
    }
    // Grown since its size was taken: read the rest, but never past the limit.
    unsigned char more[4096];
    for (ssize_t got; filled == bytes.size() && (got = read_some(opened.file.get(), more, sizeof more)) != 0;) {
        if (got < 0) return {read_status::unreadable, errno, {}};
        bytes.insert(bytes.end(), more, more + got);
        filled = bytes.size();
        if (filled > max_size) return {read_status::too_large, 0, {}};
    }
    bytes.resize(filled);
    return contents;
}

std::string read_failure_reason(read_status status, int error, std::size_t max_size) {
    switch (status) {
        case read_status::read: return "";
        case read_status::missing: return "it does not exist";
        case read_status::not_regular: return "it is not a regular file";
        case read_status::too_large: return "it is larger than " + std::to_string(max_size) + " bytes";
        case read_status::unreadable: break;
    }
    return error != 0 ? std::string(std::strerror(error)) : std::string("it could not be read");
}

std::optional<std::vector<unsigned char>> read_whole_file(const std::string& path, std::size_t max_size) {
    file_contents contents = read_regular_file(path, max_size);
    if (!contents) return std::nullopt;
    return std::move(contents.bytes);
}

// ---- writing ----

file_write replace_file(const std::string& path, std::string_view bytes) {
    if (path.empty()) return {write_status::cannot_create, ENOENT};
    if (const int inherited = inherited_descriptor(path); inherited >= 0)
        return write_all(inherited, bytes) ? file_write{write_status::written, 0} : failure(write_status::failed);
    struct stat st;
    // Devices, pipes and what /proc names are written into; replacing them
    // with a file would be wrong.
    const bool exists_through_links = ::stat(path.c_str(), &st) == 0;
    if (exists_through_links && S_ISDIR(st.st_mode)) return {write_status::is_folder, EISDIR};
    if (exists_through_links && (!S_ISREG(st.st_mode) || under_proc(path)))
        return write_into(path, bytes, S_ISREG(st.st_mode));

    const std::string target = follow_links(path);
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return {write_status::is_folder, EISDIR};
    if (exists) {
        // Renaming over a file needs only a writable folder; the file itself
        // must be writable by this user too.
        if (::access(target.c_str(), W_OK) != 0) return failure(write_status::not_permitted);
        // Another user's file that this user may write keeps its owner: write into it.
        if (st.st_uid != ::geteuid() && ::geteuid() != 0) return write_into(target, bytes, true);
    }

    temporary_file temporary;
    if (!temporary.create(target)) return failure(write_status::cannot_create);
    const int fd = temporary.file().get();
    if (exists) {
        // The replaced file's permissions, and (for the superuser) its owner.
        (void)::fchmod(fd, st.st_mode & 07777);
        if (::geteuid() == 0 && (st.st_uid != 0 || st.st_gid != ::getegid()))
            std::ignore = ::fchown(fd, st.st_uid, st.st_gid);  // best effort: else the new owner stays
    }
    if (!write_all(fd, bytes) || ::fsync(fd) != 0) return failure(write_status::failed);
    if (!close_checked(temporary.file())) return failure(write_status::failed);
    if (!temporary.move_to(target)) return failure(write_status::failed);
    return {write_status::written, 0};
}

std::string write_failure_reason(const file_write& outcome) {
    switch (outcome.status) {
        case write_status::written: return "";
        case write_status::not_permitted: return "you may not write to it";
        case write_status::is_folder: return "it is a folder";
        case write_status::cannot_create:
            return outcome.error == ENOENT ? std::string("its folder does not exist")
                                           : "it could not be created (" + std::string(std::strerror(outcome.error)) +
                                                 ")";
        case write_status::failed: break;
    }
    return outcome.error != 0 ? std::string(std::strerror(outcome.error)) : std::string("writing it failed");
}

bool write_file_replacing(const std::string& path, std::string_view bytes, bool* opened) {
    const file_write outcome = replace_file(path, bytes);
    if (opened != nullptr)
        *opened = outcome.status == write_status::written || outcome.status == write_status::failed;
    return static_cast<bool>(outcome);
}

bool append_to_file(const std::string& path, std::string_view bytes, const std::string& never_into) {
    // Non-blocking: a pipe without a reader fails instead of hanging the run.
    file_descriptor file(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666));
    if (!file.is_open()) return false;
    struct stat st;
    if (::fstat(file.get(), &st) != 0) return false;
    struct stat refused;
    if (!never_into.empty() && ::stat(never_into.c_str(), &refused) == 0 && refused.st_dev == st.st_dev &&
        refused.st_ino == st.st_ino)
        return false;
    if (run_file_of(file.get())) return false;
    const bool regular = S_ISREG(st.st_mode);
    bool good = write_all(file.get(), bytes) && (!regular || ::fsync(file.get()) == 0);
    // The append has failed already; a cut that fails too changes nothing to report.
    if (!good && regular && ::ftruncate(file.get(), st.st_size) != 0) good = false;
    return close_checked(file) && good;
}

bool same_file(const std::string& a, const std::string& b) {
    struct stat first;
    struct stat second;
    if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace fv
