// Running another program that reads the same spreadsheet bytes (python3-xlrd,
// python3-openpyxl, gnumeric) and taking its tab-separated lines apart.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace fv::test {

// The lines the command prints; `status` is its wait status (-1 when it did not run).
inline std::vector<std::string> output_lines(const std::string& command, int& status) {
    std::vector<std::string> lines;
    status = -1;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return lines;
    std::string line;
    for (int c; (c = std::fgetc(pipe)) != EOF;) {
        if (c != '\n') {
            line.push_back(static_cast<char>(c));
            continue;
        }
        lines.push_back(line);
        line.clear();
    }
    status = ::pclose(pipe);
    return lines;
}

inline std::vector<std::string> tab_fields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    return fields;
}

inline std::string from_hex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16)));
    return bytes;
}

}  // namespace fv::test
