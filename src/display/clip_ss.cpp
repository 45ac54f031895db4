// Position keeping, record list and file handling shared by the WK1 and WK3
// writers. Output files are replaced safely: the image goes to a temporary
// file beside the target, every write and the close are checked, and only a
// complete file is moved into place, so a full disk or a vanished folder never
// leaves a half-written worksheet where the old one was.
#include "display/clip_ss.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "util/text_error.h"

namespace fv {

namespace {

// A template is a small file; anything far larger is not one.
constexpr std::size_t max_template_size = 12'000'000;

constexpr std::uint16_t end_of_file = 1;

struct fd_closer {
    int fd;
    ~fd_closer() {
        if (fd >= 0) ::close(fd);
    }
};

bool write_all(int fd, const std::vector<unsigned char>& bytes) {
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

clip_ss::clip_ss(const char* template_path) {
    if (template_path == nullptr) throw text_error("clip_ss constructor called with a NULL pointer");
    if (*template_path == '\0') throw text_error("clip_ss constructor called with a pointer to a NULL string");
    template_path_ = template_path;
}

clip_ss::clip_ss(const std::string& template_path) : clip_ss(template_path.c_str()) {}

void clip_ss::next_column() {
    if (column_ < 255) ++column_;
    if (column_ > highest_column_) highest_column_ = column_;
}

void clip_ss::next_row() {
    column_ = 0;
    if (row_ < UINT32_MAX) ++row_;
    if (row_ > highest_row_) highest_row_ = row_;
}

void clip_ss::next_sheet() {
    row_ = 0;
    column_ = 0;
    if (sheet_ < 255) ++sheet_;
    if (sheet_ > highest_sheet_) highest_sheet_ = sheet_;
}

std::string clip_ss::cut_notice() const {
    if (cells_left_out_ == 0) return {};
    char text[160];
    std::snprintf(text, sizeof text,
                  "Spreadsheet output stops at row %u: %zu cells of later rows were not written.",
                  static_cast<unsigned>(last_row) + 1, cells_left_out_);
    return text;
}

void clip_ss::add_record(std::uint16_t type, std::vector<unsigned char> data) {
    records_.push_back(clip_record{type, std::move(data)});
}

bool clip_ss::row_writable() {
    if (row_ <= last_row) return true;
    ++cells_left_out_;
    return false;
}

std::string_view clip_ss::cut_label(std::string_view text, std::size_t limit) {
    // The record ends the text at its first NUL anyway.
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    if (text.size() > limit) {
        ++labels_cut_;
        text = text.substr(0, limit);
    }
    return text;
}

unsigned char clip_ss::label_prefix(char prefix) {
    return (prefix == '"' || prefix == '\\' || prefix == '^') ? static_cast<unsigned char>(prefix) : '\'';
}

std::optional<std::vector<unsigned char>> clip_ss::read_template(const std::string& path) {
    // Non-blocking, so a pipe in the template's place cannot hang the export.
    fd_closer file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.fd < 0) return std::nullopt;
    struct stat st;
    if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    if (static_cast<std::uint64_t>(st.st_size) > max_template_size) return std::nullopt;
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

std::vector<unsigned char> clip_ss::assemble(const std::vector<unsigned char>& template_bytes) const {
    std::size_t size = template_bytes.size() - 4 + 4;
    for (const clip_record& r : records_) size += 4 + r.data.size();
    std::vector<unsigned char> image;
    image.reserve(size);
    image.insert(image.end(), template_bytes.begin(), template_bytes.end() - 4);
    for (const clip_record& r : records_) {
        put_u16(image, r.type);
        put_u16(image, static_cast<unsigned>(r.data.size()));
        image.insert(image.end(), r.data.begin(), r.data.end());
    }
    put_u16(image, end_of_file);
    put_u16(image, 0);
    return image;
}

bool clip_ss::write_replacing(const std::string& path, const std::vector<unsigned char>& image) {
    const std::string target = resolve_link(path);
    struct stat st;
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return false;

    if (exists && !S_ISREG(st.st_mode)) {
        // A device or pipe cannot be replaced by a file; write into it.
        fd_closer file{::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
        if (file.fd < 0) return false;
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

    if (exists) (void)::fchmod(file.fd, st.st_mode & 07777);  // keep the replaced file's permissions
    bool good = write_all(file.fd, image) && ::fsync(file.fd) == 0;
    good = close_checked(file) && good;
    if (good) good = ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!good) ::unlink(temporary.c_str());
    return good;
}

}  // namespace fv
