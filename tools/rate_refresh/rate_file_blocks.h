// Checksum blocks for a regenerated rate file. A line that reads exactly as it
// did in the previous file keeps its block, so a refresh changes only the
// lines whose figures changed. Any other line gets a block derived from its
// own text and value alone: it does not depend on the lines around it, and
// the same input always gives the same bytes.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace fv {

class rate_file_blocks {
public:
    rate_file_blocks() = default;
    // The blocks of a previous rate file; a line whose block does not carry
    // its checksum is passed over (it gets a fresh block).
    explicit rate_file_blocks(std::string_view previous_text);

    // The block for a line whose checked text and checksum value are given
    // ("#EOF" and the file checksum for the end line).
    std::string block_for(std::string_view checked, std::int32_t value);

    // How many blocks came from the previous file.
    int kept() const { return kept_; }

private:
    std::map<std::string, std::string, std::less<>> data_blocks_;  // checked text -> block
    std::optional<std::pair<std::int32_t, std::string>> end_block_;
    int kept_ = 0;
};

// True when the text begins as a rate file does.
bool looks_like_rate_file(std::string_view text);

}  // namespace fv
