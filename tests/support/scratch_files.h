// Shared by tests that touch the file system: scratch folders, whole-file
// content and environment variables set for one scope.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace fv::test {

namespace fs = std::filesystem;

struct scratch_folder {
    fs::path path;
    explicit scratch_folder(const std::string& tag)
        : path(fs::temp_directory_path() / ("fv-test-" + tag + "-" + std::to_string(::getpid()))) {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~scratch_folder() { fs::remove_all(path); }
    std::string at(const std::string& name) const { return (path / name).string(); }
};

inline std::string file_content(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Sets an environment variable for one scope and puts the old value back.
class scoped_env {
public:
    scoped_env(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        if (old != nullptr) old_ = std::make_unique<std::string>(old);
        if (value != nullptr)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~scoped_env() {
        if (old_)
            ::setenv(name_.c_str(), old_->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    scoped_env(const scoped_env&) = delete;
    scoped_env& operator=(const scoped_env&) = delete;

private:
    std::string name_;
    std::unique_ptr<std::string> old_;
};

}  // namespace fv::test
