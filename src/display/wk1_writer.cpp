// WK1 cell records: a format byte, the column (8 bits and a zero byte) and the
// 16-bit row, then the prefix and text of a label or the IEEE double of a
// number. The template's range record, right after its beginning-of-file
// record, receives the last column and row written.
#include "display/wk1_writer.h"

#include <bit>
#include <cstdlib>
#include <cstring>

#include "util/c_number.h"
#include "util/lics.h"
#include "util/text_error.h"

namespace fv {

static_assert(std::endian::native == std::endian::little, "doubles are copied into the records as they are");

namespace {

enum wk1_type : std::uint16_t { number_cell = 14, label_cell = 15 };

constexpr unsigned label_format = 255;
constexpr unsigned fixed_format = 128;
constexpr unsigned comma_format = 192;

// Template layout: beginning-of-file record (type 0, length 2), then the range
// record (type 6, length 8) whose last column and row sit at image bytes 14-17.
constexpr std::size_t extent_at = 14;
constexpr std::size_t template_minimum = 6 + 12 + 4;

// atof in the C locale, whatever locale the program runs in.
double c_atof(std::string_view text) {
    std::size_t used = 0;
    return c_strtod(text, used);
}

bool is_wk1_template(const std::vector<unsigned char>& t) {
    static const unsigned char start[] = {0, 0, 2, 0};
    static const unsigned char range[] = {6, 0, 8, 0};
    static const unsigned char end[] = {1, 0, 0, 0};
    return t.size() >= template_minimum && std::memcmp(t.data(), start, 4) == 0 &&
           std::memcmp(t.data() + 6, range, 4) == 0 && std::memcmp(t.data() + t.size() - 4, end, 4) == 0;
}

}  // namespace

void wk1_writer::add_label(std::string_view text, char prefix) {
    const std::string kept = encoded_label(text, max_label, utf8_to_lics);
    if (row_writable()) {
        std::vector<unsigned char> data;
        data.reserve(kept.size() + 7);
        data.push_back(label_format);
        data.push_back(static_cast<unsigned char>(current_column()));
        data.push_back(0);
        put_u16(data, current_row());
        data.push_back(label_prefix(prefix));
        data.insert(data.end(), kept.begin(), kept.end());
        data.push_back(0);
        add_record(label_cell, std::move(data));
    }
    next_column();
}

void wk1_writer::add_number(std::string_view number_text, int decimals, int format_option) {
    const unsigned low = static_cast<unsigned>(decimals) & 0x0F;
    add_number_cell((format_option != 0 ? fixed_format : comma_format) + low, c_atof(number_text));
}

void wk1_writer::add_number(double value, int decimals) {
    add_number_cell(comma_format + (static_cast<unsigned>(decimals) & 0x0F), value);
}

void wk1_writer::add_number_cell(unsigned format, double value) {
    if (row_writable()) {
        std::vector<unsigned char> data;
        data.reserve(13);
        data.push_back(static_cast<unsigned char>(format));
        data.push_back(static_cast<unsigned char>(current_column()));
        data.push_back(0);
        put_u16(data, current_row());
        unsigned char bytes[8];
        std::memcpy(bytes, &value, 8);  // the host is little-endian, as the file
        data.insert(data.end(), bytes, bytes + 8);
        add_record(number_cell, std::move(data));
    }
    next_column();
}

std::vector<unsigned char> wk1_writer::render(const std::string& output_path) {
    const auto template_bytes = read_template(template_path());
    if (!template_bytes) throw text_error("clip_wk1::render unable to open \"1.bin\" in the exe root directory");
    if (!is_wk1_template(*template_bytes))
        throw text_error("clip_wk1::render template \"" + template_path() + "\" is not a WK1 worksheet");

    std::vector<unsigned char> image = assemble(*template_bytes);
    // Highest counter minus one; no cell at all gives 0xFFFF (the 16 bits of -1).
    const unsigned last_column = (highest_column() - 1u) & 0xFFFF;
    const std::uint32_t rows = highest_row() > last_row + 1 ? last_row + 1 : highest_row();
    const unsigned last = (rows - 1u) & 0xFFFF;
    image[extent_at] = static_cast<unsigned char>(last_column);
    image[extent_at + 1] = static_cast<unsigned char>(last_column >> 8);
    image[extent_at + 2] = static_cast<unsigned char>(last);
    image[extent_at + 3] = static_cast<unsigned char>(last >> 8);

    if (!output_path.empty() && !write_replacing(output_path, image))
        throw text_error("clip_wk1::render unable to open spreadsheet output file " + output_path);
    set_image_size(image.size());
    return image;
}

}  // namespace fv
