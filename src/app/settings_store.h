// The settings store: integer and text values by section and key. The program
// keeps every choice that outlives a run in the section "Runtime options"; the
// executable stores them in an INI file, tests in memory.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace fv {

class settings_store {
public:
    virtual ~settings_store() = default;

    virtual std::int32_t read_int(const std::string& section, const std::string& key, std::int32_t when_absent) = 0;
    virtual void write_int(const std::string& section, const std::string& key, std::int32_t value) = 0;
    virtual std::string read_text(const std::string& section, const std::string& key,
                                  const std::string& when_absent) = 0;
    virtual void write_text(const std::string& section, const std::string& key, const std::string& value) = 0;
};

// A store that lives in memory only: tests, and runs that must leave no trace.
class memory_settings_store : public settings_store {
public:
    std::int32_t read_int(const std::string& section, const std::string& key, std::int32_t when_absent) override;
    void write_int(const std::string& section, const std::string& key, std::int32_t value) override;
    std::string read_text(const std::string& section, const std::string& key,
                          const std::string& when_absent) override;
    void write_text(const std::string& section, const std::string& key, const std::string& value) override;

    bool has(const std::string& section, const std::string& key) const {
        return values_.count({section, key}) != 0;
    }

private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

}  // namespace fv
