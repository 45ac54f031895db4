// make_topics: builds the program's topics file from readable sources.
//
//   make_topics SOURCE_DIR OUTPUT_FILE
//
// Every SOURCE_DIR/<name>.txt becomes the topic <name> (names in sorted order).
// The output holds the texts with CR LF line ends, an "#eof" line that ends the
// checked part, the checksum line, one index line per topic ("name" offset
// length) and, in its last 12 bytes, the offset of the checksum line.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/topics.h"

namespace {

struct topic_source {
    std::string name;
    std::string text;  // CR LF line ends
};

std::string with_crlf(const std::string& text) {
    std::string converted;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') converted += '\r';
        converted += c;
    }
    while (converted.size() >= 2 && converted.compare(converted.size() - 2, 2, "\r\n") == 0)
        converted.resize(converted.size() - 2);
    return converted;
}

long checksum_of(const std::string& text) {
    long sum = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        // Lines longer than the reader's limit are checked in pieces.
        for (std::size_t piece = start; piece < end; piece += 4095)
            sum += fv::topics_line_checksum(std::string_view(text).substr(piece, std::min<std::size_t>(4095, end - piece)));
        start = end;
    }
    return sum;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_topics SOURCE_DIR OUTPUT_FILE\n";
        return 2;
    }
    std::vector<topic_source> sources;
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(argv[1], error)) {
        if (item.path().extension() != ".txt") continue;
        std::ifstream in(item.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        sources.push_back({item.path().stem().string(), with_crlf(text.str())});
    }
    if (error || sources.empty()) {
        std::cerr << "make_topics: no topic sources in " << argv[1] << "\n";
        return 1;
    }
    std::sort(sources.begin(), sources.end(), [](const auto& a, const auto& b) { return a.name < b.name; });

    std::string body;
    std::string index;
    for (const auto& topic : sources) {
        const std::size_t offset = body.size();
        body += topic.text + "\r\n\r\n";
        char line[512];
        std::snprintf(line, sizeof line, "\"%s\" %zu %zu\r\n", topic.name.c_str(), offset, topic.text.size());
        index += line;
    }
    body += "#eof\r\n";

    char checksum_line[32];
    std::snprintf(checksum_line, sizeof checksum_line, "00000%010ld\r\n", checksum_of(body));
    const std::size_t checksum_offset = body.size();
    if (checksum_offset > 99999) {
        std::cerr << "make_topics: the texts are too long for the offset line (at most 99,999 bytes)\n";
        return 1;
    }
    char offset_line[16];
    std::snprintf(offset_line, sizeof offset_line, "%010zu\r\n", checksum_offset);

    const std::string output = body + checksum_line + index + offset_line;
    const std::string temporary = std::string(argv[2]) + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << output;
        out.close();
        if (!out) {
            std::cerr << "make_topics: cannot write " << temporary << "\n";
            return 1;
        }
    }
    std::filesystem::rename(temporary, argv[2], error);
    if (error) {
        std::cerr << "make_topics: cannot move " << temporary << " to " << argv[2] << ": " << error.message() << "\n";
        return 1;
    }
    return 0;
}
