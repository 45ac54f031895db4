// The ZIP layer over libzip: open from memory, find a part by name, inflate
// it in bounded chunks.
#include "workbook/zip_archive.h"

#include <zip.h>

#include <memory>

#include "util/loaded_library.h"
#include "workbook/workbook_failure.h"

namespace fv {

namespace {

// Large pieces: the XML parser reads an unfinished piece of markup again from
// its start each time it is fed, so the fewer feeds, the less it reads twice.
constexpr std::size_t chunk_size = 1 << 20;

// libzip is opened when the first XLSX or ODS file is read: it brings in
// libcrypto, libbz2 and more, which other runs need not load.
struct libzip_functions {
    decltype(&::zip_error_init_with_code) error_init_with_code;
    decltype(&::zip_error_strerror) error_strerror;
    decltype(&::zip_error_fini) error_fini;
    decltype(&::zip_fclose) fclose;
    decltype(&::zip_error_init) error_init;
    decltype(&::zip_source_buffer_create) source_buffer_create;
    decltype(&::zip_error_code_zip) error_code_zip;
    decltype(&::zip_open_from_source) open_from_source;
    decltype(&::zip_source_free) source_free;
    decltype(&::zip_discard) discard;
    decltype(&::zip_name_locate) name_locate;
    decltype(&::zip_fopen_index) fopen_index;
    decltype(&::zip_get_error) get_error;
    decltype(&::zip_fread) fread;
    decltype(&::zip_file_get_error) file_get_error;
    decltype(&::zip_stat_init) stat_init;
    decltype(&::zip_stat_index) stat_index;
};

const libzip_functions& libzip() {
    static const libzip_functions library = [] {
        loaded_library opened(FV_LIBZIP_SONAME, "read XLSX and ODS files");
        libzip_functions functions{};
        opened.find("zip_error_init_with_code", functions.error_init_with_code);
        opened.find("zip_error_strerror", functions.error_strerror);
        opened.find("zip_error_fini", functions.error_fini);
        opened.find("zip_fclose", functions.fclose);
        opened.find("zip_error_init", functions.error_init);
        opened.find("zip_source_buffer_create", functions.source_buffer_create);
        opened.find("zip_error_code_zip", functions.error_code_zip);
        opened.find("zip_open_from_source", functions.open_from_source);
        opened.find("zip_source_free", functions.source_free);
        opened.find("zip_discard", functions.discard);
        opened.find("zip_name_locate", functions.name_locate);
        opened.find("zip_fopen_index", functions.fopen_index);
        opened.find("zip_get_error", functions.get_error);
        opened.find("zip_fread", functions.fread);
        opened.find("zip_file_get_error", functions.file_get_error);
        opened.find("zip_stat_init", functions.stat_init);
        opened.find("zip_stat_index", functions.stat_index);
        opened.require();
        return functions;
    }();
    return library;
}

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
            libzip().error_init_with_code(&error, code);
            const std::string text = libzip().error_strerror(&error);
            libzip().error_fini(&error);
            fail(where + " cannot be read (" + text + ")");
        }
    }
}

struct file_closer {
    void operator()(zip_file_t* file) const { libzip().fclose(file); }
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
    libzip().error_init(&error);
    zip_source_t* source = libzip().source_buffer_create(image.data(), image.size(), 0, &error);
    if (!source) {
        const int code = libzip().error_code_zip(&error);
        libzip().error_fini(&error);
        fail_with(code, {});
    }
    archive_ = libzip().open_from_source(source, ZIP_RDONLY, &error);
    if (!archive_) {
        libzip().source_free(source);
        const int code = libzip().error_code_zip(&error);
        libzip().error_fini(&error);
        fail_with(code, {});
    }
    libzip().error_fini(&error);
}

zip_archive::~zip_archive() {
    if (archive_) libzip().discard(archive_);
}

std::optional<std::uint64_t> zip_archive::locate(std::string_view name) const {
    const std::string wanted(name);
    zip_int64_t at = libzip().name_locate(archive_, wanted.c_str(), 0);
    if (at < 0) at = libzip().name_locate(archive_, wanted.c_str(), ZIP_FL_NOCASE);
    if (at < 0) return std::nullopt;
    return static_cast<std::uint64_t>(at);
}

// Opens the entry for reading; a missing entry is damage.
zip_file_t* zip_archive::open(std::string_view name) {
    const auto at = locate(name);
    if (!at) fail("part " + std::string(name) + " is missing");
    zip_file_t* file = libzip().fopen_index(archive_, *at, 0);
    if (!file) fail_with(libzip().error_code_zip(libzip().get_error(archive_)), name);
    return file;
}

std::size_t zip_archive::read_chunk(zip_file_t* file, std::string_view name, std::uint64_t& part) {
    const zip_int64_t got = libzip().fread(file, chunk_.data(), chunk_.size());
    if (got < 0) fail_with(libzip().error_code_zip(libzip().file_get_error(file)), name);
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
    libzip().stat_init(&declared);
    if (libzip().stat_index(archive_, *locate(name), 0, &declared) == 0 && (declared.valid & ZIP_STAT_SIZE) &&
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
