// The File menu's list of the 9 spreadsheets opened last, kept in the
// settings section "Recent File List" under File1 to File9.
#pragma once

#include <string>
#include <vector>

namespace fv {

class settings_store;

class recent_file_list {
public:
    static constexpr int size = 9;

    // Reads the list; empty entries are skipped.
    explicit recent_file_list(settings_store& store);

    // Newest first.
    const std::vector<std::string>& files() const { return files_; }
    // Puts a file at the top (once) and writes the list.
    void add(const std::string& path);
    // Takes a file off the list and writes the list.
    void remove(const std::string& path);

private:
    void write();

    settings_store& store_;
    std::vector<std::string> files_;
};

}  // namespace fv
