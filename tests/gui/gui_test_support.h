// Shared by the Qt layer's tests: one offscreen QGuiApplication for tests that
// print, scratch folders, and running the PDF readers of poppler-utils.
#pragma once

#include <QGuiApplication>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace fv::test {

namespace fs = std::filesystem;

// The application printing needs; created once, offscreen, and kept until exit.
inline void ensure_gui_application() {
    if (QCoreApplication::instance() != nullptr) return;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    static const auto application = std::make_unique<QGuiApplication>(argc, argv);
}

struct scratch_folder {
    fs::path path;
    explicit scratch_folder(const std::string& tag)
        : path(fs::temp_directory_path() / ("fv-gui-" + tag + "-" + std::to_string(::getpid()))) {
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

// Standard output of a shell command, or nothing when it did not exit with 0.
inline bool run_command(const std::string& command, std::string& output) {
    output.clear();
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return false;
    std::array<char, 4096> buffer;
    std::size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), got);
    return ::pclose(pipe) == 0;
}

inline bool have_tool(const char* name) {
    std::string ignored;
    return run_command(std::string("command -v ") + name + " >/dev/null 2>&1", ignored);
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
