// The record walk shared by the Lotus readers: the whole file is read once,
// checked record by record so that nothing is ever read past a record or past
// the file, and kept as one buffer that the cells are decoded from on demand.
#include "workbook/lotus_reader.h"

#include <cstring>

#include "util/text_error.h"
#include "workbook/file_image.h"

namespace fv {

lotus_reader::lotus_reader(const std::string& file_name, format_kind kind, const char* reader, const char* walk,
                               unsigned first_length)
    : indexed_workbook(file_name), reader_(reader), walk_(walk), first_length_(first_length) {
    set_kind(kind);
}

void lotus_reader::load() {
    load_bytes(read_spreadsheet_file(file_name(), std::string(reader_) + "::load unable to open " + file_name()));
}

void lotus_reader::defective(const std::string& what) const {
    throw text_error(std::string(reader_) + "::" + walk_ + ":  defective input file (" + what + ")");
}

void lotus_reader::short_record(std::size_t at, const char* what) const {
    defective(std::string(what) + ": record type " + std::to_string(records_[at].type) + " at byte " +
              std::to_string(records_[at].data - 4));
}

void lotus_reader::load_bytes(std::vector<unsigned char> image) {
    if (image.size() > largest_spreadsheet_file) throw text_error(too_large_message(file_name()));
    image_ = std::move(image);
    records_.clear();

    const std::size_t size = image_.size();
    if (size == 0) defective("the file is empty");
    if (image_[0] != 0) defective("first record is not type zero");
    if (size < 4) defective("record runs past the end of the file");
    if (image_[2] != first_length_) defective("first record is not length " + std::to_string(first_length_));

    // Two passes over the framing: the first checks it and counts, so the
    // record table and the cell index are allocated once at their size.
    std::size_t count = 0, cells = 0;
    for (std::size_t offset = 0; offset < size;) {
        if (size - offset < 4) defective("record runs past the end of the file");
        const unsigned type = image_[offset] | (image_[offset + 1] << 8);
        const std::size_t length = image_[offset + 2] | (image_[offset + 3] << 8);
        if (length > max_record_length)
            throw text_error(std::string(reader_) + "::" + walk_ +
                             " file may be corrupted (record longer than 2048 bytes)");
        if (length > size - offset - 4) defective("record runs past the end of the file");
        ++count;
        if (is_data_cell(type)) ++cells;
        offset += 4 + length;
        if (type == 1) break;  // nothing after the end-of-file record is read
    }
    records_.reserve(count);
    reserve_cells(cells);
    for (std::size_t offset = 0; records_.size() < count;) {
        const unsigned type = image_[offset] | (image_[offset + 1] << 8);
        const unsigned length = image_[offset + 2] | (image_[offset + 3] << 8);
        records_.push_back({static_cast<std::uint32_t>(offset + 4), static_cast<std::uint16_t>(type),
                            static_cast<std::uint16_t>(length)});
        offset += 4 + length;
    }

    for (std::size_t at = 0; at < records_.size(); ++at) index_record(at);
    finish_index();
}

bool lotus_reader::text_ends_inside(std::size_t at, std::size_t from) const {
    const std::size_t length = records_[at].length;
    return from < length && std::memchr(data(at) + from, 0, length - from) != nullptr;
}

std::string lotus_reader::text_at(std::size_t at, std::size_t from) const {
    const char* text = reinterpret_cast<const char*>(data(at) + from);
    return decode_text(std::string_view(text, ::strnlen(text, records_[at].length - from)));
}

bool lotus_reader::next_is(std::size_t at, unsigned type, std::size_t address_from, std::size_t address_to) const {
    if (at + 1 >= records_.size()) return false;
    const lotus_record& next = records_[at + 1];
    if (next.type != type || next.length < address_to) return false;
    return std::memcmp(data(at) + address_from, data(at + 1) + address_from, address_to - address_from) == 0;
}

void lotus_reader::add_wk3_range(std::size_t at, bool listed) {
    if (records_[at].length < 26) short_record(at, "range name record too short");
    if (std::memchr(data(at) + 2, 0, 16) == nullptr)
        short_record(at, "range name without its terminating NUL");
    range_bounds bounds;
    bounds.row1 = static_cast<int>(u16(at, 18)) + 1;
    bounds.sheet1 = static_cast<int>(u8(at, 20)) + 1;
    bounds.column1 = static_cast<int>(u8(at, 21)) + 1;
    bounds.row2 = static_cast<int>(u16(at, 22)) + 1;
    bounds.sheet2 = static_cast<int>(u8(at, 24)) + 1;
    bounds.column2 = static_cast<int>(u8(at, 25)) + 1;
    add_range(text_at(at, 2), bounds, listed);
}

}  // namespace fv
