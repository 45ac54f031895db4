#include "workbook/xlsx_strings.h"

#include "workbook/workbook_failure.h"
#include "workbook/xml_stream.h"
#include "workbook/zip_archive.h"
#include "workbook/zip_workbook.h"
#include "util/utf8_text.h"

namespace fv {

void string_item_text::start(std::string_view local) {
    if (local == "rPh") ++phonetic_depth_;
    else if (local == "t" && phonetic_depth_ == 0) in_text_ = true;
}

void string_item_text::end(std::string_view local) {
    if (local == "rPh" && phonetic_depth_ > 0) --phonetic_depth_;
    else if (local == "t") in_text_ = false;
}

namespace {

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}


class shared_strings_handler : public xml_handler {
public:
    shared_strings_handler(shared_strings& into, cell_values& values) : into_(into), values_(values) {}

    void start_element(const xml_name& name, const xml_attributes&) override {
        if (name.local == "si") {
            in_item_ = true;
            item_.begin();
        } else if (in_item_) {
            item_.start(name.local);
        }
    }
    void end_element(const xml_name& name) override {
        if (!in_item_) return;
        if (name.local != "si") {
            item_.end(name.local);
            return;
        }
        in_item_ = false;
        if (into_.items.size() >= zip_workbook::most_cells)
            throw workbook_failure(workbook_problem::too_large, "its shared string table holds more than " +
                                                                    std::to_string(zip_workbook::most_cells) +
                                                                    " strings");
        if (item_.result().cut()) ++into_.texts_cut;
        into_.items.push_back(values_.store_text(decode_xstring(item_.result().str())));
    }
    void text(std::string_view piece) override {
        if (in_item_) item_.text(piece);
    }

private:
    shared_strings& into_;
    cell_values& values_;
    string_item_text item_;
    bool in_item_ = false;
};

}  // namespace

std::string decode_xstring(std::string_view text) {
    if (text.find("_x") == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        if (text[at] == '_' && at + 6 < text.size() && text[at + 1] == 'x' && text[at + 6] == '_') {
            unsigned code = 0;
            bool hex = true;
            for (std::size_t i = at + 2; i < at + 6; ++i) {
                const int digit = hex_digit(text[i]);
                if (digit < 0) hex = false;
                code = code * 16 + static_cast<unsigned>(digit < 0 ? 0 : digit);
            }
            // Halves of a surrogate pair have no UTF-8 of their own: kept as written.
            if (hex && (code < 0xD800 || code > 0xDFFF)) {
                append_utf8(out, code);
                at += 7;
                continue;
            }
        }
        out += text[at++];
    }
    return out;
}

shared_strings read_shared_strings(zip_archive& archive, std::string_view part, cell_values& values) {
    shared_strings table;
    shared_strings_handler handler(table, values);
    parse_part(archive, part, handler);
    return table;
}

}  // namespace fv
