// Normalisation, checksums and checksum blocks of the rate files. Sums are
// done in unsigned arithmetic so that they wrap the same on every processor.
#include "rates/checksum_block.h"

#include <chrono>

namespace fv {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string normalise_rate_line(std::string_view raw) {
    std::size_t end = raw.size();
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\n' || raw[i] == '\0') {
            end = i;
            break;
        }
        if (raw[i] == '/' && i + 1 < raw.size() && raw[i + 1] == '/') {
            end = i;
            break;
        }
    }
    std::string line(raw.substr(0, end));
    // A file written with CR LF line ends reads as if it had LF alone.
    if (end < raw.size() && raw[end] == '\n' && !line.empty() && line.back() == '\r') line.pop_back();
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        if (line[i] == '\t') line[i] = ' ';
    }
    std::size_t first = 0;
    while (first < line.size() && line[first] == ' ') ++first;
    // A line holding nothing but a tab is a blank line, not a damaged one.
    if (line.size() - first == 1 && line[first] == '\t') return std::string();
    return line.substr(first);
}

std::string_view checked_text(std::string_view line) {
    std::size_t end = line.size();
    while (end > 0 && is_blank(line[end - 1])) --end;
    while (end > 0 && !is_blank(line[end - 1])) --end;  // the last word
    while (end > 0 && is_blank(line[end - 1])) --end;
    return line.substr(0, end);
}

std::int32_t line_checksum(std::string_view checked) {
    std::uint32_t sum = 0;
    std::uint32_t position = 1;
    for (char c : checked) {
        sum += position * static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
        ++position;
    }
    return static_cast<std::int32_t>(sum);
}

void file_checksum::add(std::string_view checked) {
    for (char c : checked) {
        sum_ += weight_ * static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
        ++weight_;
    }
}

int block_nibble(char symbol) {
    switch (symbol) {
        case '1': symbol = 'A'; break;
        case '2': symbol = 'E'; break;
        case '3': symbol = 'I'; break;
        case '4': symbol = 'O'; break;
        case '5': symbol = 'U'; break;
        case '6': symbol = 'Y'; break;
        case '(': return 10;
        case ')': return 11;
        case '7': return 12;
        case '8': return 13;
        case '9': return 14;
        case '0': return 15;
        default: break;
    }
    if (symbol >= 'a' && symbol <= 'z') symbol = static_cast<char>(symbol - 'a' + 'A');
    if (symbol >= 'A' && symbol <= 'P') return symbol - 'A';
    if (symbol >= 'Q' && symbol <= 'Z') return symbol - 'Q';
    return 0;
}

std::int32_t read_block(std::string_view block) {
    auto nibble = [&](int i) { return i < static_cast<int>(block.size()) ? block_nibble(block[i]) : 0; };
    const int key = (nibble(0) % 2 == 1) ? nibble(1) : nibble(2);
    const int first = key < 8 ? key : key - 7;
    std::uint32_t value = 0;
    for (int i = first; i < first + 8; ++i) value = (value << 4) | static_cast<std::uint32_t>(nibble(i));
    return static_cast<std::int32_t>(value);
}

block_writer::block_writer()
    : generator_(static_cast<std::uint32_t>(std::chrono::system_clock::now().time_since_epoch().count())) {}

block_writer::block_writer(std::uint32_t seed) : generator_(seed) {}

char block_writer::symbol_of(int nibble) {
    if (nibble < 0 || nibble > 15) return '$';
    const int w = nibble + 16 * static_cast<int>(generator_() % 2);
    if (w >= 26) return "()7890"[w - 26];
    switch (w) {
        case 0: return '1';
        case 4: return '2';
        case 8: return '3';
        case 14: return '4';
        case 20: return '5';
        case 24: return '6';
        default: break;
    }
    return static_cast<char>((generator_() % 2 ? 'A' : 'a') + w);
}

std::string block_writer::write(std::int32_t value) {
    std::string block(16, ' ');
    for (char& c : block) c = symbol_of(static_cast<int>(generator_() % 16));
    int key = static_cast<int>(generator_() % 16);
    if (key < 3) key += 3;
    if (key >= 8 && key <= 10) key += 3;
    block[block_nibble(block[0]) % 2 == 1 ? 1 : 2] = symbol_of(key);
    const int first = key < 8 ? key : key - 7;
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 8; ++i) block[first + i] = symbol_of(static_cast<int>((bits >> (28 - 4 * i)) & 0xF));
    return block;
}

}  // namespace fv
