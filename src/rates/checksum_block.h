// The text machinery of the rate files: how a raw line is normalised, which
// part of it is checksummed, the line and file checksums, and the 16-symbol
// checksum block that carries a 32-bit value in many interchangeable forms.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace fv {

// Cuts the line at its first line feed, carriage return before it, NUL or
// "//"; turns tabs into spaces (a tab that ends the line stays) and drops
// leading spaces. A line of blanks alone comes out empty.
std::string normalise_rate_line(std::string_view raw);

// The part of a normalised line that is summed: trailing blanks removed, then
// the last blank-separated word and the blanks before it. A one-word line has
// an empty checked text.
std::string_view checked_text(std::string_view line);

// Sum of position (from 1) times byte, bytes taken as signed 8-bit, wrapping.
std::int32_t line_checksum(std::string_view checked);

// Checksum over every section and data line of a rate file: a weight that
// runs on across lines multiplies each byte.
class file_checksum {
public:
    void add(std::string_view checked);
    std::int32_t value() const { return sum_; }

private:
    std::uint32_t weight_ = 0;
    std::uint32_t sum_ = 0;
};

// The nibble a block symbol stands for.
int block_nibble(char symbol);

// Decodes a block. Symbols missing from a short block count as nibble 0, so
// nothing past the text is read.
std::int32_t read_block(std::string_view block);

// Writes values as blocks with fresh random symbols each time.
class block_writer {
public:
    block_writer();                                   // seeded from the clock
    explicit block_writer(std::uint32_t seed);        // reproducible output
    std::string write(std::int32_t value);

private:
    char symbol_of(int nibble);
    std::mt19937 generator_;
};

}  // namespace fv
