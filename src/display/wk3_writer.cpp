// WK3 cell records: the 16-bit row, the sheet and the column, then the
// prefix and text of a label or the 10-byte extended value of a number. The
// template's beginning-of-file record carries the last cell of the worksheet
// (row, sheet, column) at image bytes 12-15, which render fills in.
#include "display/wk3_writer.h"

#include <charconv>
#include <cstring>

#include "display/decimal_to_extended.h"
#include "util/lmbcs.h"
#include "util/text_error.h"

namespace fv {

namespace {

enum wk3_type : std::uint16_t { label_cell = 22, number_cell = 23 };

constexpr std::size_t extent_at = 12;
constexpr std::size_t template_minimum = 30 + 4;

bool is_wk3_template(const std::vector<unsigned char>& t) {
    static const unsigned char start[] = {0, 0, 26, 0};
    static const unsigned char end[] = {1, 0, 0, 0};
    return t.size() >= template_minimum && std::memcmp(t.data(), start, 4) == 0 &&
           std::memcmp(t.data() + t.size() - 4, end, 4) == 0;
}

}  // namespace

void wk3_writer::put_cell_header(std::vector<unsigned char>& data) const {
    put_u16(data, current_row());
    data.push_back(static_cast<unsigned char>(current_sheet()));
    data.push_back(static_cast<unsigned char>(current_column()));
}

void wk3_writer::add_label(std::string_view text, char prefix) {
    const std::string kept = encoded_label(text, max_label, utf8_to_lmbcs);
    if (row_writable()) {
        std::vector<unsigned char> data;
        data.reserve(kept.size() + 6);
        put_cell_header(data);
        data.push_back(label_prefix(prefix));
        data.insert(data.end(), kept.begin(), kept.end());
        data.push_back(0);
        add_record(label_cell, std::move(data));
    }
    next_column();
}

void wk3_writer::add_number(std::string_view number_text, int, int) {
    const extended_bytes value = decimal_to_extended(number_text);
    if (row_writable()) {
        std::vector<unsigned char> data;
        data.reserve(14);
        put_cell_header(data);
        data.insert(data.end(), value.begin(), value.end());
        add_record(number_cell, std::move(data));
    }
    next_column();
}

void wk3_writer::add_number(double value, int decimals) {
    // "%.*lf" as printf writes it in the C locale (a negative precision is no
    // precision, which is 6), whatever locale the program runs in.
    const int places = decimals < 0 ? 6 : decimals;
    std::string text(340 + static_cast<std::size_t>(places), '\0');
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, places);
    text.resize(result.ec == std::errc() ? static_cast<std::size_t>(result.ptr - text.data()) : 0);
    add_number(text, decimals, 0);
}

std::vector<unsigned char> wk3_writer::render(const std::string& output_path) {
    const auto template_bytes = read_template(template_path());
    if (!template_bytes) throw text_error("clip_wk3::render unable to open \"" + template_path() + "\"");
    if (!is_wk3_template(*template_bytes))
        throw text_error("clip_wk3::render template \"" + template_path() + "\" is not a WK3 worksheet");

    std::vector<unsigned char> image = assemble(*template_bytes);
    // Highest counters minus one (no cell gives all ones); rows beyond the
    // last addressable one were left out, so the extent stops there.
    const std::uint32_t rows = highest_row() > last_row + 1 ? last_row + 1 : highest_row();
    const unsigned last = (rows - 1u) & 0xFFFF;
    image[extent_at] = static_cast<unsigned char>(last);
    image[extent_at + 1] = static_cast<unsigned char>(last >> 8);
    image[extent_at + 2] = static_cast<unsigned char>(highest_sheet());
    image[extent_at + 3] = static_cast<unsigned char>(highest_column() - 1u);

    if (!output_path.empty() && !write_replacing(output_path, image))
        throw text_error("clip_wk3::render unable to open spreadsheet output file " + output_path);
    set_image_size(image.size());
    return image;
}

}  // namespace fv
