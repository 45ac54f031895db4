// The texts of an XLSX workbook: string items (<si> of the shared string
// table, <is> of an inline string) whose plain text and rich-text runs are
// joined while phonetic runs (<rPh>, reading aids for East Asian text) are
// left out, and the _xHHHH_ escapes Excel writes for characters XML cannot
// hold.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/bounded_text.h"
#include "workbook/cell_values.h"

namespace fv {

class zip_archive;

// Gathers the text of one string item from the elements inside it.
class string_item_text {
public:
    void begin() {
        text_.clear();
        phonetic_depth_ = 0;
        in_text_ = false;
    }
    void start(std::string_view local);
    void end(std::string_view local);
    void text(std::string_view piece) {
        if (in_text_) text_.append(piece);
    }
    const bounded_text& result() const { return text_; }

private:
    bounded_text text_;
    int phonetic_depth_ = 0;
    bool in_text_ = false;
};

// "_x000D_" is a carriage return, "_x005F_" an underscore (which keeps a
// following "_x...._" as it is written).
std::string decode_xstring(std::string_view text);

struct shared_strings {
    std::vector<cell_values::text_ref> items;
    std::uint64_t texts_cut = 0;
};

// The shared string table in the part, its texts stored in `values`.
shared_strings read_shared_strings(zip_archive& archive, std::string_view part, cell_values& values);

}  // namespace fv
