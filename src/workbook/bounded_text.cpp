#include "workbook/bounded_text.h"

namespace fv {

void bounded_text::append(std::string_view piece) {
    if (cut_) return;
    std::size_t take = piece.size();
    if (take > longest - text_.size()) {
        take = longest - text_.size();
        // Never end inside a character: back off to the start of the one cut.
        while (take > 0 && (static_cast<unsigned char>(piece[take]) & 0xC0) == 0x80) --take;
        cut_ = true;
    }
    text_.append(piece.substr(0, take));
}

void bounded_text::append(char c, std::uint64_t count) {
    if (cut_) return;
    const std::size_t room = longest - text_.size();
    if (count > room) {
        count = room;
        cut_ = true;
    }
    text_.append(static_cast<std::size_t>(count), c);
}

}  // namespace fv
