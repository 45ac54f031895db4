// Reading CSV files through libcsv, strictly: a stray quote is a damaged file,
// not a field to guess at.
#include "csv_rows.h"

#include <csv.h>

#include "util/file_io.h"
#include "util/text_error.h"

namespace fv {

namespace {

// A yield table is a few hundred kilobytes; anything this large is not one.
constexpr std::size_t largest_csv_file = 64'000'000;

struct row_collector {
    std::vector<csv_row> rows;
    csv_row current;
};

void on_field(void* data, std::size_t length, void* collector) {
    auto* rows = static_cast<row_collector*>(collector);
    rows->current.emplace_back(data != nullptr ? static_cast<const char*>(data) : "", length);
}

void on_row_end(int, void* collector) {
    auto* rows = static_cast<row_collector*>(collector);
    rows->rows.push_back(std::move(rows->current));
    rows->current.clear();
}

}  // namespace

std::vector<csv_row> parse_csv_rows(const std::string& path, const std::string& text) {
    csv_parser parser{};
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0) throw text_error(path + ": cannot start the CSV reader");
    row_collector collector;
    const bool parsed = csv_parse(&parser, text.data(), text.size(), on_field, on_row_end, &collector) == text.size() &&
                        csv_fini(&parser, on_field, on_row_end, &collector) == 0;
    const int error = csv_error(&parser);
    csv_free(&parser);
    if (!parsed)
        throw text_error(path + ": not a CSV file (" + csv_strerror(error) + " after row " +
                         std::to_string(collector.rows.size()) + ")");
    return std::move(collector.rows);
}

std::vector<csv_row> read_csv_rows(const std::string& path) {
    const auto bytes = read_whole_file(path, largest_csv_file);
    if (!bytes) throw text_error(path + ": cannot read it (no such regular file, or larger than 64 MB)");
    return parse_csv_rows(path, std::string(bytes->begin(), bytes->end()));
}

}  // namespace fv
