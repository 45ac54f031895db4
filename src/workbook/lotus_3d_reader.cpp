// Reading the cells of the WK3 record layout, whatever the format's numbering.
#include "workbook/lotus_3d_reader.h"

#include <cstdint>

#include "util/lmbcs.h"

namespace fv {

namespace {

enum shared_type : unsigned { beginning_of_file = 0, range_name = 9, range_name_unlisted = 10, string_value_type = 26 };

// Where the beginning-of-file record names the LMBCS group of bytes without a group byte.
constexpr std::size_t default_group_at = 16;

// Marker bytes of special formula results.
enum special_marker : unsigned { special_empty = 0, special_error = 192, special_not_available = 208 };

// What a special result's marker means to each query; any other marker is a string result.
struct special_meaning {
    int text_code;
    int number_code;
    int kind;
};

special_meaning special_result(unsigned marker) {
    switch (marker) {
        case special_empty:
            return {content_empty_result, content_empty_result, kind_none};
        case special_error:
            return {content_error_value, content_error_value, kind_other};
        case special_not_available:
            return {content_not_available, content_not_available, kind_other};
        default:
            return {content_delivered, content_is_text, kind_text};
    }
}

}  // namespace

int lotus_3d_reader::special_text(std::size_t at, unsigned marker, unsigned string_type, std::string& text) const {
    const special_meaning meaning = special_result(marker);
    if (meaning.kind != kind_text) return meaning.text_code;
    if (!next_is(at, string_type, 0, 4)) return content_not_read;
    text = text_at(at + 1, 4);
    return content_delivered;
}

int lotus_3d_reader::special_number(unsigned marker) { return special_result(marker).number_code; }

int lotus_3d_reader::special_kind(unsigned marker) { return special_result(marker).kind; }

std::string lotus_3d_reader::decode_text(std::string_view bytes) const {
    return lmbcs_to_utf8(bytes, default_group_);
}

void lotus_3d_reader::index_record(std::size_t at) {
    const lotus_record& rec = record(at);
    if (at == 0 && rec.type == beginning_of_file && rec.length > default_group_at) {
        default_group_ = u8(at, default_group_at);
        return;
    }
    if (rec.type == range_name || rec.type == range_name_unlisted) {
        add_wk3_range(at, rec.type == range_name);
        return;
    }
    const record_kind kind = kind_of(rec.type);
    if (kind.role == cell_role::none) return;
    if (rec.length < kind.min_length) short_record(at, kind.too_short);
    // A NUL in place of a label's prefix is an empty label.
    if (kind.role == cell_role::label && u8(at, 4) != 0 && !text_ends_inside(at, 5))
        short_record(at, "label without its terminating NUL");
    if (kind.role == cell_role::string_value && !text_ends_inside(at, 4))
        short_record(at, "formula string without its terminating NUL");
    cell_address address(static_cast<std::uint8_t>(u8(at, 2)), static_cast<std::uint16_t>(u16(at, 0)),
                       static_cast<std::uint8_t>(u8(at, 3)));
    address.is_cell = 1;
    add_data_cell(address, at);
}

bool lotus_3d_reader::special(std::size_t at) const {
    return u8(at, marker_offset() + 1) == 255 && u8(at, marker_offset() + 2) == 255;
}

int lotus_3d_reader::cell_text(std::size_t at, std::string& text) const {
    switch (kind_of(record(at).type).role) {
        case cell_role::error:
            return content_error_value;
        case cell_role::not_available:
            return content_not_available;
        case cell_role::label:
            text = u8(at, 4) == 0 ? std::string() : text_at(at, 5);
            return content_delivered;
        case cell_role::string_value:
            text = text_at(at, 4);
            return content_delivered;
        case cell_role::plain_number:
        case cell_role::number:
            return content_is_number;
        case cell_role::formula:
            if (!special(at)) return content_is_number;
            return special_text(at, marker(at), string_value_type, text);
        case cell_role::none:
            break;
    }
    return content_not_read;
}

int lotus_3d_reader::cell_number(std::size_t at, double& number) const {
    switch (kind_of(record(at).type).role) {
        case cell_role::error:
            return content_error_value;
        case cell_role::not_available:
            return content_not_available;
        case cell_role::label:
        case cell_role::string_value:
            return content_is_text;
        case cell_role::number:
        case cell_role::formula:
            if (special(at)) return special_number(marker(at));
            [[fallthrough]];
        case cell_role::plain_number:
            number = number_value(at);
            return content_delivered;
        case cell_role::none:
            break;
    }
    return content_not_read;
}

int lotus_3d_reader::cell_kind(std::size_t at) const {
    switch (kind_of(record(at).type).role) {
        case cell_role::label:
        case cell_role::string_value:
            return kind_text;
        case cell_role::plain_number:
        case cell_role::number:
            return kind_number;
        case cell_role::formula:
            if (!special(at)) return kind_number;
            return special_kind(marker(at));
        case cell_role::error:
        case cell_role::not_available:
        case cell_role::none:
            break;
    }
    return kind_other;
}

}  // namespace fv
