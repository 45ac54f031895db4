// Reading and replacing whole files safely: a replaced file is written to a
// temporary file beside it, every write and the close are checked, and only a
// complete file is moved into place, so a full disk or a vanished folder never
// leaves a half-written file where the old one was.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fv {

// The whole content of a regular file of at most max_size bytes; nothing for
// anything else (a pipe cannot hang the read).
std::optional<std::vector<unsigned char>> read_whole_file(const std::string& path, std::size_t max_size);

// Replaces (or creates) the file with the bytes; false when anything failed,
// in which case an existing file is unchanged. A symbolic link is followed,
// permissions of a replaced file are kept; a device or pipe is written into.
// `opened`, when given, tells whether the file for the new content could be
// opened at all, so a caller can say which step failed.
bool write_file_replacing(const std::string& path, std::string_view bytes, bool* opened = nullptr);

// Appends the bytes to the file, created when missing; never to the file
// `never_into` names (device and inode, checked on the opened file). False
// when anything failed, in which case a regular file is cut back to its size
// before the append, so a log never keeps half a line.
bool append_to_file(const std::string& path, std::string_view bytes, const std::string& never_into = {});

// True when both paths name the same existing file (device and inode).
bool same_file(const std::string& a, const std::string& b);

}  // namespace fv
