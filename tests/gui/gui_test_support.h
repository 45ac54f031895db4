// Shared by the Qt layer's tests: one offscreen QGuiApplication for tests that
// print, and running the PDF readers of poppler-utils (scratch folders come
// from the shared test support).
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

#include "support/scratch_files.h"

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

}  // namespace fv::test
