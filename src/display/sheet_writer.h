// The spreadsheet writer behind the WK1 and WK3 exports of a display: cells
// are added one by one at a moving position (column, row, sheet), kept as
// finished records, and rendered at the end into one file image made of a
// template worksheet, the records in the order added, and an end-of-file
// record. The format writers say how a cell becomes a record and patch the
// worksheet extent into the template.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fv {

// One finished output record, written as type, length (both 16-bit
// little-endian) and data.
struct sheet_record {
    std::uint16_t type = 0;
    std::vector<unsigned char> data;
};

class sheet_writer {
public:
    // The template is required: a null path throws "clip_ss constructor called
    // with a NULL pointer", an empty one "... with a pointer to a NULL string".
    explicit sheet_writer(const char* template_path);
    explicit sheet_writer(const std::string& template_path);
    virtual ~sheet_writer() = default;
    sheet_writer(const sheet_writer&) = delete;
    sheet_writer& operator=(const sheet_writer&) = delete;

    // cells; each goes to the current position, then the column advances
    // A label (UTF-8); the prefix is kept when it is '"', '\\' or '^', else it
    // is '\''. A text longer than the writer's limit is cut to the limit.
    virtual void add_label(std::string_view text, char prefix) = 0;
    // A number already formatted as text, with its count of decimals and the
    // display's format option.
    virtual void add_number(std::string_view number_text, int decimals, int format_option) = 0;
    // The file image: template, records, end-of-file record. With a non-empty
    // path the image also replaces that file; a failure throws the writer's
    // text and leaves any existing file as it was. Rendering keeps the records.
    virtual std::vector<unsigned char> render(const std::string& output_path = {}) = 0;
    virtual void add_number(double value, int decimals) = 0;
    // The name of the current sheet, for formats whose sheets have names.
    virtual void name_sheet(const std::string& name) { (void)name; }

    // positions
    // The column grows by one but stays at 255 once there.
    void next_column();
    // Column to 0, the row grows by one.
    void next_row();
    // Row and column to 0, the sheet grows by one but stays at 255 once there.
    void next_sheet();

    // inspectors
    const std::string& template_path() const { return template_path_; }
    unsigned current_column() const { return column_; }
    unsigned current_sheet() const { return sheet_; }
    std::uint32_t current_row() const { return row_; }
    unsigned highest_column() const { return highest_column_; }
    unsigned highest_sheet() const { return highest_sheet_; }
    std::uint32_t highest_row() const { return highest_row_; }
    const std::vector<sheet_record>& records() const { return records_; }
    // Size of the last rendered image, 0 before the first.
    std::size_t image_size() const { return image_size_; }

    // Writer limits
    // The last row a cell record can address (16-bit rows).
    static constexpr std::uint32_t last_row = 65535;
    // Labels that were cut to the writer's limit.
    std::size_t labels_cut() const { return labels_cut_; }
    // Cells that were not written because their row lies beyond last_row.
    std::size_t cells_left_out() const { return cells_left_out_; }
    // For the caller to report: "" when no cell was left out.
    std::string cut_notice() const;

protected:
    void add_record(std::uint16_t type, std::vector<unsigned char> data);
    // Whether a cell may be written at the current row (up to `last`); counts
    // it as left out when not.
    bool row_writable(std::uint32_t last = last_row);
    // A label's UTF-8 text in the writer's character set, at most `limit`
    // bytes of whole characters (ending at an embedded NUL); counts a cut.
    using label_encoder = std::string (*)(std::string_view text, std::size_t max_bytes, bool& cut);
    std::string encoded_label(std::string_view text, std::size_t limit, label_encoder encode);
    void note_label_cut() { ++labels_cut_; }
    // '"', '\\' and '^' are kept; every other prefix becomes '\''.
    static unsigned char label_prefix(char prefix);

    // The template's bytes; nothing when it cannot be read as a regular file.
    static std::optional<std::vector<unsigned char>> read_template(const std::string& path);
    // The template without its last 4 bytes, every record, an end-of-file record.
    std::vector<unsigned char> assemble(const std::vector<unsigned char>& template_bytes) const;
    // Replaces the file at `path` with the image: written beside it under a
    // temporary name, every write and the close checked, then moved into
    // place. Devices and pipes are written in place. false on any failure,
    // and then no temporary file is left behind.
    static bool write_replacing(const std::string& path, const std::vector<unsigned char>& image);
    void set_image_size(std::size_t size) { image_size_ = size; }
    static void put_u16(std::vector<unsigned char>& data, unsigned value) {
        data.push_back(static_cast<unsigned char>(value));
        data.push_back(static_cast<unsigned char>(value >> 8));
    }

private:
    std::string template_path_;
    std::uint8_t column_ = 0;
    std::uint8_t sheet_ = 0;
    std::uint32_t row_ = 0;
    std::uint8_t highest_column_ = 0;
    std::uint8_t highest_sheet_ = 0;
    std::uint32_t highest_row_ = 0;
    std::vector<sheet_record> records_;
    std::size_t image_size_ = 0;
    std::size_t labels_cut_ = 0;
    std::size_t cells_left_out_ = 0;
    std::uint32_t stop_row_ = last_row;  // the last row written when cells were left out
};

}  // namespace fv
