#include "workbook/gen_file.h"

#include <sys/stat.h>

#include <unistd.h>

#include <cctype>

#include "util/text_error.h"
#include "workbook/file_image.h"
#include "workbook/l123_file.h"
#include "workbook/ods_file.h"
#include "workbook/wk1_file.h"
#include "workbook/wk3_file.h"
#include "workbook/workbook_failure.h"
#include "workbook/workbook_format.h"
#include "workbook/xls_file.h"
#include "workbook/xlsx_file.h"

namespace fv {

gen_file::gen_file(const std::string& file_name) : ss_file(file_name) {}

gen_file::gen_file(const std::string& file_name, std::unique_ptr<ss_file> loaded_handler)
    : ss_file(file_name), handler_(std::move(loaded_handler)) {}

namespace {

bool opens_as_regular_file(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(path.c_str(), R_OK) == 0;
}

// The reader the name asks for (the last characters of the path, ignoring
// case, no dot needed); nothing for a name no reader knows.
std::unique_ptr<ss_file> reader_for_name(const std::string& path, container_kind container) {
    const std::string_view name(path);
    auto ends_with = [&](std::string_view extension) {
        return name.size() >= extension.size() &&
               equal_ignoring_case(name.substr(name.size() - extension.size()), extension);
    };
    if (ends_with("wk4") || ends_with("wk3")) return std::make_unique<wk3_file>(path);
    if (ends_with("wk1")) return std::make_unique<wk1_file>(path);
    if (ends_with("xls")) return std::make_unique<xls_file>(path);
    if (ends_with("123")) return std::make_unique<L123_file>(path);
    if (ends_with("xlsb")) throw text_error(binary_workbook_message(path));
    const bool todays = ends_with("xlsx") || ends_with("xlsm") || ends_with("ods");
    // An XLS workbook saved under a name of today's formats.
    if (todays && container == container_kind::compound_document) return std::make_unique<xls_file>(path);
    if (ends_with("xlsx") || ends_with("xlsm")) return std::make_unique<xlsx_file>(path);
    if (ends_with("ods")) return std::make_unique<ods_file>(path);
    return nullptr;
}

}  // namespace

void gen_file::load() {
    const std::string& path = file_name();
    if (path.empty()) throw text_error("gen_file::load:  called with a NULL pointer");
    if (!opens_as_regular_file(path)) throw text_error("gen_file::load:  unable to open " + path);

    // The content first: a package of today's formats is read as what it is,
    // whatever its name says.
    const container_kind container = container_of(read_file_start(path, 8));
    if (container == container_kind::zip && load_zip_workbook()) return;
    if (container == container_kind::compound_document && is_encrypted_package(path))
        throw text_error(password_protected_message(path));

    handler_ = reader_for_name(path, container);
    if (!handler_) throw text_error("gen_file::load:  unknown file extension.  No handler could be created.");
    handler_->load();
}

bool gen_file::load_zip_workbook() {
    const std::string& path = file_name();
    std::vector<unsigned char> image =
        read_spreadsheet_file(path, "gen_file::load:  unable to open " + path, largest_zip_workbook_file,
                              zip_workbook_too_large_message(path));
    switch (zip_content_of(image)) {
        case zip_content::xlsx: load_image<xlsx_file>(std::move(image)); return true;
        case zip_content::ods: load_image<ods_file>(std::move(image)); return true;
        case zip_content::xlsb: throw text_error(binary_workbook_message(path));
        case zip_content::other: break;
    }
    return false;  // no workbook the content names: the name decides
}

template <typename reader>
void gen_file::load_image(std::vector<unsigned char> image) {
    auto loaded = std::make_unique<reader>(file_name());
    reader& book = *loaded;
    handler_ = std::move(loaded);
    book.load_image(std::move(image));
}

ss_file& gen_file::handler(const char* operation) const {
    if (!handler_) throw text_error(std::string("gen_file::") + operation + " called before load()");
    return *handler_;
}

std::vector<std::string> gen_file::get_ranges() { return handler("get_ranges").get_ranges(); }
bool gen_file::get_range_coord(std::string_view name, range_bounds& bounds) {
    return handler("get_range_coord").get_range_coord(name, bounds);
}
void gen_file::use_cursor() { handler("use_cursor").use_cursor(); }
int gen_file::set_cursor(std::string_view coord_text) { return handler("set_cursor").set_cursor(coord_text); }
int gen_file::get_content(std::string_view coord_text, std::string& text) {
    return handler("get_content").get_content(coord_text, text);
}
int gen_file::get_content(std::string_view coord_text, double& number) {
    return handler("get_content").get_content(coord_text, number);
}
int gen_file::get_content(std::string& text) { return handler("get_content").get_content(text); }
int gen_file::get_content(double& number) { return handler("get_content").get_content(number); }
int gen_file::get_type() { return handler("get_type").get_type(); }
std::vector<cell_coord> gen_file::data_cell_addresses() const {
    return handler("data_cell_addresses").data_cell_addresses();
}
std::vector<std::string> gen_file::sheet_names() const { return handler("sheet_names").sheet_names(); }
reading_omissions gen_file::omissions() const { return handler("omissions").omissions(); }

bool gen_file::use_range(std::string_view name) {
    ss_file& reader = handler("use_range");
    range_set_ = false;
    range_inverted_ = false;
    first_column_ = first_row_ = last_column_ = last_row_ = sheet_ = 0;
    current_row_ = current_column_ = 0;

    range_bounds bounds;
    if (!reader.get_range_coord(name, bounds)) return false;
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

bool gen_file::rc_left(unsigned n) { return move_within(current_column_, first_column_, -1, n); }
bool gen_file::rc_right(unsigned n) { return move_within(current_column_, last_column_, +1, n); }
bool gen_file::rc_up(unsigned n) { return move_within(current_row_, first_row_, -1, n); }
bool gen_file::rc_down(unsigned n) { return move_within(current_row_, last_row_, +1, n); }

std::string gen_file::rc_coord() const {
    return cell_coord(static_cast<std::uint8_t>(sheet_), static_cast<std::uint16_t>(current_row_),
                      static_cast<std::uint8_t>(current_column_))
        .to_text();
}

bool gen_file::point_reader_at_cursor() {
    ss_file& reader = handler("rc_content");
    // A range record may name columns past IV (a WK1 range keeps 16 bits of
    // column); no cell lives there, and its text would name another cell.
    if (sheet_ < 0 || sheet_ > 255 || current_row_ < 0 || current_row_ > 65535 || current_column_ < 0 ||
        current_column_ > 255)
        return false;
    reader.use_cursor();
    reader.set_cursor_at(cell_coord(static_cast<std::uint8_t>(sheet_), static_cast<std::uint16_t>(current_row_),
                                    static_cast<std::uint8_t>(current_column_)));
    return true;
}

int gen_file::rc_content(double& number) {
    if (!point_reader_at_cursor()) return content_no_cell;
    return handler_->get_content(number);
}

int gen_file::rc_content(std::string& text) {
    if (!point_reader_at_cursor()) return content_no_cell;
    return handler_->get_content(text);
}

int gen_file::rc_type() {
    if (!point_reader_at_cursor()) return kind_none;
    return handler_->get_type();
}

std::vector<std::string> gen_file::get_candidate_ranges() {
    std::vector<std::string> candidates;
    for (const std::string& name : handler("get_candidate_ranges").get_ranges()) {
        if (name.empty()) break;  // an empty name ended the original list
        if (name.front() == '\\') continue;
        range_bounds bounds;
        if (!handler_->get_range_coord(name, bounds) || bounds.sheet1 != bounds.sheet2) continue;
        use_range(name);
        std::string text;
        if (rc_content(text) != content_delivered) continue;
        std::size_t at = 0;
        while (at < text.size() && text[at] == ' ') ++at;
        if (text.size() - at >= 2 && std::tolower(static_cast<unsigned char>(text[at])) == 'n' &&
            std::tolower(static_cast<unsigned char>(text[at + 1])) == 'a')
            candidates.push_back(name);
    }
    return candidates;
}

}  // namespace fv
