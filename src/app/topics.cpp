#include "app/topics.h"

#include <climits>
#include <cstdlib>

#include "util/ascii.h"
#include "util/file_io.h"
#include "util/text_error.h"

namespace fv {
namespace {

constexpr std::size_t line_limit = 4095;  // longer lines are checked as several pieces

// Reads one line as fgets with a 4,096-byte buffer would: up to and including
// the LF, or 4,095 bytes, or the end of the file. Empty at the end of the file.
std::string read_piece(std::FILE* file) {
    std::string piece;
    int c = 0;
    while (piece.size() < line_limit && (c = std::fgetc(file)) != EOF) {
        piece += static_cast<char>(c);
        if (c == '\n') break;
    }
    return piece;
}

bool begins_with_zeros(std::string_view line) { return line.substr(0, 5) == "00000"; }

// The decimal value of a line of digits, saturating.
long decimal_value(std::string_view line) {
    long value = 0;
    for (char c : line) {
        if (!ascii_digit(c)) break;
        value = value > (LONG_MAX - 9) / 10 ? LONG_MAX : value * 10 + (c - '0');
    }
    return value;
}

bool begins_with_eof_mark(std::string_view line) { return starts_with_ignoring_case(line, "#eof"); }

// The last line of the file, whether it ends in CR LF, LF or nothing.
std::string last_line(std::FILE* file, long file_size) {
    const long tail_size = file_size < 64 ? file_size : 64;
    std::string tail(static_cast<std::size_t>(tail_size), '\0');
    if (std::fseek(file, file_size - tail_size, SEEK_SET) != 0 ||
        std::fread(tail.data(), 1, tail.size(), file) != tail.size())
        return std::string();
    while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r')) tail.pop_back();
    const auto line_start = tail.find_last_of("\r\n");
    return line_start == std::string::npos ? tail : tail.substr(line_start + 1);
}

}  // namespace

int topics_line_checksum(std::string_view line) {
    int total = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(line[i]);
        if (byte == '\r' || byte == '\n') break;
        total += (i % 2 == 0) ? byte : 2 * byte;
    }
    return total % 256;
}

void topics::load() {
    if (file_name_.empty()) throw text_error("topics::load Filename is missing.");
    // Opened without blocking and checked on the descriptor: a pipe in its
    // place cannot hang the start.
    opened_file opened = open_regular_file(file_name_, largest_topics_file);
    if (opened.status == read_status::not_regular || opened.status == read_status::too_large)
        throw text_error("topics::load topics.txt cannot be read: " +
                         read_failure_reason(opened.status, opened.error, largest_topics_file));
    std::FILE* file = opened.status == read_status::read ? ::fdopen(opened.file.get(), "rb") : nullptr;
    if (file == nullptr) throw text_error("topics::load Can't open topics.txt");
    opened.file.release();
    load_stream(file);
}

void topics::load_stream(std::FILE* stream) {
    file_.reset(stream);
    if (!file_) throw text_error("topics::load Can't open topics.txt");
    index_.clear();

    std::FILE* file = file_.get();
    if (std::fseek(file, 0, SEEK_END) != 0) throw text_error("topics::load File offset is defective.");
    file_size_ = std::ftell(file);

    const std::string offset_line = last_line(file, file_size_);
    if (!begins_with_zeros(offset_line)) throw text_error("topics::load File offset is defective.");
    const long checksum_offset = decimal_value(offset_line);
    if (checksum_offset < 0 || checksum_offset >= file_size_)
        throw text_error("topics::load File offset is defective.");

    if (std::fseek(file, checksum_offset, SEEK_SET) != 0) throw text_error("topics::load Checksum is defective.");
    const std::string checksum_line = read_piece(file);
    if (!begins_with_zeros(checksum_line)) throw text_error("topics::load Checksum is defective.");
    const long expected = decimal_value(checksum_line);

    for (std::string line = read_piece(file); !line.empty() && line.front() == '"'; line = read_piece(file)) {
        const auto closing = line.find('"', 1);
        if (closing == std::string::npos) continue;
        char* rest = nullptr;
        const long offset = std::strtol(line.c_str() + closing + 1, &rest, 10);
        const long length = std::strtol(rest, nullptr, 10);
        index_.push_back({line.substr(1, closing - 1), offset, length});
    }

    std::rewind(file);
    long sum = 0;
    for (std::string line = read_piece(file); !line.empty(); line = read_piece(file)) {
        sum += topics_line_checksum(line);
        if (begins_with_eof_mark(line)) break;
    }
    if (sum != expected) throw text_error("topics::load checksum failure.  File may be damaged.");
}

std::optional<std::string> topics::lookup(std::string_view name) const {
    for (const entry& topic : index_) {
        if (!equal_ignoring_case(topic.name, name)) continue;
        // Offsets and lengths come from the file: never read outside it.
        if (!file_ || topic.offset < 0 || topic.length < 0 || topic.offset > file_size_ ||
            topic.length > file_size_ - topic.offset)
            return std::nullopt;
        std::string text(static_cast<std::size_t>(topic.length), '\0');
        if (std::fseek(file_.get(), topic.offset, SEEK_SET) != 0 ||
            std::fread(text.data(), 1, text.size(), file_.get()) != text.size())
            return std::nullopt;
        return text;
    }
    return std::nullopt;
}

std::string topics_defective_message(const std::string& technical_message) {
    return "The file \"topics.txt\" in the root directory of this program is defective.\n\nA current copy may be "
           "obtained by contacting technical support.\n(The telephone number is provided under Help-About.)\n\n"
           "(Technical message:  " +
           technical_message + ")";
}

}  // namespace fv
