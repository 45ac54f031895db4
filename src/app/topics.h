// The program's explanatory texts: the index of "topics.txt", checked against
// the file's checksum at start-up, and the lookup of one topic's text, read
// from the open file each time it is asked for.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fv {

// A topics file larger than this is not one.
inline constexpr std::size_t largest_topics_file = 16'000'000;

// Checksum of one line: bytes before the first CR or LF, odd positions once and
// even positions twice, modulo 256. Bytes count as unsigned.
int topics_line_checksum(std::string_view line);

class topics {
public:
    void set_file_name(std::string file_name) { file_name_ = std::move(file_name); }
    const std::string& file_name() const { return file_name_; }

    // Loads the index and verifies the checksum; throws text_error on failure.
    // Only a regular file of at most largest_topics_file bytes is read.
    void load();
    // The same from a stream already open (owned from now on): the file's
    // content in memory, say.
    void load_stream(std::FILE* file);

    // The text of the first topic whose name equals `name` ignoring case, or
    // nothing when there is none or its text cannot be read.
    std::optional<std::string> lookup(std::string_view name) const;

    struct entry {
        std::string name;
        long offset;
        long length;
    };
    const std::vector<entry>& index() const { return index_; }

private:
    struct file_closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    std::string file_name_;
    std::unique_ptr<std::FILE, file_closer> file_;
    long file_size_ = 0;
    std::vector<entry> index_;
};

// The start-up message for a topics file that failed to load.
std::string topics_defective_message(const std::string& technical_message);

}  // namespace fv
