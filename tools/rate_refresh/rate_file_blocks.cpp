// Keeping and deriving the checksum blocks of a generated rate file.
#include "rate_file_blocks.h"

#include "rates/checksum_block.h"

namespace fv {

namespace {

constexpr std::size_t block_length = 16;
constexpr std::string_view end_mark = "#EOF";

// FNV-1a: a seed that depends on the line alone.
std::uint32_t seed_of(std::string_view checked, std::int32_t value) {
    std::uint32_t hash = 2166136261u;
    auto mix = [&hash](unsigned char byte) {
        hash ^= byte;
        hash *= 16777619u;
    };
    for (char c : checked) mix(static_cast<unsigned char>(c));
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) mix(static_cast<unsigned char>(bits >> shift));
    return hash;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

bool looks_like_rate_file(std::string_view text) {
    constexpr std::string_view magic = "#KDM-RATE-FILE";
    if (text.size() < magic.size()) return false;
    for (std::size_t i = 0; i < magic.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != magic[i]) return false;
    }
    return true;
}

rate_file_blocks::rate_file_blocks(std::string_view previous_text) {
    std::size_t pos = previous_text.find('\n');  // line 1 is the header
    while (pos != std::string_view::npos && pos < previous_text.size()) {
        const std::size_t start = pos + 1;
        pos = previous_text.find('\n', start);
        const std::string_view raw =
            previous_text.substr(start, pos == std::string_view::npos ? std::string_view::npos : pos + 1 - start);
        const std::string line = normalise_rate_line(raw);
        const std::string_view checked = checked_text(line);
        const std::string_view block = trimmed(std::string_view(line).substr(checked.size()));
        if (block.size() != block_length) continue;
        if (line.front() == '"' && read_block(block) == line_checksum(checked)) {
            data_blocks_.emplace(std::string(checked), std::string(block));
        } else if (checked == end_mark) {
            end_block_.emplace(read_block(block), std::string(block));
        }
    }
}

std::string rate_file_blocks::block_for(std::string_view checked, std::int32_t value) {
    if (checked == end_mark) {
        if (end_block_ && end_block_->first == value) {
            ++kept_;
            return end_block_->second;
        }
    } else if (const auto found = data_blocks_.find(checked); found != data_blocks_.end()) {
        ++kept_;
        return found->second;
    }
    block_writer writer(seed_of(checked, value));
    return writer.write(value);
}

}  // namespace fv
