// A cell's text gathered piece by piece from XML character data, kept to the
// longest text a cell holds here. The rest is dropped at a character boundary
// (UTF-8) and the cut is noted, so a hostile part cannot make one text grow
// without end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fv {

class bounded_text {
public:
    // Four times the longest text a cell of today's spreadsheet programs holds.
    static constexpr std::size_t longest = 128 * 1024;

    void clear() {
        text_.clear();
        cut_ = false;
    }
    void append(std::string_view piece);
    void append(char c, std::uint64_t count);

    const std::string& str() const { return text_; }
    bool empty() const { return text_.empty(); }
    bool cut() const { return cut_; }

private:
    std::string text_;
    bool cut_ = false;
};

}  // namespace fv
