// The INI settings store. Values are kept as text; integers are read back
// with the same rule as the in-memory store, so a hand-edited value that is
// not a number reads as absent. Each write reads the file again under a lock
// on its folder, changes the one value and replaces the file whole.
#include "app/ini_settings_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>

#include "util/file_io.h"
#include "util/run_files.h"

namespace fv {

namespace {

std::string chosen_settings_path() {
    const char* named = std::getenv(settings_file_variable);
    if (named != nullptr && *named != '\0') return named;
    return user_settings_path();
}

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Two runs writing at once each keep the other's change: the read, change and
// replace of one write happen under an exclusive lock on the file's folder.
class folder_lock {
public:
    explicit folder_lock(const std::string& folder)
        : folder_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (folder_.is_open()) {
            while (::flock(folder_.get(), LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }

private:
    file_descriptor folder_;  // closing it releases the lock
};

}  // namespace

std::string user_settings_path() {
    std::string base;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && *config != '\0') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || *home == '\0') {
            const passwd* user = ::getpwuid(::getuid());
            home = user != nullptr ? user->pw_dir : "";
        }
        base = std::string(home) + "/.config";
    }
    return base + "/Ferravane/Ferravane.ini";
}

ini_settings_store::ini_settings_store() : ini_settings_store(chosen_settings_path()) {}

ini_settings_store::ini_settings_store(std::string ini_path) : path_(std::move(ini_path)) {
    note_run_file(path_, "the settings file");
    if (read_file(values_) && values_.damaged()) problem_ = "The settings file is damaged:\n" + path_;
}

bool ini_settings_store::read_file(ini_file& into) {
    const file_contents contents = read_regular_file(path_, largest_settings_file);
    if (contents.status == read_status::missing) {
        into = ini_file();
        return true;
    }
    if (!contents) {
        if (problem_.empty()) problem_ = "The settings file could not be read:\n" + path_;
        left_alone_ = true;
        return false;
    }
    into = ini_file(std::string_view(reinterpret_cast<const char*>(contents.bytes.data()), contents.bytes.size()));
    return true;
}

void ini_settings_store::write(const std::string& section, const std::string& key, const std::string& value) {
    if (left_alone_) {
        values_.set(section, key, value);  // kept for this run
        return;
    }
    std::error_code ignored;
    const std::string folder = folder_of(path_);
    std::filesystem::create_directories(folder, ignored);
    folder_lock lock(folder);

    ini_file current;
    if (!read_file(current)) {
        values_.set(section, key, value);
        return;
    }
    std::string kept;
    const bool restarted = current.damaged();
    if (restarted) {
        // Its old bytes are kept before it is started again with what could be read.
        kept = path_ + ".damaged";
        if (!write_file_replacing(kept, current.text())) kept.clear();
        current = current.readable_values();
    }
    current.set(section, key, value);
    const bool written = static_cast<bool>(replace_file(path_, current.text()));
    values_ = std::move(current);
    if (!written) {
        if (problem_.empty()) problem_ = "The settings file could not be written:\n" + path_;
    } else if (restarted) {
        problem_ = "The settings file was damaged and has been started again:\n" + path_ +
                   (kept.empty() ? std::string() : "\n\nIts old content is kept in:\n" + kept);
    }
}

std::int32_t ini_settings_store::read_int(const std::string& section, const std::string& key,
                                          std::int32_t when_absent) {
    const std::optional<std::string> value = values_.value(section, key);
    if (!value) return when_absent;
    errno = 0;
    char* end = nullptr;
    const long long number = std::strtoll(value->c_str(), &end, 10);
    if (end == value->c_str() || errno != 0 || number < INT32_MIN || number > INT32_MAX) return when_absent;
    return static_cast<std::int32_t>(number);
}

void ini_settings_store::write_int(const std::string& section, const std::string& key, std::int32_t value) {
    write(section, key, std::to_string(value));
}

std::string ini_settings_store::read_text(const std::string& section, const std::string& key,
                                          const std::string& when_absent) {
    return values_.value(section, key).value_or(when_absent);
}

void ini_settings_store::write_text(const std::string& section, const std::string& key, const std::string& value) {
    write(section, key, value);
}

}  // namespace fv
