// The ZIP layer over libzip: open from memory, find a part by name, inflate
// it in bounded chunks.
#include "workbook/zip_archive.h"

#include <zip.h>

#include <memory>

#include "workbook/workbook_failure.h"

namespace fv {

namespace {

// Large pieces: the XML parser reads an unfinished piece of markup again from
// its start each time it is fed, so the fewer feeds, the less it reads twice.
constexpr std::size_t chunk_size = 1 << 20;

[[noreturn]] void fail(const std::string& detail) { throw workbook_failure(workbook_problem::damaged, detail); }

// A libzip failure as the user's detail.
[[noreturn]] void fail_with(int code, std::string_view part) {
    const std::string where = part.empty() ? std::string("its ZIP container") : "part " + std::string(part);
    switch (code) {
        case ZIP_ER_NOPASSWD:
        case ZIP_ER_WRONGPASSWD:
        case ZIP_ER_ENCRNOTSUPP:
            throw workbook_failure(workbook_problem::encrypted, where + " is encrypted");
        case ZIP_ER_COMPNOTSUPP:
            fail(where + " is compressed by a method that cannot be read");
        case ZIP_ER_MEMORY:
            fail(where + " needs more memory than there is");
        case ZIP_ER_CRC:
            fail(where + " does not match its checksum");
        case ZIP_ER_NOZIP:
        case ZIP_ER_EOF:
            fail(where + " is truncated or is no ZIP archive");
        default: {
            zip_error_t error;
            zip_error_init_with_code(&error, code);
            const std::string text = zip_error_strerror(&error);
            zip_error_fini(&error);
            fail(where + " cannot be read (" + text + ")");
        }
    }
}

struct file_closer {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using open_file = std::unique_ptr<zip_file_t, file_closer>;

std::string megabytes(std::uint64_t bytes) {
    return bytes >= 1'000'000 ? std::to_string(bytes / 1'000'000) + " MB" : std::to_string(bytes) + " bytes";
}

}  // namespace

zip_archive::zip_archive(const std::vector<unsigned char>& image, zip_limits limits)
    : limits_(limits), chunk_(chunk_size) {
    // libzip would open nothing at all as an empty archive.
    if (image.empty()) fail_with(ZIP_ER_NOZIP, {});
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(image.data(), image.size(), 0, &error);
    if (!source) {
        const int code = zip_error_code_zip(&error);
        zip_error_fini(&error);
        fail_with(code, {});
    }
    archive_ = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!archive_) {
        zip_source_free(source);
        const int code = zip_error_code_zip(&error);
        zip_error_fini(&error);
        fail_with(code, {});
    }
    zip_error_fini(&error);
}

zip_archive::~zip_archive() {
    if (archive_) zip_discard(archive_);
}

std::optional<std::uint64_t> zip_archive::locate(std::string_view name) const {
    const std::string wanted(name);
    zip_int64_t at = zip_name_locate(archive_, wanted.c_str(), 0);
    if (at < 0) at = zip_name_locate(archive_, wanted.c_str(), ZIP_FL_NOCASE);
    if (at < 0) return std::nullopt;
    return static_cast<std::uint64_t>(at);
}

// Opens the entry for reading; a missing entry is damage.
zip_file_t* zip_archive::open(std::string_view name) {
    const auto at = locate(name);
    if (!at) fail("part " + std::string(name) + " is missing");
    zip_file_t* file = zip_fopen_index(archive_, *at, 0);
    if (!file) fail_with(zip_error_code_zip(zip_get_error(archive_)), name);
    return file;
}

std::size_t zip_archive::read_chunk(zip_file_t* file, std::string_view name, std::uint64_t& part) {
    const zip_int64_t got = zip_fread(file, chunk_.data(), chunk_.size());
    if (got < 0) fail_with(zip_error_code_zip(zip_file_get_error(file)), name);
    part += static_cast<std::uint64_t>(got);
    inflated_ += static_cast<std::uint64_t>(got);
    // The declared sizes may lie: only what actually comes out counts.
    if (part > limits_.part) fail("part " + std::string(name) + " inflates to more than " + megabytes(limits_.part));
    if (inflated_ > limits_.total) fail("its parts inflate to more than " + megabytes(limits_.total));
    return static_cast<std::size_t>(got);
}

void zip_archive::stream(std::string_view name, const consumer& consume) {
    open_file file(open(name));
    std::uint64_t part = 0;
    while (const std::size_t got = read_chunk(file.get(), name, part)) consume(chunk_.data(), got);
    // The declared size is never relied on, but one that lies marks a damaged archive.
    zip_stat_t declared;
    zip_stat_init(&declared);
    if (zip_stat_index(archive_, *locate(name), 0, &declared) == 0 && (declared.valid & ZIP_STAT_SIZE) &&
        declared.size != part)
        fail("part " + std::string(name) + " is not of the size its ZIP container declares");
}

std::optional<std::string> zip_archive::read_small(std::string_view name, std::size_t longest) {
    if (!locate(name)) return std::nullopt;
    open_file file(open(name));
    std::uint64_t part = 0;
    std::string whole;
    while (const std::size_t got = read_chunk(file.get(), name, part)) {
        if (whole.size() + got > longest) return std::nullopt;
        whole.append(chunk_.data(), got);
    }
    return whole;
}

}  // namespace fv
