// Reading and replacing whole files safely. Every file the program reads is
// read the same way: only a regular file, opened without blocking (a pipe put
// in its place cannot hang the program) and checked on the opened descriptor,
// never more than a size limit of its kind. A replaced file is written to a
// temporary file beside it, every write and the close are checked, and only a
// complete file is moved into place, so a full disk or a vanished folder never
// leaves a half-written file where the old one was; an interrupted run removes
// its temporary file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fv {

// ---- reading ----

enum class read_status {
    read,         // the whole file is there
    missing,      // no such file
    not_regular,  // a folder, pipe, device or socket
    too_large,    // larger than the limit of its kind
    unreadable,   // opening or reading failed (permissions, I/O error)
};

// A descriptor that closes itself; release() hands it over.
class file_descriptor {
public:
    file_descriptor() = default;
    explicit file_descriptor(int fd) : fd_(fd) {}
    ~file_descriptor();
    file_descriptor(file_descriptor&& other) noexcept : fd_(other.release()) {}
    file_descriptor& operator=(file_descriptor&& other) noexcept;
    file_descriptor(const file_descriptor&) = delete;
    file_descriptor& operator=(const file_descriptor&) = delete;

    int get() const { return fd_; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    bool is_open() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

struct opened_file {
    read_status status = read_status::unreadable;
    int error = 0;  // errno of a failed open
    file_descriptor file;
    std::uint64_t size = 0;
};

// A regular file of at most max_size bytes opened for reading; the status
// says why anything else was refused.
opened_file open_regular_file(const std::string& path, std::size_t max_size);

struct file_contents {
    read_status status = read_status::unreadable;
    int error = 0;
    std::vector<unsigned char> bytes;
    explicit operator bool() const { return status == read_status::read; }
};

// The whole content of a regular file of at most max_size bytes, even when
// it grows while it is read.
file_contents read_regular_file(const std::string& path, std::size_t max_size);

// Why a read was refused, for a message: "it is not a regular file", ...
std::string read_failure_reason(read_status status, int error, std::size_t max_size);

// The whole content of a regular file of at most max_size bytes; nothing for
// anything else.
std::optional<std::vector<unsigned char>> read_whole_file(const std::string& path, std::size_t max_size);

// ---- writing ----

enum class write_status {
    written,
    not_permitted,   // the existing file may not be written by this user
    is_folder,       // the name is a folder
    cannot_create,   // the new file could not be created (folder missing or not writable)
    failed,          // a write, the close or the move into place failed
};

struct file_write {
    write_status status = write_status::failed;
    int error = 0;  // errno of the step that failed
    explicit operator bool() const { return status == write_status::written; }
};

// Replaces (or creates) the file with the bytes; on failure an existing file is
// unchanged. A symbolic link is followed to the file it names (created when
// missing); a device or pipe, a name of an open descriptor (/dev/stdout,
// /dev/fd/N) and any name under /proc is written into directly. An existing file that this user may not write is refused;
// one that belongs to another user is written in place, so it keeps its
// owner; otherwise the file is replaced keeping its permissions.
file_write replace_file(const std::string& path, std::string_view bytes);

// Why a write failed, for a message: "you may not write to it", ...
std::string write_failure_reason(const file_write& outcome);

// replace_file as a yes or no. `opened`, when given, tells whether the file
// for the new content could be opened at all, so a caller can say which step
// failed.
bool write_file_replacing(const std::string& path, std::string_view bytes, bool* opened = nullptr);

// Appends the bytes to the file, created when missing; never to the file
// `never_into` names nor to a file the run reads (device and inode, checked on
// the opened file). False when anything failed, in which case a regular file
// is cut back to its size before the append, so a log never keeps half a line.
bool append_to_file(const std::string& path, std::string_view bytes, const std::string& never_into = {});

// True when both paths name the same existing file (device and inode, links
// followed); false when either names no file.
bool same_file(const std::string& a, const std::string& b);

}  // namespace fv
