#include "workbook/workbook_file.h"

#include <algorithm>
#include <sys/stat.h>

#include <unistd.h>


#include "util/ascii.h"
#include "util/text_error.h"
#include "workbook/file_image.h"
#include "workbook/lotus123_reader.h"
#include "workbook/ods_reader.h"
#include "workbook/wk1_reader.h"
#include "workbook/wk3_reader.h"
#include "workbook/workbook_failure.h"
#include "workbook/workbook_format.h"
#include "workbook/xls_reader.h"
#include "workbook/xlsx_reader.h"

namespace fv {

workbook_file::workbook_file(const std::string& file_name) : workbook_reader(file_name) {}

workbook_file::workbook_file(const std::string& file_name, std::unique_ptr<workbook_reader> loaded)
    : workbook_reader(file_name), reader_(std::move(loaded)) {}

namespace {

bool opens_as_regular_file(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(path.c_str(), R_OK) == 0;
}

// The reader the name asks for (the last characters of the path, ignoring
// case, no dot needed); nothing for a name no reader knows.
std::unique_ptr<workbook_reader> reader_for_name(const std::string& path, container_kind container) {
    const std::string_view name(path);
    auto ends_with = [&](std::string_view extension) { return ends_with_ignoring_case(name, extension); };
    if (ends_with("wk4") || ends_with("wk3")) return std::make_unique<wk3_reader>(path);
    if (ends_with("wk1")) return std::make_unique<wk1_reader>(path);
    if (ends_with("xls")) return std::make_unique<xls_reader>(path);
    if (ends_with("123")) return std::make_unique<lotus123_reader>(path);
    if (ends_with("xlsb")) throw text_error(binary_workbook_message(path));
    const bool todays = ends_with("xlsx") || ends_with("xlsm") || ends_with("ods");
    // An XLS workbook saved under a name of today's formats.
    if (todays && container == container_kind::compound_document) return std::make_unique<xls_reader>(path);
    if (ends_with("xlsx") || ends_with("xlsm")) return std::make_unique<xlsx_reader>(path);
    if (ends_with("ods")) return std::make_unique<ods_reader>(path);
    return nullptr;
}

}  // namespace

void workbook_file::load() {
    const std::string& path = file_name();
    if (path.empty()) throw text_error("gen_file::load:  called with a NULL pointer");
    if (!opens_as_regular_file(path)) throw text_error("gen_file::load:  unable to open " + path);

    // The content first: a package of today's formats is read as what it is,
    // whatever its name says.
    const container_kind container = container_of(read_file_start(path, 8));
    if (container == container_kind::zip && load_zip_workbook()) return;
    if (container == container_kind::compound_document && is_encrypted_package(path))
        throw text_error(password_protected_message(path));

    reader_ = reader_for_name(path, container);
    if (!reader_) throw text_error("gen_file::load:  unknown file extension.  No handler could be created.");
    reader_->load();
}

bool workbook_file::load_zip_workbook() {
    const std::string& path = file_name();
    std::vector<unsigned char> image =
        read_spreadsheet_file(path, "gen_file::load:  unable to open " + path, largest_zip_workbook_file,
                              zip_workbook_too_large_message(path));
    switch (zip_content_of(image)) {
        case zip_content::xlsx: load_image<xlsx_reader>(std::move(image)); return true;
        case zip_content::ods: load_image<ods_reader>(std::move(image)); return true;
        case zip_content::xlsb: throw text_error(binary_workbook_message(path));
        case zip_content::other: break;
    }
    return false;  // no workbook the content names: the name decides
}

template <typename reader>
void workbook_file::load_image(std::vector<unsigned char> image) {
    auto loaded = std::make_unique<reader>(file_name());
    reader& book = *loaded;
    reader_ = std::move(loaded);
    book.load_image(std::move(image));
}

workbook_reader& workbook_file::loaded_reader(const char* operation) const {
    if (!reader_) throw text_error(std::string("gen_file::") + operation + " called before load()");
    return *reader_;
}

std::vector<std::string> workbook_file::range_names() { return loaded_reader("get_ranges").range_names(); }
bool workbook_file::find_range(std::string_view name, range_bounds& bounds) {
    return loaded_reader("get_range_coord").find_range(name, bounds);
}
void workbook_file::use_cursor_addressing() { loaded_reader("use_cursor").use_cursor_addressing(); }
int workbook_file::move_cursor(std::string_view address_text) { return loaded_reader("set_cursor").move_cursor(address_text); }
int workbook_file::read_cell(std::string_view address_text, std::string& text) {
    return loaded_reader("get_content").read_cell(address_text, text);
}
int workbook_file::read_cell(std::string_view address_text, double& number) {
    return loaded_reader("get_content").read_cell(address_text, number);
}
int workbook_file::read_current_cell(std::string& text) { return loaded_reader("get_content").read_current_cell(text); }
int workbook_file::read_current_cell(double& number) { return loaded_reader("get_content").read_current_cell(number); }
int workbook_file::current_cell_kind() { return loaded_reader("get_type").current_cell_kind(); }
std::vector<cell_address> workbook_file::data_cell_addresses() const {
    return loaded_reader("data_cell_addresses").data_cell_addresses();
}
std::vector<std::string> workbook_file::sheet_names() const { return loaded_reader("sheet_names").sheet_names(); }
reading_omissions workbook_file::omissions() const { return loaded_reader("omissions").omissions(); }

bool workbook_file::select_range(std::string_view name) {
    workbook_reader& reader = loaded_reader("use_range");
    range_set_ = false;
    range_inverted_ = false;
    first_column_ = first_row_ = last_column_ = last_row_ = sheet_ = 0;
    current_row_ = current_column_ = 0;

    range_bounds bounds;
    if (!reader.find_range(name, bounds)) return false;
    if (bounds.sheet1 != bounds.sheet2) throw text_error("Three-dimensional ranges are not supported.");
    // An inverted range could let the cursor leave it; callers refuse it as too small.
    sheet_ = bounds.sheet1 - 1;
    first_row_ = bounds.row1 - 1;
    first_column_ = bounds.column1 - 1;
    last_row_ = bounds.row2 - 1;
    last_column_ = bounds.column2 - 1;
    range_inverted_ = last_row_ < first_row_ || last_column_ < first_column_;
    if (last_row_ < first_row_) last_row_ = first_row_;
    if (last_column_ < first_column_) last_column_ = first_column_;
    current_row_ = first_row_;
    current_column_ = first_column_;
    range_set_ = true;
    return true;
}

namespace {

// Moves `current` by n toward `edge` (direction -1 or +1); stops at the edge.
bool move_within(int& current, int edge, int direction, unsigned n) {
    const unsigned room = static_cast<unsigned>((edge - current) * direction);
    if (room < n) {
        current = edge;
        return false;
    }
    current += direction * static_cast<int>(n);
    return true;
}

}  // namespace

bool workbook_file::cursor_left(unsigned n) { return move_within(current_column_, first_column_, -1, n); }
bool workbook_file::cursor_right(unsigned n) { return move_within(current_column_, last_column_, +1, n); }
bool workbook_file::cursor_up(unsigned n) { return move_within(current_row_, first_row_, -1, n); }
bool workbook_file::cursor_down(unsigned n) { return move_within(current_row_, last_row_, +1, n); }

std::string workbook_file::cursor_address_text() const {
    return cell_address(static_cast<std::uint8_t>(sheet_), static_cast<std::uint16_t>(current_row_),
                      static_cast<std::uint8_t>(current_column_))
        .to_text();
}

bool workbook_file::point_reader_at_cursor() {
    workbook_reader& reader = loaded_reader("rc_content");
    // A range record may name columns past IV (a WK1 range keeps 16 bits of
    // column); no cell lives there, and its text would name another cell.
    if (sheet_ < 0 || sheet_ > 255 || current_row_ < 0 || current_row_ > 65535 || current_column_ < 0 ||
        current_column_ > 255)
        return false;
    reader.use_cursor_addressing();
    reader.move_cursor_to(cell_address(static_cast<std::uint8_t>(sheet_), static_cast<std::uint16_t>(current_row_),
                                       static_cast<std::uint8_t>(current_column_)));
    return true;
}

int workbook_file::read_cursor_cell(double& number) {
    if (!point_reader_at_cursor()) return content_no_cell;
    return reader_->read_current_cell(number);
}

int workbook_file::read_cursor_cell(std::string& text) {
    if (!point_reader_at_cursor()) return content_no_cell;
    return reader_->read_current_cell(text);
}

const std::vector<cell_as_number>& workbook_file::read_cursor_row_numbers() {
    row_numbers_.assign(static_cast<std::size_t>(last_column_ - first_column_ + 1), cell_as_number{});
    // Only coordinates a cell can have are asked for; the others hold nothing.
    if (sheet_ < 0 || sheet_ > 255 || current_row_ < 0 || current_row_ > 65535 || first_column_ > 255)
        return row_numbers_;
    workbook_reader& reader = loaded_reader("rc_content");
    const int first = std::max(first_column_, 0);
    const int last = std::min(last_column_, 255);
    reader.read_numbers_in_row(cell_address(static_cast<std::uint8_t>(sheet_), static_cast<std::uint16_t>(current_row_),
                                            static_cast<std::uint8_t>(first)),
                               last - first + 1, row_numbers_.data() + (first - first_column_));
    return row_numbers_;
}

int workbook_file::cursor_cell_kind() {
    if (!point_reader_at_cursor()) return kind_none;
    return reader_->current_cell_kind();
}

std::vector<std::string> workbook_file::candidate_ranges() {
    std::vector<std::string> candidates;
    for (const std::string& name : loaded_reader("get_candidate_ranges").range_names()) {
        if (name.empty()) break;  // an empty name ended the original list
        if (name.front() == '\\') continue;
        range_bounds bounds;
        if (!reader_->find_range(name, bounds) || bounds.sheet1 != bounds.sheet2) continue;
        select_range(name);
        std::string text;
        if (read_cursor_cell(text) != content_delivered) continue;
        std::size_t at = 0;
        while (at < text.size() && text[at] == ' ') ++at;
        if (text.size() - at >= 2 && ascii_lower(text[at]) == 'n' && ascii_lower(text[at + 1]) == 'a')
            candidates.push_back(name);
    }
    return candidates;
}

}  // namespace fv
