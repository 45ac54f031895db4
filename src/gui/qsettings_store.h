// The settings store of the executable: an INI file through QSettings. The
// file is the one FERRAVANE_SETTINGS names, else the per-user file
// ($XDG_CONFIG_HOME/Ferravane/Ferravane.ini). Every write reaches the file at
// once, so another window or a batch run started next sees it.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/settings_store.h"

class QSettings;

namespace fv {

// The environment variable that names another settings file.
inline constexpr const char* settings_file_variable = "FERRAVANE_SETTINGS";

class qsettings_store : public settings_store {
public:
    // The file FERRAVANE_SETTINGS names when it is set and not empty, else the
    // per-user file.
    qsettings_store();
    // The given INI file.
    explicit qsettings_store(const std::string& ini_path);
    ~qsettings_store() override;

    qsettings_store(const qsettings_store&) = delete;
    qsettings_store& operator=(const qsettings_store&) = delete;

    std::int32_t read_int(const std::string& section, const std::string& key, std::int32_t when_absent) override;
    void write_int(const std::string& section, const std::string& key, std::int32_t value) override;
    std::string read_text(const std::string& section, const std::string& key,
                          const std::string& when_absent) override;
    void write_text(const std::string& section, const std::string& key, const std::string& value) override;

    // The file in use.
    std::string file_path() const;
    // What went wrong with the file, for a message: "" while all is well.
    std::string problem() const;

private:
    void check(const char* doing);
    void before_write();
    void after_write();

    std::unique_ptr<QSettings> settings_;
    std::string problem_;
    // The file as it was before this store first wrote to it, until that
    // write shows whether QSettings could read it all.
    bool wrote_ = false;
    std::optional<std::string> old_content_;
};

}  // namespace fv
