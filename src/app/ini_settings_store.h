// The settings store of the executable: an INI file. The file is the one
// FERRAVANE_SETTINGS names, else the per-user file
// ($XDG_CONFIG_HOME/Ferravane/Ferravane.ini). Every write reaches the file at
// once, merged with what other runs wrote there meanwhile, so another window
// or a batch run started next sees it.
//
// The file is read like every file the program reads: a pipe, device, folder
// or over-large file is not read; the run then goes on with the defaults,
// keeps its changes in memory and never writes over that file. A file with
// lines that cannot be read is kept beside it (".damaged") before the first
// write starts it again with the values that could be read.
#pragma once

#include <cstddef>
#include <string>

#include "app/ini_file.h"
#include "app/settings_store.h"

namespace fv {

// The environment variable that names another settings file.
inline constexpr const char* settings_file_variable = "FERRAVANE_SETTINGS";

// A settings file larger than this is not one.
inline constexpr std::size_t largest_settings_file = 1'000'000;

class ini_settings_store : public settings_store {
public:
    // The file FERRAVANE_SETTINGS names when it is set and not empty, else the
    // per-user file.
    ini_settings_store();
    // The given INI file.
    explicit ini_settings_store(std::string ini_path);

    std::int32_t read_int(const std::string& section, const std::string& key, std::int32_t when_absent) override;
    void write_int(const std::string& section, const std::string& key, std::int32_t value) override;
    std::string read_text(const std::string& section, const std::string& key,
                          const std::string& when_absent) override;
    void write_text(const std::string& section, const std::string& key, const std::string& value) override;

    // The file in use.
    const std::string& file_path() const { return path_; }
    // What went wrong with the file, for a message: "" while all is well.
    const std::string& problem() const { return problem_; }

private:
    // Reads the file into `into`; false (and the problem noted) when it is
    // not to be read.
    bool read_file(ini_file& into);
    void write(const std::string& section, const std::string& key, const std::string& value);

    std::string path_;
    ini_file values_;
    std::string problem_;
    // The file is not read and never written: values live in memory only.
    bool left_alone_ = false;
};

// The per-user settings file: $XDG_CONFIG_HOME (or ~/.config) /Ferravane/Ferravane.ini.
std::string user_settings_path();

}  // namespace fv
