// Reading parts out of a ZIP container (XLSX and ODS workbooks) over libzip.
// The archive is opened from the file's image in memory; a part is inflated
// chunk by chunk into its consumer, never whole, and never past the limits on
// the inflated bytes of one part and of all parts together, whatever sizes the
// archive declares. Every failure is a workbook_failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct zip;
struct zip_file;

namespace fv {

// How many inflated bytes an archive hands out: of one part, of all together.
struct zip_limits {
    std::uint64_t part = 1'000'000'000;
    std::uint64_t total = 2'000'000'000;
};

class zip_archive {
public:
    // Opens the archive in `image`, which must outlive it; damaged when it is no readable ZIP.
    explicit zip_archive(const std::vector<unsigned char>& image, zip_limits limits = {});
    // An image about to go away would leave the archive reading freed memory.
    zip_archive(std::vector<unsigned char>&& image, zip_limits limits = {}) = delete;
    ~zip_archive();
    zip_archive(const zip_archive&) = delete;
    zip_archive& operator=(const zip_archive&) = delete;

    // Whether an entry of that name is there: exactly, else ignoring case
    // (part names of a package are not case-sensitive).
    bool contains(std::string_view name) const { return locate(name).has_value(); }

    // Hands the inflated bytes of the entry to `consume` in chunks. A missing
    // entry is the damage "<what> is missing".
    using consumer = std::function<void(const char* data, std::size_t size)>;
    void stream(std::string_view name, const consumer& consume);

    // The whole of a small entry; nothing when it is missing or longer than `longest`.
    std::optional<std::string> read_small(std::string_view name, std::size_t longest);

private:
    std::optional<std::uint64_t> locate(std::string_view name) const;
    zip_file* open(std::string_view name);
    // The next chunk into chunk_, counted against the limits; 0 at the end.
    std::size_t read_chunk(zip_file* file, std::string_view name, std::uint64_t& part);

    zip* archive_ = nullptr;
    zip_limits limits_;
    std::uint64_t inflated_ = 0;  // bytes handed out so far, all parts
    std::vector<char> chunk_;
};

}  // namespace fv
