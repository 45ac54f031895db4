// Builds rate files for tests with an encoder and checksums written here
// from the file format, independent of the program's own writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rate_test {

// A block in the simplest form: symbol 0 "b" (odd), key 3 at position 1,
// the value's nibbles as letters a-p at positions 3-10.
inline std::string simple_block(std::int32_t value) {
    std::string block = "bda";
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 7; i >= 0; --i) block += static_cast<char>('a' + ((bits >> (4 * i)) & 0xF));
    return block + "aaaaa";
}

// Sum of position times signed byte, wrapping at 32 bits.
inline std::int32_t sum_line(const std::string& text) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        sum += static_cast<std::uint32_t>(i + 1) * static_cast<std::uint32_t>(static_cast<signed char>(text[i]));
    return static_cast<std::int32_t>(sum);
}

struct file_builder {
    std::string text = "#KDM-RATE-FILE test file\n";
    std::uint32_t weight = 0;
    std::uint32_t file_sum = 0;

    void sum_into_file(const std::string& checked) {
        for (char c : checked) {
            file_sum += weight * static_cast<std::uint32_t>(static_cast<signed char>(c));
            ++weight;
        }
    }
    // A section line "#A <word> <last word>": only "#A <word>" is summed.
    void section(const std::string& checked, const std::string& last_word = "section") {
        text += checked + " " + last_word + "\n";
        sum_into_file(checked);
    }
    // A data line whose text before its block is checked.
    void data(const std::string& checked) {
        text += checked + "  " + simple_block(sum_line(checked)) + "\n";
        sum_into_file(checked);
    }
    void raw(const std::string& line) { text += line; }
    std::string finish() const { return text + "#EOF  " + simple_block(static_cast<std::int32_t>(file_sum)) + "\n"; }
};

// A small valid file: two actual sets and two budget sets.
inline std::string small_file() {
    file_builder b;
    b.section("#A actual");
    b.data("\"FY 1998 average\" 5.00 5.10 5.20 5.30 5.40 5.50 5.60 5.70 5.90");
    b.data("\"FY 1999 average\" 4.00 4.10 4.20 4.30 4.40 4.50 4.60 4.70 4.90");
    b.section("#B budget");
    b.data("\"Budget 2000\" 5.00 5.10 5.20 5.30 5.40 5.50 5.60 5.70 5.90");
    b.data("\"Budget 2001\" 4.00 4.10 4.20 4.30 4.40 4.50 4.60 4.70 4.90");
    return b.finish();
}

}  // namespace rate_test
