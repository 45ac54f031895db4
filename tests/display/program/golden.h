// Golden texts: a display or output compared with a file kept in
// tests/fixtures/golden. FV_UPDATE_GOLDEN=1 rewrites the files instead; a
// difference prints the first differing lines side by side.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fv::testing {

inline std::vector<std::string> text_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

inline std::string line_diff(const std::string& expected, const std::string& actual) {
    const auto want = text_lines(expected), got = text_lines(actual);
    std::ostringstream out;
    int shown = 0;
    for (std::size_t i = 0; i < std::max(want.size(), got.size()) && shown < 8; ++i) {
        const std::string* w = i < want.size() ? &want[i] : nullptr;
        const std::string* g = i < got.size() ? &got[i] : nullptr;
        if (w && g && *w == *g) continue;
        out << "line " << i + 1 << "\n  expected: " << (w ? *w : "(none)") << "\n  actual:   " << (g ? *g : "(none)")
            << "\n";
        ++shown;
    }
    return out.str();
}

inline void expect_golden(const std::string& name, const std::string& actual) {
    const std::string path = std::string(FV_SOURCE_DIR) + "/tests/fixtures/golden/" + name;
    if (const char* update = std::getenv("FV_UPDATE_GOLDEN"); update && std::string(update) == "1") {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "no golden file " << path << " (FV_UPDATE_GOLDEN=1 writes it)";
    const std::string expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(expected == actual) << name << " differs from its golden file:\n" << line_diff(expected, actual);
}

}  // namespace fv::testing
