// Position keeping, record list and file handling shared by the WK1 and WK3
// writers. Output files are replaced safely (see util/file_io.h).
#include "display/sheet_writer.h"

#include "util/file_io.h"
#include "util/text_error.h"

namespace fv {

namespace {

// A template is a small file; anything far larger is not one.
constexpr std::size_t max_template_size = 12'000'000;

constexpr std::uint16_t end_of_file = 1;

}  // namespace

sheet_writer::sheet_writer(const char* template_path) {
    if (template_path == nullptr) throw text_error("clip_ss constructor called with a NULL pointer");
    if (*template_path == '\0') throw text_error("clip_ss constructor called with a pointer to a NULL string");
    template_path_ = template_path;
}

sheet_writer::sheet_writer(const std::string& template_path) : sheet_writer(template_path.c_str()) {}

void sheet_writer::next_column() {
    if (column_ < 255) ++column_;
    if (column_ > highest_column_) highest_column_ = column_;
}

void sheet_writer::next_row() {
    column_ = 0;
    if (row_ < UINT32_MAX) ++row_;
    if (row_ > highest_row_) highest_row_ = row_;
}

void sheet_writer::next_sheet() {
    row_ = 0;
    column_ = 0;
    if (sheet_ < 255) ++sheet_;
    if (sheet_ > highest_sheet_) highest_sheet_ = sheet_;
}

std::string sheet_writer::cut_notice() const {
    if (cells_left_out_ == 0) return {};
    char text[160];
    std::snprintf(text, sizeof text,
                  "Spreadsheet output stops at row %u: %zu cells of later rows were not written.",
                  static_cast<unsigned>(stop_row_) + 1, cells_left_out_);
    return text;
}

void sheet_writer::add_record(std::uint16_t type, std::vector<unsigned char> data) {
    records_.push_back(sheet_record{type, std::move(data)});
}

bool sheet_writer::row_writable(std::uint32_t last) {
    if (row_ <= last) return true;
    stop_row_ = last;
    ++cells_left_out_;
    return false;
}

std::string sheet_writer::encoded_label(std::string_view text, std::size_t limit, label_encoder encode) {
    // The record ends the text at its first NUL anyway.
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    bool cut = false;
    std::string encoded = encode(text, limit, cut);
    if (cut) ++labels_cut_;
    return encoded;
}

unsigned char sheet_writer::label_prefix(char prefix) {
    return (prefix == '"' || prefix == '\\' || prefix == '^') ? static_cast<unsigned char>(prefix) : '\'';
}

std::optional<std::vector<unsigned char>> sheet_writer::read_template(const std::string& path) {
    return read_whole_file(path, max_template_size);
}

std::vector<unsigned char> sheet_writer::assemble(const std::vector<unsigned char>& template_bytes) const {
    std::size_t size = template_bytes.size() - 4 + 4;
    for (const sheet_record& r : records_) size += 4 + r.data.size();
    std::vector<unsigned char> image;
    image.reserve(size);
    image.insert(image.end(), template_bytes.begin(), template_bytes.end() - 4);
    for (const sheet_record& r : records_) {
        put_u16(image, r.type);
        put_u16(image, static_cast<unsigned>(r.data.size()));
        image.insert(image.end(), r.data.begin(), r.data.end());
    }
    put_u16(image, end_of_file);
    put_u16(image, 0);
    return image;
}

bool sheet_writer::write_replacing(const std::string& path, const std::vector<unsigned char>& image) {
    return write_file_replacing(path, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
}

}  // namespace fv
