// Reading a spreadsheet file into memory in one go, the same way for every
// reader: only a regular file, opened before it is checked so that a pipe put
// in its place between the two can never block the load, and never more than
// the size limit, even when the file grows while it is read.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace fv {

inline constexpr std::size_t largest_spreadsheet_file = 12'000'000;

// "Spreadsheet file <path> is larger than 12 MB."
std::string too_large_message(const std::string& path);

// The file's bytes; throws `unable` as a text_error when the path is empty,
// names no regular readable file or a read fails, and the size message when
// the file is larger than the limit.
std::vector<unsigned char> read_spreadsheet_file(const std::string& path, const std::string& unable);

// The first `count` bytes of a regular file (fewer when it is shorter); none
// when it cannot be read. Opened the same careful way.
std::vector<unsigned char> read_file_start(const std::string& path, std::size_t count);

// The same with another size limit and its own message (ZIP workbooks).
std::vector<unsigned char> read_spreadsheet_file(const std::string& path, const std::string& unable,
                                                 std::size_t limit, const std::string& too_large);

}  // namespace fv
